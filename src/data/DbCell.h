#pragma once
#include <windows.h>
#include <oledb.h>
#include <sqlite3.h>

#include <optional>
#include <string>

#include "Variant.h"

namespace vb {

// One value of a result row as SQLite holds it, kept apart from the statement so a row stays
// readable after the statement has moved on.
struct DbCell {
    int storage = SQLITE_NULL;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
    sqlite3_int64 integer = 0;
    double real = 0;
    std::wstring text;
    std::string bytes;  // a blob's bytes, or the text of a value made by Utf8Text
    bool utf8 = false;  // the text is in `bytes`, as UTF-8

    static DbCell FromColumn(sqlite3_stmt* statement, int index);
    // A text to bind, already in the database's own encoding: it goes in without a conversion.
    static DbCell Utf8Text(std::string text);
    int Bind(sqlite3_stmt* statement, int index) const;
};

// The type a column is reported with, from the type it was declared with. Columns without a
// declared type (expressions) are variants: their type is that of the value they hold.
DBTYPE ColumnTypeFromDeclared(const wchar_t* declared);
DBTYPE VariantCellType(const DbCell& cell);

// The value a column of that type gives (dates from their text, booleans from -1/0, long
// texts as the bytes of their UTF-16 text); VT_EMPTY when it does not fit the type.
Variant CellToVariant(const DbCell& cell, DBTYPE type);

// A value put into a column of that type; nothing when it cannot be changed to that type.
std::optional<DbCell> VariantToCell(const VARIANT& value, DBTYPE type);

// A value as text, a byte array giving the text made of its bytes; nothing when it does not
// change to text.
std::optional<std::wstring> VariantToText(const VARIANT& value);

}  // namespace vb
