// Writing through the connection: updatable rowsets and their write-back, and what a failed
// write leaves behind.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>

#include "DbConnection.h"
#include "DbTransaction.h"
#include "Resources.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "TestDatabase.h"

namespace {

using vb::test::TestDatabase;

const wchar_t* const kInsertRow =
    L"INSERT INTO [OUTPUT] ([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],"
    L"[REF_GDI_OBJ],[REF_USR_OBJ],[REF_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( 'U', 'S', '1.0', "
    L"'2024-01-02 03:04:05', '', 5, 0, 0, 0, 0, 'MODEL', 1, 'NOP')";
const wchar_t* const kSelectData = L"SELECT [REF_DATA] FROM [OUTPUT]  WHERE [NAME] = 'MODEL' AND [KEY] = 1 AND [KEY_SUB] = 'NOP'";

vb::Variant Column(long number) { return vb::Variant(number); }

class DbWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vb::test::CreateProgramTables(db_, file_));
        ASSERT_TRUE(db_.Execute(kInsertRow, 1));
    }

    // The store's write: select the data column updatable, set it, write the row back.
    HRESULT StoreData(const vb::Variant& value) {
        if (!db_.Execute(kSelectData, 0, TRUE) || !db_.IsUpdatable()) return E_FAIL;
        db_.SetWriteEnabled(TRUE);
        BOOL set = db_.SetValue(*Column(1).Get(), *value.Get());
        HRESULT result = set ? db_.WriteBackRow() : E_INVALIDARG;
        db_.SetWriteEnabled(FALSE);
        db_.Close();
        return result;
    }

    std::wstring StoredData() {
        if (db_.OpenRowset(kSelectData) != S_OK) return L"<no rowset>";
        return db_.GetString(1);
    }

    TestDatabase file_;
    CDbConnection db_;
    vb::MessageBoxCapture boxes_;
};

vb::Variant Bytes(const std::string& data) {
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(data.size()));
    std::memcpy(array->pvData, data.data(), data.size());
    vb::Variant bytes;
    V_VT(bytes.Put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(bytes.Get()) = array;
    return bytes;
}

// A text lands as it is; a byte array as the bytes of a UTF-16 text, and bytes that are no
// valid UTF-16 (unpaired surrogates, odd or even counts) come back unchanged.
TEST_F(DbWriteTest, TextsAndByteArraysComeBackAsWritten) {
    std::wstring text(300000, L'A');
    text += L"+/=\x00E9";
    ASSERT_EQ(S_OK, StoreData(vb::Variant(text)));
    EXPECT_EQ(text, StoredData());
    const wchar_t wide[] = L"Ab\x4E2D";
    ASSERT_EQ(S_OK, StoreData(Bytes(std::string(reinterpret_cast<const char*>(wide), 6))));
    EXPECT_EQ(L"Ab\x4E2D", StoredData());

    std::string data;
    unsigned seed = 12345;
    for (int i = 0; i < 4096; ++i) data += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    data += std::string("\x00\xD8\x41\x00\x00\xDC\x00\xD8", 8);
    for (size_t size : {data.size(), data.size() - 1, size_t{2}}) {
        std::string sent = data.substr(data.size() - size);
        ASSERT_EQ(S_OK, StoreData(Bytes(sent)));
        ASSERT_EQ(S_OK, db_.OpenRowset(kSelectData));
        vb::Variant read = db_.GetValue(1);
        ASSERT_EQ(VT_ARRAY | VT_UI1, read.Type());
        SAFEARRAY* array = V_ARRAY(read.Get());
        ASSERT_EQ(sent.size(), array->rgsabound[0].cElements);
        EXPECT_EQ(0, std::memcmp(sent.data(), array->pvData, sent.size())) << size << " bytes";
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DbWriteTest, SetValueIsRefusedUntilWritesAreEnabledOnAnUpdatableRow) {
    vb::Variant value(std::wstring(L"x"));
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *value.Get()));  // no rowset
    ASSERT_TRUE(db_.Execute(kSelectData, 0, TRUE));
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *value.Get()));  // writes not enabled
    db_.SetWriteEnabled(TRUE);
    EXPECT_FALSE(db_.SetValue(*Column(2).Get(), *value.Get()));  // no such column
    EXPECT_TRUE(db_.SetValue(*Column(1).Get(), *value.Get()));
    EXPECT_EQ(L"x", db_.GetString(1));  // the row shows the new value before it is written

    ASSERT_TRUE(db_.Execute(kSelectData, 0, FALSE));
    EXPECT_FALSE(db_.IsUpdatable());
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *value.Get()));
    EXPECT_EQ(L"", db_.GetString(1));  // nothing was written by the first rowset

    ASSERT_TRUE(db_.Execute(L"SELECT [KEY] + 1 AS [NEXT] FROM [OUTPUT]", 0, TRUE));
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *Column(5).Get()));  // an expression has no column behind it
}

TEST_F(DbWriteTest, ValuesAreChangedToTheColumnsType) {
    ASSERT_TRUE(db_.Execute(L"SELECT [REF_DURATION],[SUCCESS],[REF_DATE] FROM [OUTPUT]", 0, TRUE));
    db_.SetWriteEnabled(TRUE);
    EXPECT_TRUE(db_.SetValue(*Column(1).Get(), *vb::Variant(std::wstring(L"42")).Get()));
    EXPECT_TRUE(db_.SetValue(*Column(2).Get(), *vb::Variant::Bool(true).Get()));
    EXPECT_FALSE(db_.SetValue(*Column(1).Get(), *vb::Variant(std::wstring(L"forty-two")).Get()));
    SYSTEMTIME time{2025, 12, 0, 31, 23, 59, 58, 0};
    vb::Variant date;
    V_VT(date.Put()) = VT_DATE;
    ASSERT_TRUE(::SystemTimeToVariantTime(&time, &V_DATE(date.Get())));
    EXPECT_TRUE(db_.SetValue(*Column(3).Get(), *date.Get()));
    ASSERT_EQ(S_OK, db_.WriteBackRow());
    db_.SetWriteEnabled(FALSE);

    ASSERT_TRUE(db_.Execute(L"SELECT [REF_DURATION],[SUCCESS],'' & [REF_DATE] FROM [OUTPUT]", 0));
    EXPECT_EQ(42, db_.GetInt(1));
    EXPECT_EQ(-1, db_.GetInt(2));
    EXPECT_EQ(L"2025-12-31 23:59:58", db_.GetString(3));
}

TEST_F(DbWriteTest, FailedWriteBackLeavesTheRowAsItWas) {
    ASSERT_TRUE(db_.Execute(L"SELECT [REF_USER],[REF_DURATION] FROM [OUTPUT]", 0, TRUE));
    db_.SetWriteEnabled(TRUE);
    ASSERT_TRUE(db_.SetValue(*Column(2).Get(), *Column(99).Get()));
    ASSERT_TRUE(db_.SetValue(*Column(1).Get(), *vb::Variant(std::wstring(40, L'u')).Get()));  // wider than 32
    EXPECT_TRUE(FAILED(db_.WriteBackRow()));
    EXPECT_TRUE(FAILED(db_.LastResult()));
    EXPECT_FALSE(db_.LastErrorText().empty());
    db_.SetWriteEnabled(FALSE);

    ASSERT_TRUE(db_.Execute(L"SELECT [REF_USER],[REF_DURATION] FROM [OUTPUT]", 0));
    EXPECT_EQ(L"U", db_.GetString(1));
    EXPECT_EQ(5, db_.GetInt(2));
}

TEST_F(DbWriteTest, StatementFailingHalfwayWritesNothing) {
    ASSERT_TRUE(db_.Execute(L"INSERT INTO [SCRIPTS] VALUES (1, 'a', ''), (2, 'b', ''), (3, 'a long name', '')", 1));
    // The third row's name does not fit DRIVER_FAMILIES.KEY: the two before it must not stay.
    EXPECT_FALSE(db_.Execute(
        L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) SELECT [NAME], [NAME] FROM [SCRIPTS] ORDER BY [KEY]", 1));
    EXPECT_EQ(1u, boxes_.Boxes().size());
    ASSERT_TRUE(db_.Execute(L"SELECT COUNT(*) FROM [DRIVER_FAMILIES]", 0));
    EXPECT_EQ(0, db_.GetInt(1));
}

TEST_F(DbWriteTest, ReadOnlyFileIsReadButNotWritten) {
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

TEST_F(DbWriteTest, LockedFileFailsTheWriteAndKeepsTheData) {
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
TEST_F(DbWriteTest, TransactionKeepsAllOrNothing) {
    {
        CDbTransaction transaction(db_);
        ASSERT_TRUE(transaction.IsActive());
        ASSERT_TRUE(db_.Execute(L"DELETE * FROM [OUTPUT]", 1));
    }
    EXPECT_EQ(L"", StoredData());  // the row is still there, with its empty data
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

}  // namespace
