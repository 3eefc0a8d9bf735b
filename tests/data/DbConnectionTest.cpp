// Reading and writing through the connection on real database files: statements and their
// error boxes, the read loop and column types, updatable rowsets and their write-back, and what a
// failed write leaves behind.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <vector>

#include "DbConnection.h"
#include "DbTransaction.h"
#include "Resources.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "TestDatabase.h"

namespace {

using vb::test::TestDatabase;

const wchar_t* const kScriptList = L"SELECT [NAME],[KEY] FROM [SCRIPTS] ORDER BY [NAME]";
const wchar_t* const kInsertRow =
    L"INSERT INTO [OUTPUT] ([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],"
    L"[REF_GDI_OBJ],[REF_USR_OBJ],[REF_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( 'U', 'S', '1.0', "
    L"'2024-01-02 03:04:05', '', 5, 0, 0, 0, 0, 'MODEL', 1, 'NOP')";
const wchar_t* const kSelectData = L"SELECT [REF_DATA] FROM [OUTPUT]  WHERE [NAME] = 'MODEL' AND [KEY] = 1 AND [KEY_SUB] = 'NOP'";

bool Reading(const CDbConnection& db) {
    return db.LastResult() != DB_S_ENDOFROWSET && db.LastResult() != static_cast<HRESULT>(0x80040E29);
}

std::wstring BoxText(const wchar_t* code, const std::wstring& sql) {
    return L"Incorrect SQL query (0x" + std::wstring(code) + L"):\r\n'" + sql + L"'";
}

vb::Variant Column(long number) { return vb::Variant(number); }

class DbConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vb::test::CreateProgramTables(db_, file_));
        ASSERT_TRUE(db_.Execute(kInsertRow, 1));
    }

    void AddScript(int key, const std::wstring& name, const std::wstring& data) {
        const std::wstring sql = L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( " + std::to_wstring(key) + L", '" +
                                 vb::QuoteForSql(name) + L"', '" + vb::QuoteForSql(data) + L"' )";
        ASSERT_TRUE(db_.Execute(sql.c_str(), 1));
    }

    TestDatabase file_;
    CDbConnection db_;
    vb::MessageBoxCapture boxes_;
};

TEST_F(DbConnectionTest, OpensOnlyAnExistingDatabaseNamedByDataSource) {
    const std::wstring text = file_.Folder() / L"text.mdb";
    ASSERT_TRUE(vb::test::WriteFileBytes(text, std::string(4096, 'x')));
    CDbConnection other;
    for (const std::wstring& bad : {std::wstring(), std::wstring(L"Provider=Microsoft.Jet.OLEDB.4.0;User Id=admin;"),
                                    L"Data Source=" + file_.Folder() / L"missing.mdb" + L";", L"Data Source=" + text}) {
        EXPECT_FALSE(other.Open(bad.c_str())) << vb::ToUtf8(bad);
        EXPECT_FALSE(other.IsOpen());
    }
    EXPECT_FALSE(other.Open(nullptr));
    EXPECT_FALSE(other.LastErrorText().empty());
    EXPECT_FALSE(vb::test::FileExists(file_.Folder() / L"missing.mdb"));
    EXPECT_EQ(std::string(4096, 'x'), vb::test::ReadFileBytes(text));
    EXPECT_EQ(E_FAIL, other.OpenRowset(kScriptList));

    EXPECT_EQ(file_.Path(), CDbConnection::DataSourceOf(L" data source = \"" + file_.Path() + L"\" ;x=y"));
    EXPECT_TRUE(boxes_.Boxes().empty());

    // A second open leaves the first database and its rowset.
    TestDatabase second(L"Second.mdb");
    ASSERT_TRUE(db_.Execute(kScriptList, 0));
    ASSERT_TRUE(db_.Open(second.ConnectionString().c_str()));
    EXPECT_FALSE(db_.HasRowset());
    EXPECT_FALSE(db_.Execute(kScriptList, 0));  // no SCRIPTS table in the new file
    EXPECT_EQ(1u, boxes_.Boxes().size());
}

// Mode 0 wants a rowset, mode 1 success, any other mode accepts everything; a failure shows
// the statement with its code in an error box.
TEST_F(DbConnectionTest, ModesDecideWhatCountsAsSuccess) {
    const wchar_t* insert = L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'F1', 'One' )";
    const wchar_t* missing = L"SELECT [NAME] FROM [NO_SUCH_TABLE] WHERE [X] = '100%'";
    const struct {
        const wchar_t* sql;
        int mode;
        bool result, boxed;
    } cases[] = {
        {insert, 0, false, true},  // the row is written, yet an INSERT opens no rowset
        {insert, 1, true, false},
        {L"SELECT nonsense FROM nowhere", 2, true, false},
        {missing, 0, false, true},
        {L"SELECT [NAME] FROM [SCRIPTS]; DELETE FROM [SCRIPTS]", 0, false, true},  // one statement at a time
        {L"SELECT [NAME] FROM [SCRIPTS];", 0, true, false},
        {L"UPDATE [OUTPUT] SET [REF_DATA] = ?", 1, false, true},  // a parameter without a value
        {L"", 1, false, false},
        {nullptr, 0, false, false},
    };
    for (const auto& c : cases) {
        boxes_.Clear();
        EXPECT_EQ(c.result, db_.Execute(c.sql, c.mode) != FALSE) << (c.sql ? vb::ToUtf8(c.sql) : "null");
        ASSERT_EQ(c.boxed ? 1u : 0u, boxes_.Boxes().size());
    }
    EXPECT_FALSE(db_.Execute(missing, 0));
    EXPECT_FALSE(db_.HasRowset());
    EXPECT_EQ(BoxText(L"80040E14", missing), boxes_.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
    EXPECT_EQ(E_FAIL, db_.OpenRowset(L""));
    ASSERT_TRUE(db_.Execute(L"SELECT [KEY] FROM [DRIVER_FAMILIES]", 0));
    int rows = 0;
    for (; Reading(db_); db_.MoveNext()) ++rows;
    EXPECT_EQ(2, rows);
}

TEST_F(DbConnectionTest, ReadLoopWalksTheRowsInOrder) {
    ASSERT_TRUE(db_.Execute(kScriptList, 0));
    EXPECT_TRUE(db_.HasRowset());
    EXPECT_EQ(DB_S_ENDOFROWSET, db_.LastResult());  // an empty result ends the loop at once
    EXPECT_EQ(VT_EMPTY, db_.GetValue(1).Type());

    AddScript(2, L"beta", L"");
    AddScript(0, L"#Global_Script", L"");
    AddScript(1, L"Alpha", L"");
    ASSERT_TRUE(db_.Execute(kScriptList, 0));
    EXPECT_EQ(L"KEY", db_.GetColumnName(2));
    EXPECT_EQ(L"", db_.GetColumnName(3));
    std::vector<std::wstring> names;
    std::vector<long> keys;
    for (; Reading(db_); db_.MoveNext()) {
        names.push_back(db_.GetString(1));
        keys.push_back(db_.GetInt(2));
    }
    // Names sort and compare without regard to case, as the desktop engine did.
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script", L"Alpha", L"beta"}), names);
    EXPECT_EQ((std::vector<long>{0, 1, 2}), keys);
    ASSERT_TRUE(db_.Execute(L"SELECT [KEY] FROM [SCRIPTS] WHERE [NAME] = 'ALPHA'", 0));
    EXPECT_EQ(1, db_.GetInt(1));
}

TEST_F(DbConnectionTest, ColumnTypesFollowTheDeclaredTypes) {
    AddScript(3, L"Three", L"abc");
    ASSERT_TRUE(db_.Execute(L"SELECT [NAME],[KEY],[DATA],[KEY] * 2 AS [TWICE],[KEY] * 1000000000 AS [WIDE],"
                            L"[KEY] / 2.0 AS [HALF] FROM [SCRIPTS]",
                            0));
    EXPECT_EQ(DBTYPE_WSTR, db_.GetColumnType(1));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(2));
    EXPECT_EQ(DBTYPE_IUNKNOWN, db_.GetColumnType(3));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(4));  // an expression: the type of its value
    // Past 32 bits, and with a fraction, an expression reads as a real, never as a cut LONG.
    for (int column : {5, 6}) {
        vb::Variant value = db_.GetValue(column);
        EXPECT_EQ(DBTYPE_R8, db_.GetColumnType(column));
        ASSERT_EQ(VT_R8, value.Type());
        EXPECT_EQ(column == 5 ? 3e9 : 1.5, V_R8(value.Get()));
    }
    // A long text reads as the bytes of its UTF-16 text; as a string it is the text again.
    vb::Variant data = db_.GetValue(3);
    ASSERT_EQ(VT_ARRAY | VT_UI1, data.Type());
    EXPECT_EQ(6u, V_ARRAY(data.Get())->rgsabound[0].cElements);
    EXPECT_EQ(L"abc", db_.GetString(3));
    EXPECT_EQ(0, db_.GetInt(3));

    // A table a script makes may spell its types in small letters.
    ASSERT_TRUE(db_.Execute(L"CREATE TABLE [MINE] ([D] date,[B] yesno,[N] long,[S] varchar(8),[R] double)", 1));
    ASSERT_TRUE(db_.Execute(L"SELECT * FROM [MINE]", 0));
    const DBTYPE declared[] = {DBTYPE_DATE, DBTYPE_BOOL, DBTYPE_I4, DBTYPE_WSTR, DBTYPE_R8};
    for (int column = 1; column <= 5; ++column) EXPECT_EQ(declared[column - 1], db_.GetColumnType(column)) << column;
}

// GetString reads a text cell directly; it must give what the value's text gives, at the edges
// too: in a text column, a long text column and an expression, each read with a lookup or not.
TEST_F(DbConnectionTest, TextsReadDirectlyAsThroughTheirValue) {
    const struct {
        const wchar_t* sql;
        std::wstring text;
    } cases[] = {
        {L"NULL", L""},
        {L"''", L""},
        {L"'a' || char(0) || 'b'", std::wstring(L"a\0b", 3)},
        {L"'cmVm' || char(0) || char(0)", std::wstring(L"cmVm\0\0", 6)},
        {L"'Gr\u00FC\u00DFe \u00E9tiquette \U0001F600'", L"Gr\u00FC\u00DFe \u00E9tiquette \U0001F600"},
    };
    for (bool lookup : {false, true}) {
        if (lookup) db_.SetColumnLookup({{L"other", L"mapped"}});
        for (const auto& c : cases) {
            const std::wstring value = c.sql;
            const std::wstring update = L"UPDATE [OUTPUT] SET [REF_USER] = " + value + L", [REF_DATA] = " + value;
            ASSERT_TRUE(db_.Execute(update.c_str(), 1));
            ASSERT_TRUE(db_.Execute(L"SELECT [REF_USER],[REF_DATA],[REF_USER] || '' AS [X] FROM [OUTPUT]", 0));
            for (int column = 1; column <= 3; ++column) {
                SCOPED_TRACE(vb::ToUtf8(value) + ", column " + std::to_string(column) + (lookup ? ", lookup" : ""));
                EXPECT_EQ(c.text, db_.GetString(column));
                EXPECT_EQ(c.text, vb::VariantToText(*db_.GetValue(column).Get()).value_or(L""));
            }
        }
    }
    ASSERT_TRUE(db_.Execute(L"SELECT [REF_USER],[REF_DATA],'other' AS [X] FROM [OUTPUT]", 0));
    EXPECT_EQ(L"mapped", db_.GetString(3));
}

TEST_F(DbConnectionTest, ReadsOutsideARowsetAreEmpty) {
    CDbConnection closed;
    EXPECT_EQ(VT_EMPTY, closed.GetValue(1).Type());
    closed.MoveNext();
    EXPECT_EQ(DB_S_ENDOFROWSET, closed.LastResult());
    EXPECT_FALSE(closed.Execute(kScriptList, 1));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(BoxText(L"80004005", kScriptList), boxes_.Boxes()[0].text);
}

// Found in review: byte arrays of even length were stored as UTF-16 text, and bytes that are no
// valid UTF-16 came back rewritten although the write reported success.
TEST_F(DbConnectionTest, SetValueOnlyOnAnUpdatableRowAndBytesAreWrittenAsTheyAre) {
    const std::string sent("\x00\xD8\x41\x00", 4);  // an unpaired surrogate, then "A"
    vb::Variant value;
    V_VT(value.Put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(value.Get()) = ::SafeArrayCreateVector(VT_UI1, 0, 4);
    std::memcpy(V_ARRAY(value.Get())->pvData, sent.data(), 4);
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *value.Get()));  // no rowset
    ASSERT_TRUE(db_.Execute(kSelectData, 0, TRUE));
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *value.Get()));  // writes not enabled
    db_.SetWriteEnabled(TRUE);
    EXPECT_FALSE(db_.SetValue(*Column(2).Get(), *value.Get()));  // no such column
    EXPECT_TRUE(db_.SetValue(*Column(1).Get(), *value.Get()));
    ASSERT_EQ(S_OK, db_.WriteBackRow());

    ASSERT_TRUE(db_.Execute(kSelectData, 0, FALSE));
    EXPECT_FALSE(db_.IsUpdatable());
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *vb::Variant(std::wstring(L"y")).Get()));
    vb::Variant read = db_.GetValue(1);
    ASSERT_EQ(VT_ARRAY | VT_UI1, read.Type());
    const SAFEARRAY* bytes = V_ARRAY(read.Get());
    EXPECT_EQ(sent, std::string(static_cast<const char*>(bytes->pvData), bytes->rgsabound[0].cElements));
}

TEST_F(DbConnectionTest, ReadOnlyFileIsReadButNotWritten) {
    db_.Close(TRUE);
    std::string before = vb::test::ReadFileBytes(file_.Path());
    // Another program holds the file open without letting anyone write to it.
    vb::UniqueFile holder(::CreateFileW(file_.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    ASSERT_TRUE(db_.Open(file_.ConnectionString().c_str()));
    ASSERT_TRUE(db_.Execute(L"SELECT [NAME] FROM [OUTPUT]", 0));
    EXPECT_EQ(L"MODEL", db_.GetString(1));
    EXPECT_FALSE(db_.Execute(L"DELETE * FROM [OUTPUT] ", 1));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(MB_OK | MB_ICONERROR, boxes_.Boxes()[0].flags);
    db_.Close(TRUE);
    holder.Reset();
    EXPECT_EQ(before, vb::test::ReadFileBytes(file_.Path()));
}

TEST_F(DbConnectionTest, LockedFileFailsTheWriteAndKeepsTheData) {
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, ::sqlite3_open_v2(vb::ToUtf8(file_.Path()).c_str(), &other, SQLITE_OPEN_READWRITE, nullptr));
    vb::UniqueSqliteDatabase otherOwner(other);
    ASSERT_EQ(SQLITE_OK, ::sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));

    EXPECT_FALSE(db_.Execute(L"DELETE * FROM [OUTPUT] ", 1));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(L"Incorrect SQL query (0x80040E40):\r\n'DELETE * FROM [OUTPUT] '", boxes_.Boxes()[0].text);
    CDbConnection third;
    EXPECT_FALSE(third.Open(file_.ConnectionString().c_str()));

    ASSERT_EQ(SQLITE_OK, ::sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr));
    ASSERT_TRUE(db_.Execute(L"SELECT COUNT(*) FROM [OUTPUT]", 0));
    EXPECT_EQ(1, db_.GetInt(1));
}

// Statements inside a transaction stay only when it is committed.
TEST_F(DbConnectionTest, TransactionKeepsAllOrNothing) {
    {
        CDbTransaction transaction(db_);
        ASSERT_TRUE(transaction.IsActive());
        ASSERT_TRUE(db_.Execute(L"DELETE * FROM [OUTPUT]", 1));
    }
    ASSERT_EQ(S_OK, db_.OpenRowset(L"SELECT COUNT(*) FROM [OUTPUT]"));
    EXPECT_EQ(1, db_.GetInt(1));
    {
        CDbTransaction transaction(db_);
        ASSERT_TRUE(db_.Execute(L"DELETE * FROM [OUTPUT]", 1));
        EXPECT_TRUE(transaction.Commit());
    }
    ASSERT_EQ(S_OK, db_.OpenRowset(L"SELECT COUNT(*) FROM [OUTPUT]"));
    EXPECT_EQ(0, db_.GetInt(1));
}

TEST_F(DbConnectionTest, DateAndYesNoColumnsReadBackAsDateAndBoolean) {
    ASSERT_TRUE(db_.Execute(L"SELECT [SUCCESS],[REF_DATE],[CMP_DATE],[REF_DURATION] FROM [OUTPUT]", 0));
    EXPECT_EQ(DBTYPE_BOOL, db_.GetColumnType(1));
    EXPECT_EQ(DBTYPE_DATE, db_.GetColumnType(2));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(4));
    vb::Variant date = db_.GetValue(2);
    ASSERT_EQ(VT_DATE, date.Type());
    SYSTEMTIME time{};
    ASSERT_TRUE(::VariantTimeToSystemTime(V_DATE(date.Get()), &time));
    EXPECT_EQ(5, time.wSecond);
    EXPECT_EQ(VT_BOOL, db_.GetValue(1).Type());
}

// A value wider than its column and a second row with the same key fail the statement.
TEST_F(DbConnectionTest, WidthsAndTheResultKeyAreEnforced) {
    EXPECT_TRUE(db_.Execute(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM001', 'x' )", 1));
    EXPECT_FALSE(db_.Execute(L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( 'FAM0001', 'x' )", 1));
    EXPECT_FALSE(db_.Execute(kInsertRow, 1));
    ASSERT_EQ(2u, boxes_.Boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
    EXPECT_EQ(L"Incorrect SQL query (0x80040E2F):\r\n'" + std::wstring(kInsertRow) + L"'", boxes_.Boxes()[1].text);
}

}  // namespace
