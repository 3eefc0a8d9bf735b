#include <gtest/gtest.h>

#include "JetSql.h"
#include "OutputKey.h"
#include "SqlQuoting.h"
#include "Strings.h"

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
// that SQLite saw outside a comment, and one statement became two. Likewise a column "name"
// that is no name (a statement end, a literal) was copied into the added length check.
TEST(JetTranslationTest, TheRewriteNeverChangesWhatTheStatementsAre) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"CREATE TABLE t(a -- , [a\n'] VARCHAR(1)\n); DROP TABLE x", nullptr},
        {L"SELECT `it's` & 'x'", L"SELECT `it's` || 'x'"},
        {L"CREATE TABLE [O] ([S] YESNO NOT NULL, ;VARCHAR(192) NOT ,[K] LONG)",
         L"CREATE TABLE [O] ([S] YESNO NOT NULL, ;VARCHAR(192) NOT ,[K] INTEGER)"},
        {L"CREATE TABLE t (a LONG, 'b;' VARCHAR(4), -c MEMO)", L"CREATE TABLE t (a INTEGER, 'b;' VARCHAR(4), -c MEMO)"},
        {L"CREATE TABLE t (\"a;b\" VARCHAR(2), `c` MEMO,[d] TEXT (3))",
         L"CREATE TABLE t (\"a;b\" VARCHAR(2) COLLATE NOCASE CHECK (length(\"a;b\") <= 2), `c` TEXT,"
         L"[d] VARCHAR(3) COLLATE NOCASE CHECK (length([d]) <= 3))"},
        {L"CREATE TABLE [X] ([KEY] VARCHAR(6) NOT NULL,[REFS] LONG, CONSTRAINT I PRIMARY KEY ([KEY]))",
         L"CREATE TABLE [X] ([KEY] VARCHAR(6) COLLATE NOCASE CHECK (length([KEY]) <= 6) NOT NULL,[REFS] INTEGER, "
         L"CONSTRAINT I PRIMARY KEY ([KEY]))"},
    };
    for (const auto& [sql, translated] : cases) {
        EXPECT_EQ(translated ? translated : sql, vb::TranslateJetSql(sql)) << vb::ToUtf8(sql);
    }
}

}  // namespace
