#include "StoreBench.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "DbConnection.h"
#include "JetSql.h"
#include "Stopwatch.h"
#include "Strings.h"

namespace {

constexpr int kItems = 10000;
constexpr size_t kItemSize = 4096;

const wchar_t* const kCreateOutput =
    L"CREATE TABLE [OUTPUT] ([NAME] VARCHAR(64) NOT NULL,[KEY] LONG NOT NULL,[KEY_SUB] VARCHAR(192) NOT "
    L"NULL,[REF_USER] VARCHAR(32),[REF_SYSTEM] VARCHAR(64),[REF_DRV_VERSION] VARCHAR(16),[REF_DATE] DATE,[REF_DATA] "
    L"MEMO,[REF_DURATION] LONG,[REF_GDI_OBJ] LONG,[REF_USR_OBJ] LONG,[REF_MEM_USAGE] LONG,[CMP_USER] "
    L"VARCHAR(32),[CMP_SYSTEM] VARCHAR(64),[CMP_DRV_VERSION] VARCHAR(16),[CMP_DATE] DATE,[CMP_DATA] "
    L"MEMO,[CMP_DURATION] LONG,[CMP_GDI_OBJ] LONG,[CMP_USR_OBJ] LONG,[CMP_MEM_USAGE] LONG,[SUCCESS] YESNO NOT NULL, "
    L"CONSTRAINT OUTPUT_INDEX PRIMARY KEY ([NAME], [KEY], [KEY_SUB]))";

// The item's Base64 text: 4 KB of the alphabet, different for every key.
std::wstring ItemText(int key) {
    std::wstring text(kItemSize, L'A');
    static const wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (size_t i = 0; i < kItemSize; ++i) text[i] = alphabet[(i * 31 + static_cast<size_t>(key)) % 64];
    return text;
}

std::wstring Key(int key) { return L" WHERE [NAME] = 'MODEL' AND [KEY] = " + std::to_wstring(key) + L" AND [KEY_SUB] = 'NOP'"; }

bool MakeDatabase(const std::wstring& path, CDbConnection& db) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return db.Open((L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + L";User Id=admin;Password=;").c_str()) &&
           db.Execute(kCreateOutput, 1);
}

// The results store's two steps: the row without its data, then the data written into it.
bool StoreThroughConnection(CDbConnection& db, int key) {
    std::wstring insert =
        L"INSERT INTO [OUTPUT] ([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],"
        L"[REF_GDI_OBJ],[REF_USR_OBJ],[REF_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( 'USER', 'Windows "
        L"(Win32), build 1', '1.0.0.1', '2024-05-06 07:08:09', '', 12, 0, 0, 0, 0, 'MODEL', " +
        std::to_wstring(key) + L", 'NOP')";
    if (!db.Execute(insert.c_str(), 1)) return false;
    if (!db.Execute((L"SELECT [REF_DATA] FROM [OUTPUT] " + Key(key)).c_str(), 0, TRUE)) return false;
    db.SetWriteEnabled(TRUE);
    vb::Variant column(1L);
    vb::Variant value(ItemText(key));
    bool ok = db.SetValue(*column.Get(), *value.Get()) && db.WriteBackRow() == S_OK;
    db.SetWriteEnabled(FALSE);
    db.Close();
    return ok;
}

bool ReadThroughConnection(CDbConnection& db, int key) {
    if (db.OpenRowset((L"SELECT [REF_DATA] FROM [OUTPUT]" + Key(key)).c_str()) != S_OK) return false;
    return db.GetString(1) == ItemText(key);
}

// The same rows with SQLite alone: one prepared INSERT carrying the data, one prepared SELECT.
bool StoreRaw(sqlite3_stmt* insert, int key) {
    std::string data = vb::ToUtf8(ItemText(key));
    ::sqlite3_bind_int(insert, 1, key);
    ::sqlite3_bind_text(insert, 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    bool ok = ::sqlite3_step(insert) == SQLITE_DONE;
    ::sqlite3_reset(insert);
    return ok;
}

bool ReadRaw(sqlite3_stmt* select, int key) {
    ::sqlite3_bind_int(select, 1, key);
    bool ok = ::sqlite3_step(select) == SQLITE_ROW &&
              vb::FromUtf8(reinterpret_cast<const char*>(::sqlite3_column_text(select, 0))) == ItemText(key);
    ::sqlite3_reset(select);
    return ok;
}

vb::UniqueSqliteStatement Prepare(sqlite3* db, const std::wstring& sql) {
    sqlite3_stmt* statement = nullptr;
    ::sqlite3_prepare16_v2(db, sql.c_str(), -1, &statement, nullptr);
    return vb::UniqueSqliteStatement(statement);
}

void Report(const char* what, double connection, double raw) {
    std::printf("  %-8s CDbConnection %8.0f ms (%6.1f us/item)   raw SQLite %8.0f ms (%6.1f us/item)   ratio %.2f\n",
                what, connection * 1000, connection * 1e6 / kItems, raw * 1000, raw * 1e6 / kItems, connection / raw);
}

}  // namespace

bool RunStoreBench(const std::wstring& folder) {
    std::printf("Store and read back %d items of %u bytes (one transaction per statement, as the store runs)\n",
                kItems, static_cast<unsigned>(kItemSize));
    CDbConnection db;
    CDbConnection rawSetup;
    if (!MakeDatabase(folder + L"store.mdb", db) || !MakeDatabase(folder + L"raw.mdb", rawSetup)) {
        std::printf("  cannot create the databases\n");
        return false;
    }
    rawSetup.Close(TRUE);
    sqlite3* raw = nullptr;
    ::sqlite3_open_v2(vb::ToUtf8(folder + L"raw.mdb").c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    vb::UniqueSqliteDatabase rawOwner(raw);
    auto insert = Prepare(raw, vb::TranslateJetSql(
        L"INSERT INTO [OUTPUT] ([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],"
        L"[REF_GDI_OBJ],[REF_USR_OBJ],[REF_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( 'USER', 'Windows "
        L"(Win32), build 1', '1.0.0.1', '2024-05-06 07:08:09', ?2, 12, 0, 0, 0, 0, 'MODEL', ?1, 'NOP')"));
    auto select = Prepare(raw, L"SELECT [REF_DATA] FROM [OUTPUT] WHERE [NAME] = 'MODEL' AND [KEY] = ?1 AND [KEY_SUB] = 'NOP'");
    if (!insert || !select) {
        std::printf("  cannot prepare the raw statements\n");
        return false;
    }

    bool ok = true;
    Stopwatch watch;
    for (int key = 0; key < kItems && ok; ++key) ok = StoreThroughConnection(db, key);
    double storeConnection = watch.Seconds();
    watch.Restart();
    for (int key = 0; key < kItems && ok; ++key) ok = StoreRaw(insert.Get(), key);
    double storeRaw = watch.Seconds();
    watch.Restart();
    for (int key = 0; key < kItems && ok; ++key) ok = ReadThroughConnection(db, key);
    double readConnection = watch.Seconds();
    watch.Restart();
    for (int key = 0; key < kItems && ok; ++key) ok = ReadRaw(select.Get(), key);
    double readRaw = watch.Seconds();
    db.Close(TRUE);

    Report("store", storeConnection, storeRaw);
    Report("read", readConnection, readRaw);
    Report("both", storeConnection + readConnection, storeRaw + readRaw);
    if (!ok) std::printf("  a stored item did not read back: %ls\n", db.LastErrorText().c_str());
    return ok;
}
