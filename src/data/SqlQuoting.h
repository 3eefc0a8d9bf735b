#pragma once
#include <string>
#include <string_view>

namespace vb {

// The one quoting rule for every text that goes between single quotes in a statement:
// "'" becomes "''" and each CR LF pair becomes the four characters \r\n. Stored scripts and
// catalogues hold texts quoted this way, so the rule cannot change without migrating them.
std::wstring QuoteForSql(std::wstring_view text);

// The exact reverse of QuoteForSql, for a quoted text still in memory: "''" becomes "'", then
// \r\n becomes CR LF.
std::wstring UnquoteFromSql(std::wstring_view text);

// A text as it comes back from the database. The database already turned each "''" of the
// statement into "'", so only the line breaks are left to restore; collapsing "''" once more
// would damage texts that hold two apostrophes in a row (a VBScript comment "'' ..."). A text
// that itself held the four characters \r\n comes back with a line break; stored rows were
// always read that way.
std::wstring TextFromDatabase(std::wstring_view text);

}  // namespace vb
