#pragma once
#include <windows.h>
#include <oledb.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DbErrors.h"
#include "DbRowset.h"
#include "SqliteHandles.h"
#include "Variant.h"

// One open database: the connection, the last statement and its rowset. The statements are
// written in the desktop database's dialect; the connection translates them for SQLite before
// preparing them. Used on one thread only.
class CDbConnection {
public:
    CDbConnection();
    ~CDbConnection();
    CDbConnection(const CDbConnection&) = delete;
    CDbConnection& operator=(const CDbConnection&) = delete;

    // Opens the file named by "Data Source=" of the connection string; the file must exist and
    // be a database. Releases a connection already held, whatever the outcome.
    BOOL Open(LPCWSTR connectionString);
    // Closes the rowset; with `full` also forgets the column lookups and closes the database.
    void Close(BOOL full = FALSE);

    // Runs one statement, with `values` bound to its parameter markers ("?") in turn: a long
    // text goes in as it is instead of being spelled out in the statement. A query leaves its
    // rowset on the first row (last result S_OK) or at the end (kDbEndOfRowset); other
    // statements run to their end and leave no rowset.
    HRESULT OpenRowset(LPCWSTR sql, BOOL updatable = FALSE, std::vector<vb::DbCell> values = {});
    // OpenRowset, and a box when it failed: mode 1 wants success, mode 0 an open rowset, any
    // other mode accepts everything.
    BOOL Execute(LPCWSTR sql, int mode = 0, BOOL updatable = FALSE, std::vector<vb::DbCell> values = {});
    void MoveNext();

    // Columns are numbered from 1.
    int GetColumnCount() const;
    std::wstring GetColumnName(int column) const;
    DBTYPE GetColumnType(int column) const;
    // `column` is a number or a name (possibly by reference); VT_EMPTY outside a row.
    vb::Variant GetValue(const VARIANT& column) const;
    vb::Variant GetValue(int column) const;
    long GetInt(int column) const;
    std::wstring GetString(int column) const;

    // Changes a value of the current row of an updatable rowset while writes are enabled;
    // WriteBackRow then writes the row in one statement.
    BOOL SetValue(const VARIANT& column, const VARIANT& value);
    HRESULT WriteBackRow();
    void SetWriteEnabled(BOOL enabled) noexcept { writeEnabled_ = enabled; }
    BOOL IsWriteEnabled() const noexcept { return writeEnabled_; }

    // Several statements as one write: none of them stays unless all are committed. Used
    // through CDbTransaction, which rolls back whatever was not committed.
    BOOL BeginTransaction();
    BOOL CommitTransaction();
    void RollbackTransaction();
    // False again once SQLite ended a transaction by itself after a failure (a full disk, a
    // trigger's RAISE(ROLLBACK)): statements run after that would each be committed alone.
    bool InTransaction() const noexcept { return database_ && !::sqlite3_get_autocommit(database_.Get()); }

    // Display texts for the values of column 3 (the script column of the result list).
    void SetColumnLookup(const std::map<std::wstring, std::wstring>& source);
    void FreeColumnLookups();

    BOOL IsOpen() const noexcept { return static_cast<bool>(database_); }
    bool HasRowset() const noexcept { return static_cast<bool>(rowset_); }
    bool IsUpdatable() const noexcept { return rowset_ && rowset_->IsUpdatable(); }
    HRESULT LastResult() const noexcept { return lastResult_; }
    const std::wstring& SqlText() const noexcept { return sql_; }
    const std::wstring& ConnectionString() const noexcept { return connectionString_; }
    // SQLite's own words for the last failure, for logs; the boxes keep their fixed text.
    const std::wstring& LastErrorText() const noexcept { return errorText_; }

    // The value of "Data Source" in a connection string; empty when there is none.
    static std::wstring DataSourceOf(std::wstring_view connectionString);

    // Opens an existing database file as every connection does (open flags, busy timeout,
    // journal and sync settings) and reads its schema; empty, with `error` set, on failure.
    // Public so that a raw handle can be measured against the connection on equal terms.
    static vb::UniqueSqliteDatabase OpenDatabase(const std::wstring& path, std::wstring& error);

    static constexpr int kBusyTimeoutMs = 1000;

private:
    int ResolveColumn(const VARIANT& column) const;

    BOOL writeEnabled_ = FALSE;
    std::wstring sql_;
    std::wstring connectionString_;
    HRESULT lastResult_ = vb::kDbEndOfRowset;
    vb::UniqueSqliteDatabase database_;
    std::map<int, std::map<std::wstring, std::wstring>> lookups_;
    std::unique_ptr<vb::CDbRowset> rowset_;
    std::wstring errorText_;
    bool comInitialized_ = false;
};
