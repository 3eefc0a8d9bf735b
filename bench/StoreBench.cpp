#include "StoreBench.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "DbConnection.h"
#include "JetSql.h"
#include "Stopwatch.h"
#include "Strings.h"

namespace {

constexpr size_t kItemSize = 4096;

const wchar_t* const kCreateOutput =
    L"CREATE TABLE [OUTPUT] ([NAME] VARCHAR(64) NOT NULL,[KEY] LONG NOT NULL,[KEY_SUB] VARCHAR(192) NOT "
    L"NULL,[REF_USER] VARCHAR(32),[REF_SYSTEM] VARCHAR(64),[REF_DRV_VERSION] VARCHAR(16),[REF_DATE] DATE,[REF_DATA] "
    L"MEMO,[REF_DURATION] LONG,[REF_GDI_OBJ] LONG,[REF_USR_OBJ] LONG,[REF_MEM_USAGE] LONG,[CMP_USER] "
    L"VARCHAR(32),[CMP_SYSTEM] VARCHAR(64),[CMP_DRV_VERSION] VARCHAR(16),[CMP_DATE] DATE,[CMP_DATA] "
    L"MEMO,[CMP_DURATION] LONG,[CMP_GDI_OBJ] LONG,[CMP_USR_OBJ] LONG,[CMP_MEM_USAGE] LONG,[SUCCESS] YESNO NOT NULL, "
    L"CONSTRAINT OUTPUT_INDEX PRIMARY KEY ([NAME], [KEY], [KEY_SUB]))";

// The results store's INSERT; `key` and `data` are SQL: literals or parameters.
std::wstring InsertSql(const std::wstring& key, const std::wstring& data) {
    return L"INSERT INTO [OUTPUT] ([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],"
           L"[REF_GDI_OBJ],[REF_USR_OBJ],[REF_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( 'USER', 'Windows "
           L"(Win32), build 1', '1.0.0.1', '2024-05-06 07:08:09', " +
           data + L", 12, 0, 0, 0, 0, 'MODEL', " + key + L", 'NOP')";
}

std::wstring Where(const std::wstring& key) {
    return L" WHERE [NAME] = 'MODEL' AND [KEY] = " + key + L" AND [KEY_SUB] = 'NOP'";
}

// The item's Base64 text: 4 KB of the alphabet, different for every key.
std::wstring ItemText(int key) {
    std::wstring text(kItemSize, L'A');
    static const wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (size_t i = 0; i < kItemSize; ++i) text[i] = alphabet[(i * 31 + static_cast<size_t>(key)) % 64];
    return text;
}

bool MakeDatabase(const std::wstring& path, CDbConnection& db) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return db.Open((L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + L";User Id=admin;Password=;").c_str()) &&
           db.Execute(kCreateOutput, 1);
}

// The results store's write: the row with its data bound to the statement.
bool StoreThroughConnection(CDbConnection& db, int key) {
    return db.Execute(InsertSql(std::to_wstring(key), L"?").c_str(), 1, FALSE,
                      {vb::DbCell::Utf8Text(vb::ToUtf8(ItemText(key)))});
}

bool ReadThroughConnection(CDbConnection& db, int key) {
    if (db.OpenRowset((L"SELECT [REF_DATA] FROM [OUTPUT]" + Where(std::to_wstring(key))).c_str()) != S_OK) return false;
    return db.GetString(1) == ItemText(key);
}

// A handle opened as the connection opens its own, with the statements prepared once.
struct RawStore {
    vb::UniqueSqliteDatabase db;
    vb::UniqueSqliteStatement insertWithData, select;
};

vb::UniqueSqliteStatement Prepare(sqlite3* db, const std::wstring& sql) {
    sqlite3_stmt* statement = nullptr;
    ::sqlite3_prepare16_v2(db, vb::TranslateJetSql(sql).c_str(), -1, &statement, nullptr);
    return vb::UniqueSqliteStatement(statement);
}

bool OpenRaw(const std::wstring& path, RawStore& raw) {
    std::wstring error;
    raw.db = CDbConnection::OpenDatabase(path, error);
    if (!raw.db) return false;
    raw.insertWithData = Prepare(raw.db.Get(), InsertSql(L"?1", L"?2"));
    raw.select = Prepare(raw.db.Get(), L"SELECT [REF_DATA] FROM [OUTPUT]" + Where(L"?1"));
    return raw.insertWithData && raw.select;
}

// Runs a prepared write with the key and the item's text.
bool RunWrite(sqlite3_stmt* statement, int key, std::string_view data) {
    ::sqlite3_bind_int(statement, 1, key);
    ::sqlite3_bind_text(statement, 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    bool ok = ::sqlite3_step(statement) == SQLITE_DONE && ::sqlite3_changes(::sqlite3_db_handle(statement)) == 1;
    ::sqlite3_reset(statement);
    return ok;
}

bool ReadRaw(sqlite3_stmt* select, int key) {
    ::sqlite3_bind_int(select, 1, key);
    bool ok = ::sqlite3_step(select) == SQLITE_ROW &&
              vb::FromUtf8(reinterpret_cast<const char*>(::sqlite3_column_text(select, 0))) == ItemText(key);
    ::sqlite3_reset(select);
    return ok;
}

// Runs `work` and adds the time it took to `total`.
template <class Work>
bool Timed(double& total, Work work) {
    Stopwatch watch;
    bool ok = work();
    total += watch.Seconds();
    return ok;
}

void Report(const char* what, int items, double connection, double raw) {
    std::printf("  %-8s CDbConnection %8.0f ms (%6.1f us/item)   raw SQLite %8.0f ms (%6.1f us/item)   ratio %.2f\n",
                what, connection * 1000, connection * 1e6 / items, raw * 1000, raw * 1e6 / items, connection / raw);
}

}  // namespace

bool RunStoreBench(const std::wstring& folder, int items) {
    std::printf("Store and read back %d items of %u bytes (one transaction per write, as the store runs)\n", items,
                static_cast<unsigned>(kItemSize));
    CDbConnection db;
    CDbConnection rawSetup;
    if (!MakeDatabase(folder + L"store.mdb", db) || !MakeDatabase(folder + L"raw.mdb", rawSetup)) {
        std::printf("  cannot create the databases\n");
        return false;
    }
    rawSetup.Close(TRUE);
    RawStore raw;
    if (!OpenRaw(folder + L"raw.mdb", raw)) {
        std::printf("  cannot prepare the raw statements\n");
        return false;
    }

    // The paths take turns item by item, so that each meets the same disk and the same load from
    // the rest of the machine.
    double storeConnection = 0, storeRaw = 0, readConnection = 0, readRaw = 0;
    bool ok = true;
    for (int key = 0; key < items && ok; ++key) {
        ok = Timed(storeConnection, [&] { return StoreThroughConnection(db, key); }) &&
             Timed(storeRaw, [&] { return RunWrite(raw.insertWithData.Get(), key, vb::ToUtf8(ItemText(key))); });
    }
    for (int key = 0; key < items && ok; ++key) {
        ok = Timed(readConnection, [&] { return ReadThroughConnection(db, key); }) &&
             Timed(readRaw, [&] { return ReadRaw(raw.select.Get(), key); });
    }
    db.Close(TRUE);

    // Like for like: raw SQLite makes the connection's one write (the row with its data bound),
    // its own transaction, with a statement prepared once.
    Report("store", items, storeConnection, storeRaw);
    Report("read", items, readConnection, readRaw);
    Report("both", items, storeConnection + readConnection, storeRaw + readRaw);
    if (!ok) std::printf("  a write failed or an item did not read back: %ls\n", db.LastErrorText().c_str());
    return ok;
}
