#include <gtest/gtest.h>

#include "OutputKey.h"
#include "SqlQuoting.h"

namespace {

TEST(SqlQuotingTest, QuotesApostrophesAndLineBreaks) {
    EXPECT_EQ(L"It''s", vb::QuoteForSql(L"It's"));
    EXPECT_EQ(L"a\\r\\nb", vb::QuoteForSql(L"a\r\nb"));
    EXPECT_EQ(L"a\rb\nc", vb::QuoteForSql(L"a\rb\nc"));  // lone CR and LF stay
    EXPECT_EQ(L"''''\\r\\n\\r\\n", vb::QuoteForSql(L"''\r\n\r\n"));
    EXPECT_EQ(L"", vb::QuoteForSql(L""));
}

TEST(SqlQuotingTest, UnquotingRestoresTheText) {
    for (const wchar_t* text : {L"It's", L"a\r\nb", L"'\r\n'", L"x\r\n\r\ny''z", L"\x00E9\x4E2D'\r", L""}) {
        EXPECT_EQ(text, vb::UnquoteFromSql(vb::QuoteForSql(text)));
    }
    EXPECT_EQ(L"a\r\nb", vb::UnquoteFromSql(L"a\\r\\nb"));
}

TEST(SqlQuotingTest, TextFromTheDatabaseKeepsItsApostrophes) {
    // The database holds the statement's literal with "''" already turned into "'".
    EXPECT_EQ(L"'' comment\r\nx = 1", vb::TextFromDatabase(L"'' comment\\r\\nx = 1"));
    EXPECT_EQ(L"It's", vb::TextFromDatabase(L"It's"));
}

// Trimmed, upper-cased (only a to z: keys stored earlier were made that way) and quoted; an
// empty sub-item is "NOP", and a file adds its name after "::".
TEST(OutputKeyTest, KeyTextsAreTrimmedUpperCasedAndQuoted) {
    const struct {
        const wchar_t *subId, *path, *subItem;
    } subItems[] = {
        {L"", nullptr, L"NOP"},
        {nullptr, nullptr, L"NOP"},
        {L"  label's part\t", nullptr, L"LABEL''S PART"},
        {L"\x00e9t\x00e9", nullptr, L"\x00e9T\x00e9"},
        {L"job", L"C:\\out\\data\\label_1.bin", L"JOB::LABEL_1.BIN"},
        {L"", L"C:\\out\\a.txt", L"::A.TXT"},
        {L"job", L"", L"JOB"},
        {L"job's", L"plain's.txt", L"JOB''S::PLAIN''S.TXT"},
        {nullptr, L"", L"NOP"},
    };
    for (const auto& c : subItems) {
        COutputKey key;
        if (c.path) {
            key.SetSubItemFromFile(c.subId, c.path);
        } else {
            key.SetSubItem(c.subId);
        }
        EXPECT_EQ(c.subItem, key.KEY_SUB);
    }
    COutputKey key;
    key.SetModel(L" o'neil printer 200 ");
    EXPECT_EQ(L"O''NEIL PRINTER 200", key.NAME);
    key.SetModel(nullptr);
    EXPECT_EQ(L"", key.NAME);
}

}  // namespace
