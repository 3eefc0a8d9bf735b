// The desktop database's idioms in the statements the program sends, run against the tables it
// creates. That every statement of the program runs is proven where the engine sends them.
#include <gtest/gtest.h>

#include <vector>

#include "DbConnection.h"
#include "JetSql.h"
#include "Resources.h"
#include "Strings.h"
#include "TestDatabase.h"

namespace {

const wchar_t* const kInsertOutput =
    L"INSERT INTO [OUTPUT] ([REF_USER],[REF_DATE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( 'U', "
    L"'2024-01-02 03:04:05', 0, 'MODEL', 7, 'NOP')";

class JetStatementsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vb::test::CreateProgramTables(db_, file_));
        for (const wchar_t* sql :
             {L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM01', 'Family One' )",
              L"INSERT INTO [DRIVER_MODELS] ([KEY],[NAME],[CATALOG],[REFS]) VALUES ( 'FAM01', 'M', '', 1 )",
              L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( 0, 'S0', '' )",
              L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( 1, 'S1', '' )",
              L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( 2, 'S2', '' )", kInsertOutput}) {
            ASSERT_TRUE(Run(sql, 1)) << vb::ToUtf8(sql);
        }
    }

    bool Run(const std::wstring& sql, int mode) { return db_.Execute(sql.c_str(), mode) != FALSE; }

    vb::test::TestDatabase file_;
    CDbConnection db_;
    vb::MessageBoxCapture boxes_;
};

// "+" beside a string literal and "&" join texts; "+" between numbers still adds.
TEST_F(JetStatementsTest, OperatorsFollowTheDesktopEngine) {
    const struct {
        const wchar_t* sql;
        const wchar_t* value;
        DBTYPE type;
    } cases[] = {
        {L"SELECT [KEY] + ' (' + [NAME] + ')' AS [KEY_NAME] FROM [DRIVER_FAMILIES] ", L"FAM01 (Family One)", DBTYPE_BSTR},
        {L"SELECT MAX([KEY]) + 1 AS [NEW_ID] FROM [SCRIPTS] ", L"3", DBTYPE_I4},
        {L"SELECT '' & [KEY] FROM [OUTPUT]", L"7", DBTYPE_BSTR},
        // Texts compare without case, as the desktop engine compared them.
        {L"SELECT [NAME] FROM [DRIVER_MODELS] WHERE [KEY] ='fam01'", L"M", DBTYPE_WSTR},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Run(c.sql, 0)) << vb::ToUtf8(c.sql);
        EXPECT_EQ(c.value, db_.GetString(1)) << vb::ToUtf8(c.sql);
        EXPECT_EQ(c.type, db_.GetColumnType(1)) << vb::ToUtf8(c.sql);
    }
    ASSERT_TRUE(Run(cases[0].sql, 0));
    EXPECT_EQ(L"KEY_NAME", db_.GetColumnName(1));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// Found by fuzzing: read apart from SQLite's comments and `names`, the rewrite copied a quote
// that SQLite saw outside a comment, and one statement became two.
TEST(JetTranslationTest, CommentsAndBackquotedNamesAreReadAsSqliteReadsThem) {
    const wchar_t* const commented = L"CREATE TABLE t(a -- , [a\n'] VARCHAR(1)\n); DROP TABLE x";
    EXPECT_EQ(commented, vb::TranslateJetSql(commented));
    EXPECT_EQ(L"SELECT `it's` || 'x'", vb::TranslateJetSql(L"SELECT `it's` & 'x'"));
}

TEST_F(JetStatementsTest, DeleteStarRemovesOnlyTheMatchingRows) {
    ASSERT_TRUE(Run(L"DELETE * FROM [SCRIPTS] WHERE [KEY] = 1", 1));
    ASSERT_TRUE(Run(L"SELECT [NAME],[KEY] FROM [SCRIPTS] ORDER BY [NAME]", 0));
    std::vector<long> keys;
    for (; db_.LastResult() == S_OK; db_.MoveNext()) keys.push_back(db_.GetInt(2));
    EXPECT_EQ((std::vector<long>{0, 2}), keys);
}

TEST_F(JetStatementsTest, DateAndYesNoColumnsReadBackAsDateAndBoolean) {
    ASSERT_TRUE(Run(L"SELECT [SUCCESS],[REF_DATE],[CMP_DATE],[REF_DURATION] FROM [OUTPUT]", 0));
    EXPECT_EQ(DBTYPE_BOOL, db_.GetColumnType(1));
    EXPECT_EQ(DBTYPE_DATE, db_.GetColumnType(2));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(4));
    vb::Variant date = db_.GetValue(2);
    ASSERT_EQ(VT_DATE, date.Type());
    SYSTEMTIME time{};
    ASSERT_TRUE(::VariantTimeToSystemTime(V_DATE(date.Get()), &time));
    EXPECT_EQ(2024, time.wYear);
    EXPECT_EQ(5, time.wSecond);
    vb::Variant noDate = db_.GetValue(3);
    EXPECT_EQ(VT_DATE, noDate.Type());
    EXPECT_EQ(0.0, V_DATE(noDate.Get()));

    ASSERT_TRUE(Run(L"UPDATE [OUTPUT]  SET [SUCCESS] = -1 WHERE [NAME] = 'MODEL' AND [KEY] = 7 AND [KEY_SUB] = 'NOP'", 1));
    ASSERT_TRUE(Run(L"SELECT [SUCCESS] FROM [OUTPUT]", 0));
    vb::Variant ok = db_.GetValue(1);
    ASSERT_EQ(VT_BOOL, ok.Type());
    EXPECT_NE(VARIANT_FALSE, V_BOOL(ok.Get()));
}

// A value wider than its column and a second row with the same key fail the statement.
TEST_F(JetStatementsTest, WidthsAndTheResultKeyAreEnforced) {
    EXPECT_TRUE(Run(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM001', 'x' )", 1));
    EXPECT_FALSE(Run(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM0001', 'x' )", 1));
    EXPECT_FALSE(Run(kInsertOutput, 1));
    ASSERT_EQ(2u, boxes_.Boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
    EXPECT_EQ(L"Incorrect SQL query (0x80040E2F):\r\n'" + std::wstring(kInsertOutput) + L"'", boxes_.Boxes()[1].text);
}

}  // namespace
