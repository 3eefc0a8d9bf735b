#include "DbRowset.h"

#include <cwctype>
#include <optional>

#include "DbErrors.h"
#include "SqlTokenizer.h"
#include "Strings.h"

namespace vb {

namespace {

// An updatable query reads the row id in front of its own columns. Only a plain SELECT over one
// table has a row behind each result row; anything that merges rows is refused.
std::optional<std::wstring> WithRowid(std::wstring_view sql) {
    auto tokens = TokenizeSql(sql);
    size_t select = NextSignificant(tokens, static_cast<size_t>(-1));
    if (select >= tokens.size() || !tokens[select].IsWord(L"SELECT")) return std::nullopt;
    for (const auto& token : tokens) {
        for (auto word : {L"DISTINCT", L"GROUP", L"UNION", L"INTERSECT", L"EXCEPT", L"JOIN", L"HAVING"}) {
            if (token.IsWord(word)) return std::nullopt;
        }
    }
    size_t offset = static_cast<size_t>(tokens[select].text.data() + tokens[select].text.size() - sql.data());
    std::wstring result(sql.substr(0, offset));
    result += L" rowid,";
    result += sql.substr(offset);
    return result;
}

std::wstring QuoteName(const std::wstring& name) { return L"\"" + ReplaceAll(name, L"\"", L"\"\"") + L"\""; }

std::wstring Text16(const void* text) { return text ? std::wstring(static_cast<const wchar_t*>(text)) : std::wstring(); }

bool OnlyBlanksOrSemicolons(const wchar_t* text, const wchar_t* end) {
    for (; text < end; ++text) {
        if (*text != L';' && !std::iswspace(*text)) return false;
    }
    return true;
}

}  // namespace

HRESULT CDbRowset::Fail(int code) {
    errorText_ = Text16(::sqlite3_errmsg16(database_));
    HRESULT result = HResultFromSqlite(code);
    return SUCCEEDED(result) ? E_FAIL : result;
}

HRESULT CDbRowset::Prepare(std::wstring_view sql) {
    sqlite3_stmt* statement = nullptr;
    const void* tail = nullptr;
    int code = ::sqlite3_prepare16_v2(database_, sql.data(), static_cast<int>(sql.size() * sizeof(wchar_t)),
                                      &statement, &tail);
    statement_.Reset(statement);
    if (code != SQLITE_OK) return Fail(code);
    if (!statement_) {
        errorText_ = L"The statement is empty.";
        return DB_E_ERRORSINCOMMAND;
    }
    // SQLite would quietly ignore a second statement; the desktop engine refused it, and so do we.
    if (tail && !OnlyBlanksOrSemicolons(static_cast<const wchar_t*>(tail), sql.data() + sql.size())) {
        errorText_ = L"Characters found after end of SQL statement.";
        return DB_E_ERRORSINCOMMAND;
    }
    if (static_cast<size_t>(::sqlite3_bind_parameter_count(statement_.Get())) != values_.size()) {
        errorText_ = L"No value given for one or more required parameters.";
        return DB_E_PARAMNOTOPTIONAL;
    }
    for (size_t i = 0; i < values_.size(); ++i) {
        code = values_[i].Bind(statement_.Get(), static_cast<int>(i) + 1);
        if (code != SQLITE_OK) return Fail(code);
    }
    return S_OK;
}

HRESULT CDbRowset::ReadColumns() {
    sqlite3_stmt* statement = statement_.Get();
    int count = ::sqlite3_column_count(statement);
    std::wstring table;
    for (int i = firstColumn_; i < count; ++i) {
        Column column;
        column.name = Text16(::sqlite3_column_name16(statement, i));
        column.type = ColumnTypeFromDeclared(static_cast<const wchar_t*>(::sqlite3_column_decltype16(statement, i)));
        if (updatable_) {
            column.table = Text16(::sqlite3_column_table_name16(statement, i));
            column.origin = Text16(::sqlite3_column_origin_name16(statement, i));
            if (!column.table.empty()) {
                if (!table.empty() && table != column.table) {
                    errorText_ = L"The query's columns come from more than one table: it cannot be updated.";
                    return DB_E_ERRORSOCCURRED;
                }
                table = column.table;
            }
        }
        columns_.push_back(std::move(column));
    }
    return S_OK;
}

HRESULT CDbRowset::StepInto(Row& row, bool& gotRow) {
    gotRow = false;
    int code = ::sqlite3_step(statement_.Get());
    if (code == SQLITE_DONE) return S_OK;
    if (code != SQLITE_ROW) return Fail(code);
    row.cells.clear();
    int count = ::sqlite3_column_count(statement_.Get());
    for (int i = firstColumn_; i < count; ++i) row.cells.push_back(DbCell::FromColumn(statement_.Get(), i));
    row.rowid = firstColumn_ ? ::sqlite3_column_int64(statement_.Get(), 0) : 0;
    gotRow = true;
    return S_OK;
}

HRESULT CDbRowset::Open(sqlite3* database, std::wstring_view sql, bool updatable, std::vector<DbCell> values) {
    database_ = database;
    values_ = std::move(values);
    updatable_ = false;
    firstColumn_ = 0;
    std::wstring text(sql);
    if (updatable) {
        auto withRowid = WithRowid(sql);
        if (!withRowid) {
            errorText_ = L"Only a plain SELECT from one table can be opened for update.";
            return DB_E_ERRORSOCCURRED;
        }
        text = std::move(*withRowid);
        updatable_ = true;
        firstColumn_ = 1;
    }
    HRESULT result = Prepare(text);
    if (FAILED(result)) return result;

    if (::sqlite3_column_count(statement_.Get()) == 0) {
        // CREATE, INSERT, UPDATE, DELETE: run now; SQLite undoes a statement that fails halfway.
        for (;;) {
            int code = ::sqlite3_step(statement_.Get());
            if (code == SQLITE_DONE) break;
            if (code != SQLITE_ROW) return Fail(code);
        }
        statement_.Reset();
        return S_OK;
    }
    result = ReadColumns();
    if (FAILED(result)) return result;

    bool gotRow = false;
    if (updatable_) {
        for (;;) {
            Row row;
            result = StepInto(row, gotRow);
            if (FAILED(result)) return result;
            if (!gotRow) break;
            rows_.push_back(std::move(row));
        }
        statement_.Reset();
        open_ = true;
        return ShowRow(0);
    }
    result = StepInto(row_, gotRow);
    if (FAILED(result)) return result;
    open_ = true;
    hasRow_ = gotRow;
    dirty_.assign(columns_.size(), false);
    if (!gotRow) statement_.Reset();
    return gotRow ? S_OK : kDbEndOfRowset;
}

HRESULT CDbRowset::ShowRow(size_t index) {
    position_ = index;
    hasRow_ = index < rows_.size();
    dirty_.assign(columns_.size(), false);
    if (!hasRow_) return kDbEndOfRowset;
    row_ = std::move(rows_[index]);
    return S_OK;
}

HRESULT CDbRowset::MoveNext() {
    if (!open_) return kDbEndOfRowset;
    if (updatable_) return ShowRow(hasRow_ ? position_ + 1 : rows_.size());
    hasRow_ = false;
    dirty_.assign(columns_.size(), false);
    if (!statement_) return kDbEndOfRowset;
    bool gotRow = false;
    if (FAILED(StepInto(row_, gotRow))) {
        // The callers' read loops stop on this code; any other failure would keep them reading.
        statement_.Reset();
        return kDbReadStopped;
    }
    hasRow_ = gotRow;
    if (!gotRow) statement_.Reset();
    return gotRow ? S_OK : kDbEndOfRowset;
}

DBTYPE CDbRowset::TypeAt(int index) const {
    const Column& column = ColumnAt(index);
    if (column.type != DBTYPE_VARIANT) return column.type;
    return hasRow_ ? VariantCellType(row_.cells[static_cast<size_t>(index)]) : DBTYPE{DBTYPE_EMPTY};
}

const DbCell* CDbRowset::CellAt(int index) const {
    return hasRow_ ? &row_.cells[static_cast<size_t>(index)] : nullptr;
}

bool CDbRowset::SetCell(int index, DbCell cell) {
    if (!hasRow_ || !IsUpdatable() || ColumnAt(index).origin.empty()) return false;
    row_.cells[static_cast<size_t>(index)] = std::move(cell);
    dirty_[static_cast<size_t>(index)] = true;
    return true;
}

HRESULT CDbRowset::WriteBack() {
    if (!IsUpdatable()) return DB_E_NOTSUPPORTED;
    if (!hasRow_) return DB_E_BADROWHANDLE;
    std::wstring sql;
    std::vector<size_t> changed;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!dirty_[i]) continue;
        sql += changed.empty() ? L"UPDATE " + QuoteName(columns_[i].table) + L" SET " : std::wstring(L", ");
        sql += QuoteName(columns_[i].origin) + L" = ?";
        changed.push_back(i);
    }
    if (changed.empty()) return S_OK;
    sql += L" WHERE rowid = ?";

    sqlite3_stmt* raw = nullptr;
    int code = ::sqlite3_prepare16_v2(database_, sql.c_str(), -1, &raw, nullptr);
    UniqueSqliteStatement update(raw);
    if (code != SQLITE_OK) return Fail(code);
    int parameter = 1;
    for (size_t i : changed) {
        code = row_.cells[i].Bind(update.Get(), parameter++);
        if (code != SQLITE_OK) return Fail(code);
    }
    ::sqlite3_bind_int64(update.Get(), parameter, row_.rowid);
    code = ::sqlite3_step(update.Get());
    if (code != SQLITE_DONE) return Fail(code);
    dirty_.assign(columns_.size(), false);
    return S_OK;
}

}  // namespace vb
