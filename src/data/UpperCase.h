#pragma once
#include <string>
#include <string_view>

namespace vb {

// Upper-cases the letters a to z only. Stored keys (model names, sub-items, user names) were
// always upper-cased this way, so any other rule would stop old rows from matching.
std::wstring ToUpperAscii(std::wstring_view text);

}  // namespace vb
