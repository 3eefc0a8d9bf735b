#include <gtest/gtest.h>

#include "JetSql.h"
#include "OutputKey.h"
#include "SqlQuoting.h"

namespace {

// Apostrophes are doubled and CR LF pairs escaped (lone CR and LF stay); unquoting undoes both.
TEST(SqlQuotingTest, QuotingAndUnquotingAreInverse) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"It's", L"It''s"}, {L"a\r\nb", L"a\\r\\nb"}, {L"a\rb\nc", L"a\rb\nc"}, {L"''\r\n\r\n", L"''''\\r\\n\\r\\n"},
        {L"", L""},
    };
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(quoted, vb::QuoteForSql(text));
        EXPECT_EQ(text, vb::UnquoteFromSql(quoted));
    }
    // The database holds the statement's literal with "''" already turned into "'".
    EXPECT_EQ(L"'' comment\r\nx = 1", vb::TextFromDatabase(L"'' comment\\r\\nx = 1"));
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

// Found by fuzzing: read apart from SQLite's comments and `names`, the rewrite copied a quote
// that SQLite saw outside a comment, and one statement became two.
TEST(JetTranslationTest, CommentsAndBackquotedNamesAreReadAsSqliteReadsThem) {
    const wchar_t* const commented = L"CREATE TABLE t(a -- , [a\n'] VARCHAR(1)\n); DROP TABLE x";
    EXPECT_EQ(commented, vb::TranslateJetSql(commented));
    EXPECT_EQ(L"SELECT `it's` || 'x'", vb::TranslateJetSql(L"SELECT `it's` & 'x'"));
}

}  // namespace
