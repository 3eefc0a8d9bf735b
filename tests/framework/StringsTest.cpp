#include <gtest/gtest.h>

#include "Strings.h"

namespace {

TEST(FormatTemplate, FillsEachPlaceholderInTurnWithoutReadingTheArguments) {
    EXPECT_EQ(L"The driver [C:\\100%s\\a.prn] failed", vb::FormatTemplate(L"The driver [%s] failed", {L"C:\\100%s\\a.prn"}));
    EXPECT_EQ(L"a-b, 50%", vb::FormatTemplate(L"%s-%s, 50%%", {L"a", L"b"}));
    EXPECT_EQ(L"x  y", vb::FormatTemplate(L"x %s y", {}));
    EXPECT_EQ(L"trailing %", vb::FormatTemplate(L"trailing %", {L"unused"}));
}

TEST(Strings, TrimReplaceAndCase) {
    EXPECT_EQ(L"M1 ;M2", vb::Trim(L" \t\r\nM1 ;M2 \r\n"));
    EXPECT_EQ(L"", vb::Trim(L"   "));
    EXPECT_EQ(L"M1;M2;M3", vb::ReplaceAll(L"M1, M2, M3", L", ", L";"));
    EXPECT_EQ(L"abc", vb::ReplaceAll(L"abc", L"", L"x"));
    EXPECT_TRUE(vb::EqualsNoCase(L"FAM03.PRN", L"fam03.prn"));
    EXPECT_FALSE(vb::EqualsNoCase(L"FAM03.PRN", L"FAM03.PR"));
    EXPECT_EQ(L"fam03.prn", vb::ToLower(L"FAM03.PRN"));
    EXPECT_EQ(L"C:\\out\\", vb::WithTrailingBackslash(L"C:\\out"));
    EXPECT_EQ(L"C:\\out\\", vb::WithTrailingBackslash(L"C:\\out\\"));
    EXPECT_EQ(L"", vb::WithTrailingBackslash(L""));
}

TEST(Strings, Utf8RoundTripKeepsNonAsciiText) {
    const std::wstring text = L"\u00c9tiquette \u20ac 5";
    EXPECT_EQ("\xC3\x89tiquette \xE2\x82\xAC 5", vb::ToUtf8(text));
    EXPECT_EQ(text, vb::FromUtf8(vb::ToUtf8(text)));
    EXPECT_EQ("", vb::ToUtf8(L""));
    // Text that is no UTF-8 is the code page's.
    EXPECT_EQ(text, vb::FromUtf8OrAnsi(vb::ToUtf8(text)));
    const std::wstring accented = L"\u00e9tiquette";
    ASSERT_NE(vb::ToUtf8(accented), vb::ToAnsi(accented));
    EXPECT_EQ(accented, vb::FromUtf8OrAnsi(vb::ToAnsi(accented)));
}

}  // namespace
