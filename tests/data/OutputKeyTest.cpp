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

TEST(OutputKeyTest, StartsAsAComparisonItemWithoutScript) {
    COutputKey key;
    EXPECT_FALSE(key.reference);
    EXPECT_EQ(-1, key.KEY);
    EXPECT_EQ(L"", key.KEY_SUB);
    EXPECT_EQ(L"", key.NAME);
}

TEST(OutputKeyTest, SubItemIsTrimmedUpperCasedAndQuoted) {
    COutputKey key;
    key.SetSubItem(L"");
    EXPECT_EQ(L"NOP", key.KEY_SUB);
    key.SetSubItem(nullptr);
    EXPECT_EQ(L"NOP", key.KEY_SUB);
    key.SetSubItem(L"  label's part\t");
    EXPECT_EQ(L"LABEL''S PART", key.KEY_SUB);
    // Only a to z change case: keys stored earlier were made that way.
    key.SetSubItem(L"\x00e9t\x00e9");
    EXPECT_EQ(L"\x00e9T\x00e9", key.KEY_SUB);
}

TEST(OutputKeyTest, ModelIsTrimmedUpperCasedAndQuoted) {
    COutputKey key;
    key.SetModel(L" o'neil printer 200 ");
    EXPECT_EQ(L"O''NEIL PRINTER 200", key.NAME);
    key.SetModel(L"");
    EXPECT_EQ(L"", key.NAME);
    key.SetModel(L"x");
    key.SetModel(nullptr);
    EXPECT_EQ(L"", key.NAME);
}

TEST(OutputKeyTest, SubItemFromFileAddsTheFileName) {
    COutputKey key;
    key.SetSubItemFromFile(L"job", L"C:\\out\\data\\label_1.bin");
    EXPECT_EQ(L"JOB::LABEL_1.BIN", key.KEY_SUB);
    key.SetSubItemFromFile(L"", L"C:\\out\\a.txt");
    EXPECT_EQ(L"::A.TXT", key.KEY_SUB);
    key.SetSubItemFromFile(L"job", L"");
    EXPECT_EQ(L"JOB", key.KEY_SUB);
    key.SetSubItemFromFile(L"job", L"plain.txt");
    EXPECT_EQ(L"JOB::PLAIN.TXT", key.KEY_SUB);
    key.SetSubItemFromFile(nullptr, nullptr);
    EXPECT_EQ(L"NOP", key.KEY_SUB);
}

}  // namespace
