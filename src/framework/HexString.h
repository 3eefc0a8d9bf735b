#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace vb {

// Text as hexadecimal digits and back. To hex: each UTF-16 unit as "%.2x" (lower case, two
// digits at least, more for a unit above 0xFF). From hex: pairs of characters from the start,
// each read as "%x" into one character; a pair that does not read is skipped, an odd last
// character is read alone.
std::wstring ConvertHexString(std::wstring_view text, BOOL toHex);

}  // namespace vb
