#pragma once
#include <windows.h>
#include <oledb.h>

#include <string>
#include <string_view>
#include <vector>

#include "DbCell.h"
#include "SqliteHandles.h"

namespace vb {

// The result of one statement: its columns and the current row. A read-only rowset steps the
// statement as it is read; an updatable one is read whole when it opens, so that writing a row
// back is a statement of its own that commits at once instead of waiting for the read to end.
class CDbRowset {
public:
    struct Column {
        std::wstring name;
        DBTYPE type = DBTYPE_EMPTY;
        std::wstring table;   // where an updatable column's values come from; empty for expressions
        std::wstring origin;  // the column's name in that table
    };

    CDbRowset() = default;
    CDbRowset(const CDbRowset&) = delete;
    CDbRowset& operator=(const CDbRowset&) = delete;

    // Prepares `sql` (already in SQLite's dialect) with `values` bound to its parameter markers
    // in turn, and moves to the first row: S_OK on a row, kDbEndOfRowset when there is none, a
    // failure code otherwise. A statement without result columns runs to its end and leaves no
    // rowset open.
    HRESULT Open(sqlite3* database, std::wstring_view sql, bool updatable, std::vector<DbCell> values = {});
    // S_OK on the next row, kDbEndOfRowset at the end, kDbReadStopped when the read failed.
    HRESULT MoveNext();

    bool IsOpen() const noexcept { return open_; }
    bool IsUpdatable() const noexcept { return open_ && updatable_; }
    bool HasRow() const noexcept { return hasRow_; }
    int ColumnCount() const noexcept { return static_cast<int>(columns_.size()); }
    const Column& ColumnAt(int index) const { return columns_[static_cast<size_t>(index)]; }
    // The type of the column; for a variant column the type of the value in the current row.
    DBTYPE TypeAt(int index) const;
    const DbCell* CellAt(int index) const;

    // Changes a value of the current row in memory; false for a column that has no table
    // column behind it or without a current row.
    bool SetCell(int index, DbCell cell);
    // Writes the changed values of the current row with one UPDATE by row id, so the row is
    // written whole or not at all.
    HRESULT WriteBack();

    const std::wstring& ErrorText() const noexcept { return errorText_; }

private:
    struct Row {
        sqlite3_int64 rowid = 0;
        std::vector<DbCell> cells;
    };

    HRESULT Fail(int code);
    HRESULT Prepare(std::wstring_view sql);
    HRESULT ReadColumns();
    HRESULT StepInto(Row& row, bool& gotRow);
    HRESULT ShowRow(size_t index);

    sqlite3* database_ = nullptr;
    std::vector<DbCell> values_;  // bound as they are: they live as long as the statement
    UniqueSqliteStatement statement_;
    std::vector<Column> columns_;
    bool open_ = false;
    bool updatable_ = false;
    bool hasRow_ = false;
    int firstColumn_ = 0;  // 1 when the statement carries the row id in front
    Row row_;
    std::vector<bool> dirty_;
    std::vector<Row> rows_;  // updatable rowsets only
    size_t position_ = 0;
    std::wstring errorText_;
};

}  // namespace vb
