// Every statement text the device database, the results database and the definition import
// send, as they send them, run against the tables they create.
#include <gtest/gtest.h>

#include <vector>

#include "DbConnection.h"
#include "OutputKey.h"
#include "Resources.h"
#include "Strings.h"
#include "TestDatabase.h"

namespace {

using vb::test::FillSql;

struct Statement {
    const wchar_t* pattern;
    std::vector<std::wstring> args;
    int mode;  // 1: no rows expected; 0: a query
};

const wchar_t* const kOutputUpdateRef =
    L"UPDATE [OUTPUT]  SET [REF_USER] = '%s',[REF_SYSTEM] = '%s',[REF_DRV_VERSION] = '%s',[REF_DATE] = "
    L"'%s',[REF_DATA] = '%s',[REF_DURATION] = %u,[REF_GDI_OBJ] = %d,[REF_USR_OBJ] = %d,[REF_MEM_USAGE] = "
    L"%d,[SUCCESS] = %d WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'";
const wchar_t* const kOutputUpdateCmp =
    L"UPDATE [OUTPUT]  SET [CMP_USER] = '%s',[CMP_SYSTEM] = '%s',[CMP_DRV_VERSION] = '%s',[CMP_DATE] = "
    L"'%s',[CMP_DATA] = '%s',[CMP_DURATION] = %u,[CMP_GDI_OBJ] = %d,[CMP_USR_OBJ] = %d,[CMP_MEM_USAGE] = "
    L"%d,[SUCCESS] = %d WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'";
const wchar_t* const kOutputInsertRef =
    L"INSERT INTO [OUTPUT] "
    L"([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],[REF_GDI_OBJ],[REF_USR_OBJ],[REF_"
    L"MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( '%s', '%s', '%s', '%s', '%s', %u, %d, %d, %d, %d, '%s', "
    L"%u, '%s')";
const wchar_t* const kOutputInsertCmp =
    L"INSERT INTO [OUTPUT] "
    L"([CMP_USER],[CMP_SYSTEM],[CMP_DRV_VERSION],[CMP_DATE],[CMP_DATA],[CMP_DURATION],[CMP_GDI_OBJ],[CMP_USR_OBJ],[CMP_"
    L"MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( '%s', '%s', '%s', '%s', '%s', %u, %d, %d, %d, %d, '%s', "
    L"%u, '%s')";
const wchar_t* const kResultsFailed =
    L"SELECT [SUCCESS] AS [OK],[NAME] AS [Model],'' & [KEY] AS [Script],[KEY_SUB] AS [Sub item],[REF_USER], "
    L"[CMP_USER],[REF_DATE], [CMP_DATE],[REF_SYSTEM], [CMP_SYSTEM],[REF_DRV_VERSION], "
    L"[CMP_DRV_VERSION],[REF_DURATION], [CMP_DURATION],[REF_GDI_OBJ], [CMP_GDI_OBJ],[REF_USR_OBJ], "
    L"[CMP_USR_OBJ],[REF_MEM_USAGE], [CMP_MEM_USAGE] FROM [OUTPUT]  WHERE [SUCCESS]=0 ORDER BY [NAME], [KEY], "
    L"[KEY_SUB]";
const wchar_t* const kResultsAll =
    L"SELECT [SUCCESS] AS [OK],[NAME] AS [Model],'' & [KEY] AS [Script],[KEY_SUB] AS [Sub item],[REF_USER], "
    L"[CMP_USER],[REF_DATE], [CMP_DATE],[REF_SYSTEM], [CMP_SYSTEM],[REF_DRV_VERSION], "
    L"[CMP_DRV_VERSION],[REF_DURATION], [CMP_DURATION],[REF_GDI_OBJ], [CMP_GDI_OBJ],[REF_USR_OBJ], "
    L"[CMP_USR_OBJ],[REF_MEM_USAGE], [CMP_MEM_USAGE] FROM [OUTPUT]  ORDER BY [NAME], [KEY], [KEY_SUB]";

// In the order a first start, an import, a Build run and the result viewer send them.
std::vector<Statement> ProgramStatements() {
    const std::wstring now = L"2024-05-06 07:08:09";
    return {
        {L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( %u, '%s', '%s' )",
         {L"0", L"#Global_Script", L"Option Explicit\\r\\nConst A = ''x''"}, 1},
        {L"SELECT [NAME],[DATA] FROM [SCRIPTS] WHERE [KEY] = %u", {L"0"}, 0},
        {L"SELECT MAX([KEY]) + 1 AS [NEW_ID] FROM [SCRIPTS] ", {}, 0},
        {L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( %u, '%s', '%s' )",
         {L"1", L"New script ID(1)", L"Call BeginPrintJob()"}, 1},
        {L"UPDATE [SCRIPTS]  SET [NAME] = '%s',[DATA] = '%s' WHERE [KEY] = %u", {L"Label ''A''", L"Call X()", L"1"}, 1},
        {L"SELECT [NAME],[KEY] FROM [SCRIPTS] ORDER BY [NAME]", {}, 0},
        {L"DELETE * FROM [DRIVER_FAMILIES] ", {}, 1},
        {L"DELETE * FROM [DRIVER_MODELS] ", {}, 1},
        {L"INSERT INTO [DRIVER_MODELS] ([KEY],[NAME],[CATALOG],[REFS]) VALUES ( '%s', '%s', '%s', %u )",
         {L"FAM01", L"MODEL ''X''", L"F1: A\\r\\nF2: B", L"2"}, 1},
        {L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( '%s', '%s' )", {L"FAM01", L"Family One"}, 1},
        {L"SELECT [KEY] + ' (' + [NAME] + ')' AS [KEY_NAME] FROM [DRIVER_FAMILIES] ", {}, 0},
        {L"SELECT [NAME],[CATALOG] FROM [DRIVER_MODELS] WHERE [KEY] ='%s'", {L"FAM01"}, 0},
        {kOutputInsertRef,
         {L"TESTER", L"Windows (Win32), build 1", L"1.2.3.4", now, L"", L"15", L"2", L"-1", L"-4096", L"0", L"M''1",
          L"1", L"NOP"},
         1},
        {L"SELECT [REF_DATA] FROM [OUTPUT]  WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'",
         {L"M''1", L"1", L"NOP"}, 0},
        {L"SELECT [CMP_DATA] FROM [OUTPUT] WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'",
         {L"M''1", L"1", L"NOP"}, 0},
        {kOutputUpdateCmp,
         {L"TESTER", L"Windows (Win32), build 1", L"1.2.3.5", now, L"", L"16", L"0", L"0", L"0", L"-1", L"M''1", L"1",
          L"NOP"},
         1},
        {kOutputInsertCmp,
         {L"TESTER", L"Windows (Win32), build 1", L"1.2.3.5", now, L"", L"9", L"0", L"0", L"0", L"0", L"M''1", L"1",
          L"S::A.TXT"},
         1},
        {kOutputUpdateRef,
         {L"TESTER", L"Windows (Win32), build 1", L"1.2.3.4", now, L"", L"8", L"0", L"0", L"0", L"0", L"M''1", L"1",
          L"S::A.TXT"},
         1},
        {L"SELECT [CMP_DATA] FROM [OUTPUT]  WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'",
         {L"M''1", L"1", L"S::A.TXT"}, 0},
        {L"SELECT [REF_DATA] FROM [OUTPUT] WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'",
         {L"M''1", L"1", L"S::A.TXT"}, 0},
        {L"SELECT [KEY],[NAME] FROM [SCRIPTS] ", {}, 0},
        {kResultsFailed, {}, 0},
        {kResultsAll, {}, 0},
        {L"DELETE * FROM [SCRIPTS] WHERE [KEY] = %u", {L"1"}, 1},
    };
}

class JetStatementsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vb::test::CreateProgramTables(db_, file_)); }

    bool Run(const std::wstring& sql, int mode) { return db_.Execute(sql.c_str(), mode) != FALSE; }

    vb::test::TestDatabase file_;
    CDbConnection db_;
    vb::MessageBoxCapture boxes_;
};

TEST_F(JetStatementsTest, EveryProgramStatementRunsAfterTranslation) {
    for (const Statement& statement : ProgramStatements()) {
        std::wstring sql = FillSql(statement.pattern, statement.args);
        EXPECT_TRUE(Run(sql, statement.mode)) << vb::ToUtf8(sql) << "\n" << vb::ToUtf8(db_.LastErrorText());
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(JetStatementsTest, StringConcatenationBuildsTheFamilyEntry) {
    ASSERT_TRUE(Run(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM01', 'Family One' )", 1));
    ASSERT_TRUE(Run(L"SELECT [KEY] + ' (' + [NAME] + ')' AS [KEY_NAME] FROM [DRIVER_FAMILIES] ", 0));
    EXPECT_EQ(1, db_.GetColumnCount());
    EXPECT_EQ(L"KEY_NAME", db_.GetColumnName(1));
    EXPECT_EQ(L"FAM01 (Family One)", db_.GetString(1));
    EXPECT_EQ(DBTYPE_BSTR, db_.GetColumnType(1));
}

TEST_F(JetStatementsTest, NumericPlusStaysAddition) {
    ASSERT_TRUE(Run(L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( 0, '#Global_Script', '' )", 1));
    ASSERT_TRUE(Run(L"SELECT MAX([KEY]) + 1 AS [NEW_ID] FROM [SCRIPTS] ", 0));
    EXPECT_EQ(1, db_.GetInt(1));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(1));
}

TEST_F(JetStatementsTest, DeleteStarRemovesOnlyTheMatchingRows) {
    for (int key : {0, 1, 2}) {
        ASSERT_TRUE(Run(FillSql(L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( %u, '%s', '%s' )",
                                {std::to_wstring(key), L"S" + std::to_wstring(key), L""}),
                        1));
    }
    ASSERT_TRUE(Run(L"DELETE * FROM [SCRIPTS] WHERE [KEY] = 1", 1));
    ASSERT_TRUE(Run(L"SELECT [NAME],[KEY] FROM [SCRIPTS] ORDER BY [NAME]", 0));
    std::vector<long> keys;
    while (db_.LastResult() != DB_S_ENDOFROWSET && db_.LastResult() != static_cast<HRESULT>(0x80040E29)) {
        keys.push_back(db_.GetInt(2));
        db_.MoveNext();
    }
    EXPECT_EQ((std::vector<long>{0, 2}), keys);
}

TEST_F(JetStatementsTest, ResultListShowsKeysAsTextThroughTheLookup) {
    ASSERT_TRUE(Run(FillSql(kOutputInsertRef, {L"U", L"S", L"1.0", L"2024-01-02 03:04:05", L"", L"5", L"0", L"0", L"0",
                                               L"0", L"MODEL", L"7", L"NOP"}),
                    1));
    db_.SetColumnLookup({{L"7", L"Print test (7)"}});
    ASSERT_TRUE(Run(kResultsFailed, 0));
    ASSERT_EQ(20, db_.GetColumnCount());
    EXPECT_EQ(L"OK", db_.GetColumnName(1));
    EXPECT_EQ(L"Sub item", db_.GetColumnName(4));
    EXPECT_EQ(DBTYPE_BOOL, db_.GetColumnType(1));
    EXPECT_EQ(DBTYPE_WSTR, db_.GetColumnType(2));
    EXPECT_EQ(DBTYPE_DATE, db_.GetColumnType(7));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(13));
    EXPECT_EQ(L"Print test (7)", db_.GetString(3));
    vb::Variant noDate = db_.GetValue(8);
    EXPECT_EQ(VT_DATE, noDate.Type());
    EXPECT_EQ(0.0, V_DATE(noDate.Get()));
    vb::Variant date = db_.GetValue(7);
    ASSERT_EQ(VT_DATE, date.Type());
    SYSTEMTIME time{};
    ASSERT_TRUE(::VariantTimeToSystemTime(V_DATE(date.Get()), &time));
    EXPECT_EQ(2024, time.wYear);
    EXPECT_EQ(5, time.wSecond);
    db_.MoveNext();
    EXPECT_EQ(DB_S_ENDOFROWSET, db_.LastResult());

    // The same row is a success once both sides match; the failed-only list then skips it.
    ASSERT_TRUE(Run(L"UPDATE [OUTPUT]  SET [SUCCESS] = -1 WHERE [NAME] = 'MODEL' AND [KEY] = 7 AND [KEY_SUB] = 'NOP'", 1));
    ASSERT_TRUE(Run(kResultsFailed, 0));
    EXPECT_EQ(DB_S_ENDOFROWSET, db_.LastResult());
    ASSERT_TRUE(Run(kResultsAll, 0));
    vb::Variant ok = db_.GetValue(1);
    ASSERT_EQ(VT_BOOL, ok.Type());
    EXPECT_NE(VARIANT_FALSE, V_BOOL(ok.Get()));
}

TEST_F(JetStatementsTest, TextColumnsKeepTheirWidth) {
    EXPECT_TRUE(Run(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM001', 'x' )", 1));
    EXPECT_FALSE(Run(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM0001', 'x' )", 1));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
}

TEST_F(JetStatementsTest, TextComparesWithoutCaseAsTheDesktopEngineDid) {
    ASSERT_TRUE(Run(L"INSERT INTO [DRIVER_MODELS] ([KEY],[NAME],[CATALOG],[REFS]) VALUES ( 'FAM01', 'M', '', 1 )", 1));
    ASSERT_TRUE(Run(L"SELECT [NAME],[CATALOG] FROM [DRIVER_MODELS] WHERE [KEY] ='fam01'", 0));
    EXPECT_EQ(S_OK, db_.LastResult());
}

TEST_F(JetStatementsTest, KeyTextsGoIntoStatementsQuotedAndComeBackPlain) {
    COutputKey key;
    key.KEY = 3;
    key.SetModel(L" o'neil 200 ");
    key.SetSubItemFromFile(L"job's", L"C:\\out\\it's.bin");
    ASSERT_TRUE(Run(FillSql(kOutputInsertCmp, {L"U", L"S", L"1.0", L"2024-01-02 03:04:05", L"", L"5", L"0", L"0", L"0",
                                               L"0", key.NAME, std::to_wstring(key.KEY), key.KEY_SUB}),
                    1));
    ASSERT_TRUE(Run(FillSql(L"SELECT [CMP_DATA] FROM [OUTPUT] WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'",
                            {key.NAME, std::to_wstring(key.KEY), key.KEY_SUB}),
                    0));
    EXPECT_EQ(S_OK, db_.LastResult());
    ASSERT_TRUE(Run(L"SELECT [NAME],[KEY_SUB] FROM [OUTPUT]", 0));
    EXPECT_EQ(L"O'NEIL 200", db_.GetString(1));
    EXPECT_EQ(L"JOB'S::IT'S.BIN", db_.GetString(2));
}

TEST_F(JetStatementsTest, ResultKeyRefusesADuplicateRow) {
    std::wstring insert = FillSql(kOutputInsertRef, {L"U", L"S", L"1.0", L"2024-01-02 03:04:05", L"", L"5", L"0",
                                                     L"0", L"0", L"0", L"MODEL", L"7", L"NOP"});
    ASSERT_TRUE(Run(insert, 1));
    EXPECT_FALSE(Run(insert, 1));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(L"Incorrect SQL query (0x80040E2F):\r\n'" + insert + L"'", boxes_.Boxes()[0].text);
}

}  // namespace
