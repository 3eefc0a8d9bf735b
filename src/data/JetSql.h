#pragma once
#include <string>
#include <string_view>

namespace vb {

// Rewrites the few desktop-database idioms our statements use into SQLite's dialect, leaving
// everything else as written:
//   DELETE * FROM             -> DELETE FROM
//   a & b, and + beside a string literal -> a || b
//   CREATE TABLE column types:
//     VARCHAR(n), TEXT(n)     -> VARCHAR(n), compared without case and limited to n characters,
//                                as the desktop engine did (a longer value fails the statement)
//     MEMO                    -> TEXT
//     LONG                    -> INTEGER
//     DATE and YESNO keep their names, which the connection reads back as date and boolean.
std::wstring TranslateJetSql(std::wstring_view sql);

}  // namespace vb
