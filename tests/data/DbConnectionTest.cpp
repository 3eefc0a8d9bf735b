#include <gtest/gtest.h>

#include <vector>

#include "DbConnection.h"
#include "Resources.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "TestDatabase.h"

namespace {

using vb::test::FillSql;
using vb::test::TestDatabase;

const wchar_t* const kScriptList = L"SELECT [NAME],[KEY] FROM [SCRIPTS] ORDER BY [NAME]";

bool Reading(const CDbConnection& db) {
    return db.LastResult() != DB_S_ENDOFROWSET && db.LastResult() != static_cast<HRESULT>(0x80040E29);
}

std::wstring BoxText(const wchar_t* code, const std::wstring& sql) {
    return L"Incorrect SQL query (0x" + std::wstring(code) + L"):\r\n'" + sql + L"'";
}

class DbConnectionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vb::test::CreateProgramTables(db_, file_)); }

    void AddScript(int key, const std::wstring& name, const std::wstring& data) {
        ASSERT_TRUE(db_.Execute(FillSql(L"INSERT INTO [SCRIPTS] ([KEY],[NAME],[DATA]) VALUES ( %u, '%s', '%s' )",
                                        {std::to_wstring(key), vb::QuoteForSql(name), vb::QuoteForSql(data)})
                                    .c_str(),
                                1));
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

    EXPECT_TRUE(other.Open(file_.ConnectionString().c_str()));
    EXPECT_EQ(file_.Path(), CDbConnection::DataSourceOf(L" data source = \"" + file_.Path() + L"\" ;x=y"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DbConnectionTest, SecondOpenLeavesTheFirstDatabase) {
    AddScript(0, L"#Global_Script", L"");
    TestDatabase second(L"Second.mdb");
    ASSERT_TRUE(db_.Execute(kScriptList, 0));
    ASSERT_TRUE(db_.Open(second.ConnectionString().c_str()));
    EXPECT_FALSE(db_.HasRowset());
    EXPECT_FALSE(db_.Execute(kScriptList, 0));  // no SCRIPTS table in the new file
    ASSERT_EQ(1u, boxes_.Boxes().size());
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
        {L"DELETE FROM [SCRIPTS] WHERE [KEY] = ?", 1, false, true},
        {L"SELECT [NAME] FROM [SCRIPTS];", 0, true, false},
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
    EXPECT_EQ(2, db_.GetColumnCount());
    EXPECT_EQ(L"NAME", db_.GetColumnName(1));
    EXPECT_EQ(L"KEY", db_.GetColumnName(2));
    EXPECT_EQ(L"", db_.GetColumnName(3));
    EXPECT_EQ(DBTYPE_EMPTY, db_.GetColumnType(3));
    std::vector<std::wstring> names;
    std::vector<long> keys;
    for (; Reading(db_); db_.MoveNext()) {
        names.push_back(db_.GetString(1));
        keys.push_back(db_.GetInt(2));
    }
    // Names sort without regard to case, as the desktop engine sorted them.
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script", L"Alpha", L"beta"}), names);
    EXPECT_EQ((std::vector<long>{0, 1, 2}), keys);
    db_.MoveNext();
    EXPECT_EQ(DB_S_ENDOFROWSET, db_.LastResult());

    db_.Close();
    EXPECT_FALSE(db_.HasRowset());
    EXPECT_EQ(0, db_.GetColumnCount());
    EXPECT_EQ(L"", db_.SqlText());
    EXPECT_TRUE(db_.IsOpen());
}

TEST_F(DbConnectionTest, ColumnsAreFoundByNumberOrName) {
    AddScript(4, L"Four", L"text");
    ASSERT_TRUE(db_.Execute(L"SELECT [NAME],[KEY],[DATA] FROM [SCRIPTS]", 0));
    auto value = [this](VARTYPE type, auto set) {
        VARIANT column;
        ::VariantInit(&column);
        V_VT(&column) = type;
        set(column);
        vb::Variant found = db_.GetValue(column);
        ::VariantClear(&column);
        return found.Type() == VT_EMPTY ? L"<empty>" : vb::ToText(*found.Get()).value_or(L"?");
    };
    LONG two = 2;
    EXPECT_EQ(L"4", value(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = ::SysAllocString(L"key"); }));
    EXPECT_EQ(L"Four", value(VT_I2, [](VARIANT& v) { V_I2(&v) = 1; }));
    EXPECT_EQ(L"4", value(VT_I4 | VT_BYREF, [&](VARIANT& v) { V_I4REF(&v) = &two; }));
    EXPECT_EQ(L"<empty>", value(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = ::SysAllocString(L"NO_SUCH_COLUMN"); }));
    EXPECT_EQ(L"<empty>", value(VT_R8, [](VARIANT& v) { V_R8(&v) = 1.0; }));
    EXPECT_EQ(VT_EMPTY, db_.GetValue(0).Type());
    EXPECT_EQ(VT_EMPTY, db_.GetValue(4).Type());
}

TEST_F(DbConnectionTest, ColumnTypesFollowTheDeclaredTypes) {
    AddScript(3, L"Three", L"abc");
    ASSERT_TRUE(db_.Execute(L"SELECT [NAME],[KEY],[DATA],[KEY] * 2 AS [TWICE] FROM [SCRIPTS]", 0));
    EXPECT_EQ(DBTYPE_WSTR, db_.GetColumnType(1));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(2));
    EXPECT_EQ(DBTYPE_IUNKNOWN, db_.GetColumnType(3));
    EXPECT_EQ(DBTYPE_I4, db_.GetColumnType(4));  // an expression: the type of its value
    // A long text reads as the bytes of its UTF-16 text; as a string it is the text again.
    vb::Variant data = db_.GetValue(3);
    ASSERT_EQ(VT_ARRAY | VT_UI1, data.Type());
    EXPECT_EQ(6u, V_ARRAY(data.Get())->rgsabound[0].cElements);
    EXPECT_EQ(L"abc", db_.GetString(3));
    EXPECT_EQ(0, db_.GetInt(3));
}

TEST_F(DbConnectionTest, LongTextRoundTripsWithQuotesBreaksAndNonAscii) {
    const std::wstring text = L"Sub Main()\r\n  Driver.Text 10, 20, \"It's \x00E9t\x00E9 \x4E2D\x6587 \x20AC\"\r\n"
                              L"' comment with ''quotes''\r\nEnd Sub\r\n\r\n";
    AddScript(9, L"O'Brien's test", text);
    ASSERT_TRUE(db_.Execute(L"SELECT [NAME],[DATA] FROM [SCRIPTS] WHERE [KEY] = 9", 0));
    ASSERT_EQ(S_OK, db_.LastResult());
    EXPECT_EQ(L"O'Brien's test", vb::TextFromDatabase(db_.GetString(1)));
    EXPECT_EQ(text, vb::TextFromDatabase(db_.GetString(2)));
    // The statement doubled the apostrophes and the database undid that; the breaks stay escaped.
    EXPECT_EQ(vb::ReplaceAll(text, L"\r\n", L"\\r\\n"), db_.GetString(2));
}

TEST_F(DbConnectionTest, LookupReplacesOnlyMappedValuesOfColumnThree) {
    AddScript(1, L"One", L"");
    AddScript(2, L"Two", L"");
    const wchar_t* sql = L"SELECT [NAME],[NAME],'' & [KEY] FROM [SCRIPTS] ORDER BY [KEY]";
    db_.SetColumnLookup({{L"1", L"One (1)"}, {L"One", L"never"}});
    ASSERT_TRUE(db_.Execute(sql, 0));
    EXPECT_EQ(L"One One One (1)", db_.GetString(1) + L" " + db_.GetString(2) + L" " + db_.GetString(3));
    db_.MoveNext();
    EXPECT_EQ(L"2", db_.GetString(3));

    // A new rowset keeps the lookup; a full close forgets it.
    ASSERT_TRUE(db_.Execute(sql, 0));
    EXPECT_EQ(L"One (1)", db_.GetString(3));
    db_.Close(TRUE);
    EXPECT_FALSE(db_.IsOpen());
    ASSERT_TRUE(db_.Open(file_.ConnectionString().c_str()));
    ASSERT_TRUE(db_.Execute(sql, 0));
    EXPECT_EQ(L"1", db_.GetString(3));
}

TEST_F(DbConnectionTest, ReadsOutsideARowsetAreEmpty) {
    CDbConnection closed;
    EXPECT_EQ(0, closed.GetColumnCount());
    EXPECT_EQ(L"", closed.GetColumnName(1));
    EXPECT_EQ(VT_EMPTY, closed.GetValue(1).Type());
    EXPECT_EQ(0, closed.GetInt(1));
    closed.MoveNext();
    EXPECT_EQ(DB_S_ENDOFROWSET, closed.LastResult());
    EXPECT_FALSE(closed.Execute(kScriptList, 1));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(BoxText(L"80004005", kScriptList), boxes_.Boxes()[0].text);
}

}  // namespace
