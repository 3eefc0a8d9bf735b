#include "DbConnection.h"

#include <objbase.h>

#include "DbCell.h"
#include "JetSql.h"
#include "Strings.h"

using namespace vb;

namespace {

constexpr int kLookupColumn = 3;

std::wstring ErrorMessage(sqlite3* database) {
    auto text = static_cast<const wchar_t*>(::sqlite3_errmsg16(database));
    return text ? text : L"";
}

}  // namespace

CDbConnection::CDbConnection() { comInitialized_ = SUCCEEDED(::CoInitialize(nullptr)); }

CDbConnection::~CDbConnection() {
    Close(TRUE);
    if (comInitialized_) ::CoUninitialize();
}

std::wstring CDbConnection::DataSourceOf(std::wstring_view connectionString) {
    size_t start = 0;
    while (start <= connectionString.size()) {
        size_t end = connectionString.find(L';', start);
        if (end == std::wstring_view::npos) end = connectionString.size();
        std::wstring_view part = connectionString.substr(start, end - start);
        size_t equals = part.find(L'=');
        if (equals != std::wstring_view::npos && EqualsNoCase(Trim(part.substr(0, equals)), L"Data Source")) {
            std::wstring value = Trim(part.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
        start = end + 1;
    }
    return {};
}

UniqueSqliteDatabase CDbConnection::OpenDatabase(const std::wstring& path, std::wstring& error) {
    sqlite3* raw = nullptr;
    int code = ::sqlite3_open_v2(ToUtf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    UniqueSqliteDatabase database(raw);
    if (code != SQLITE_OK) {
        error = raw ? ErrorMessage(raw) : L"out of memory";
        return {};
    }
    ::sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // Every write is its own transaction; truncating the journal at each commit instead of
    // deleting it keeps the same atomicity at a fraction of the file system's cost. Synchronous
    // FULL is SQLite's default, spelled out: with a rollback journal it is what keeps a committed
    // row through a power cut.
    ::sqlite3_exec(raw, "PRAGMA journal_mode=TRUNCATE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    // SQLite reads the file only when a statement needs it; read the schema now so a file that
    // is no database (or is locked) fails here rather than at the first statement.
    code = ::sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        error = ErrorMessage(raw);
        return {};
    }
    return database;
}

BOOL CDbConnection::Open(LPCWSTR connectionString) {
    rowset_.reset();
    database_.Reset();
    lastResult_ = kDbEndOfRowset;
    sql_.clear();
    if (!connectionString || !*connectionString) return FALSE;
    std::wstring path = DataSourceOf(connectionString);
    // SQLite reads an empty name as "a new temporary database", which is never what is meant.
    if (path.empty()) {
        errorText_ = L"The connection string names no data source.";
        return FALSE;
    }
    database_ = OpenDatabase(path, errorText_);
    if (!database_) return FALSE;
    connectionString_ = connectionString;
    return TRUE;
}

void CDbConnection::Close(BOOL full) {
    rowset_.reset();
    lastResult_ = kDbEndOfRowset;
    sql_.clear();
    if (full) {
        FreeColumnLookups();
        database_.Reset();
    }
}

HRESULT CDbConnection::OpenRowset(LPCWSTR sql, BOOL updatable, std::vector<DbCell> values) {
    if (!sql || !*sql || !database_) return E_FAIL;
    Close(FALSE);
    auto rowset = std::make_unique<CDbRowset>();
    HRESULT result = rowset->Open(database_.Get(), TranslateJetSql(sql), updatable != FALSE, std::move(values));
    if (FAILED(result)) {
        errorText_ = rowset->ErrorText();
        return result;
    }
    sql_ = sql;
    lastResult_ = result;
    if (rowset->IsOpen()) rowset_ = std::move(rowset);
    return S_OK;
}

BOOL CDbConnection::Execute(LPCWSTR sql, int mode, BOOL updatable, std::vector<DbCell> values) {
    if (!sql || !*sql) return FALSE;
    HRESULT result = OpenRowset(sql, updatable, std::move(values));
    bool success = mode == 1 ? SUCCEEDED(result) : mode == 0 ? HasRowset() : true;
    if (success) return TRUE;
    ShowSqlFailure(result, sql);
    return FALSE;
}

void CDbConnection::MoveNext() {
    if (!rowset_) return;
    lastResult_ = rowset_->MoveNext();
    if (lastResult_ == kDbReadStopped) errorText_ = rowset_->ErrorText();
}

int CDbConnection::GetColumnCount() const { return rowset_ ? rowset_->ColumnCount() : 0; }

std::wstring CDbConnection::GetColumnName(int column) const {
    if (column < 1 || column > GetColumnCount()) return {};
    return rowset_->ColumnAt(column - 1).name;
}

DBTYPE CDbConnection::GetColumnType(int column) const {
    if (column < 1 || column > GetColumnCount()) return DBTYPE_EMPTY;
    return rowset_->TypeAt(column - 1);
}

int CDbConnection::ResolveColumn(const VARIANT& column) const {
    const VARIANT* v = &column;
    if (V_VT(v) == (VT_VARIANT | VT_BYREF)) {
        if (!V_VARIANTREF(v)) return 0;
        v = V_VARIANTREF(v);
    }
    long number = 0;
    switch (V_VT(v)) {
        case VT_I2: number = V_I2(v); break;
        case VT_UI2: number = V_UI2(v); break;
        case VT_I4: number = V_I4(v); break;
        case VT_UI4: number = V_UI4(v) > 0x7FFFFFFFu ? 0 : static_cast<long>(V_UI4(v)); break;
        case VT_I2 | VT_BYREF: number = V_I2REF(v) ? *V_I2REF(v) : 0; break;
        case VT_UI2 | VT_BYREF: number = V_UI2REF(v) ? *V_UI2REF(v) : 0; break;
        case VT_I4 | VT_BYREF: number = V_I4REF(v) ? *V_I4REF(v) : 0; break;
        case VT_UI4 | VT_BYREF:
            number = V_UI4REF(v) && *V_UI4REF(v) <= 0x7FFFFFFFu ? static_cast<long>(*V_UI4REF(v)) : 0;
            break;
        case VT_BSTR: {
            std::wstring_view name(V_BSTR(v) ? V_BSTR(v) : L"", ::SysStringLen(V_BSTR(v)));
            for (int i = 1; i <= GetColumnCount(); ++i) {
                if (EqualsNoCase(GetColumnName(i), name)) return i;
            }
            return 0;
        }
        default:
            return 0;
    }
    return number >= 1 && number <= GetColumnCount() ? static_cast<int>(number) : 0;
}

Variant CDbConnection::GetValue(const VARIANT& column) const {
    if (FAILED(lastResult_) || !rowset_) return Variant();
    int number = ResolveColumn(column);
    const DbCell* cell = number ? rowset_->CellAt(number - 1) : nullptr;
    if (!cell) return Variant();
    Variant value = CellToVariant(*cell, rowset_->ColumnAt(number - 1).type);
    auto lookup = lookups_.find(number);
    if (lookup != lookups_.end()) {
        if (auto text = VariantToText(*value.Get())) {
            auto found = lookup->second.find(*text);
            if (found != lookup->second.end()) return Variant(found->second);
        }
    }
    return value;
}

Variant CDbConnection::GetValue(int column) const { return GetValue(*Variant(static_cast<long>(column)).Get()); }

long CDbConnection::GetInt(int column) const { return ToLong(*GetValue(column).Get()).value_or(0); }

std::wstring CDbConnection::GetString(int column) const {
    // A text column's text as it is: through a VARIANT a long text (a byte array) is copied
    // several times over.
    if (!FAILED(lastResult_) && rowset_ && column >= 1 && column <= GetColumnCount() && !lookups_.count(column)) {
        const DbCell* cell = rowset_->CellAt(column - 1);
        const DBTYPE type = rowset_->ColumnAt(column - 1).type;
        if (cell && cell->storage == SQLITE_TEXT &&
            (type == DBTYPE_WSTR || type == DBTYPE_IUNKNOWN || type == DBTYPE_VARIANT)) {
            return cell->text;
        }
    }
    return VariantToText(*GetValue(column).Get()).value_or(std::wstring());
}

BOOL CDbConnection::SetValue(const VARIANT& column, const VARIANT& value) {
    if (FAILED(lastResult_) || !writeEnabled_ || !rowset_) return FALSE;
    int number = ResolveColumn(column);
    if (!number) return FALSE;
    auto cell = VariantToCell(value, rowset_->ColumnAt(number - 1).type);
    // A value that does not fit the column is refused rather than reported as written.
    if (!cell) return FALSE;
    return rowset_->SetCell(number - 1, std::move(*cell));
}

HRESULT CDbConnection::WriteBackRow() {
    if (!rowset_) return E_FAIL;
    lastResult_ = rowset_->WriteBack();
    if (FAILED(lastResult_)) errorText_ = rowset_->ErrorText();
    return lastResult_;
}

void CDbConnection::SetColumnLookup(const std::map<std::wstring, std::wstring>& source) {
    lookups_[kLookupColumn] = source;
}

void CDbConnection::FreeColumnLookups() { lookups_.clear(); }

namespace {

BOOL RunPlain(sqlite3* database, const char* sql, std::wstring& error) {
    if (!database) return FALSE;
    if (::sqlite3_exec(database, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return TRUE;
    error = ErrorMessage(database);
    return FALSE;
}

}  // namespace

// IMMEDIATE takes the write lock at once, so a locked file fails here and not halfway through.
BOOL CDbConnection::BeginTransaction() { return RunPlain(database_.Get(), "BEGIN IMMEDIATE", errorText_); }

BOOL CDbConnection::CommitTransaction() { return RunPlain(database_.Get(), "COMMIT", errorText_); }

void CDbConnection::RollbackTransaction() {
    if (database_ && !::sqlite3_get_autocommit(database_.Get())) {
        ::sqlite3_exec(database_.Get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}
