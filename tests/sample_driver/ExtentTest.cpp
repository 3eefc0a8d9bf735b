#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "SampleDriverTest.h"

namespace {

using vb::test::SampleDriverTest;

// "<width>x<height>" of an extent, for readable comparisons.
std::string Size(DWORD extent) { return std::to_string(LOWORD(extent)) + "x" + std::to_string(HIWORD(extent)); }

class ExtentTest : public SampleDriverTest {
protected:
    std::string Text(LONG length) { return Size(driver_.D_GetTextExtW(h_, L"text", length)); }
    std::string Code(LONG length) { return Size(driver_.D_GetCodeExtW(h_, L"1234", length)); }
    void SelectFontHeight(LONG height) {
        LOGFONTW font{};
        font.lfHeight = height;
        ASSERT_EQ(1, driver_.D_SelectFontW(h_, &font));
    }
    void SelectCode(LONG moduleX, LONG vertical) {
        BYTE description[144] = {};
        std::memcpy(description + 12, &moduleX, 4);
        std::memcpy(description + 4, &vertical, 4);
        ASSERT_EQ(1, driver_.D_SelectCodeW(h_, description));
    }

    DRIVERHANDLE h_ = Enable(L"LX");
};

TEST_F(ExtentTest, TextFollowsTheSelectedFontWithinBounds) {
    EXPECT_EQ("15x10", Text(3));  // no font yet
    EXPECT_EQ("0x10", Text(-7));
    EXPECT_EQ("65535x10", Text(LONG_MAX));
    SelectFontHeight(-24);
    EXPECT_EQ("60x24", Text(5));
    SelectFontHeight(1);  // half a dot a letter still takes one
    EXPECT_EQ("4x1", Text(4));
    SelectFontHeight(LONG_MIN);
    EXPECT_EQ("65535x65535", Text(1));
    EXPECT_TRUE(Logged("D_GetTextExtW(1, text)"));
}

TEST_F(ExtentTest, BarcodeFollowsTheSelectedCodeWithinBounds) {
    EXPECT_EQ("44x100", Code(4));  // no code yet
    SelectCode(3, 118);
    EXPECT_EQ("165x118", Code(5));
    SelectCode(-4, -50);
    EXPECT_EQ("11x0", Code(1));
    SelectCode(LONG_MAX, 0);
    EXPECT_EQ("65535x100", Code(LONG_MAX));
    EXPECT_EQ("0x100", Code(LONG_MIN));
    EXPECT_TRUE(Logged("D_GetCodeExtW(1, 1234, -2147483648)"));
    EXPECT_EQ(0u, driver_.D_GetCodeExtW(42, L"1234", 4));
    EXPECT_EQ(1, driver_.D_GetLastError());
}

TEST_F(ExtentTest, DataChecksAndTheSetupDialog) {
    EXPECT_EQ(1, driver_.D_IsValidDataW(h_, L"12345"));
    EXPECT_EQ(-1, driver_.D_IsValidDataW(h_, L"12?45"));
    EXPECT_EQ(-3, driver_.D_IsValidDataW(h_, nullptr));
    EXPECT_EQ(0, driver_.D_IsValidDataW(42, L"12345"));
    std::vector<BYTE> devmode(21600);
    EXPECT_EQ(IDOK, driver_.D_SetupDlgW(h_, 0, nullptr, devmode.data(), L"LX", L"FILE"));
    EXPECT_TRUE(Logged("D_SetupDlgW(1)"));
}

}  // namespace
