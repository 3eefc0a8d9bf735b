#pragma once
#include <string>
#include <vector>

namespace vb::test {

using Rows = std::vector<std::vector<std::wstring>>;

// A database file read and written past the program's own connection, so tests see what is
// really stored. Opened with the program's journal settings: the two handles share the journal.
// Runs the statements and returns SQLite's error text, empty on success.
std::string ExecRaw(const std::wstring& path, const std::string& sql);
// Every row of a query as text; NULL reads "<null>".
Rows QueryRaw(const std::wstring& path, const std::wstring& sql);
// The bytes of a Base64 data column as read by QueryRaw; a column never written reads "<null>".
std::string DecodedColumn(const std::wstring& base64);

}  // namespace vb::test
