#pragma once
#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>

namespace vb {

// "%04d-%02d-%02d %02d:%02d:%02d": how dates are written into statements and date columns.
std::wstring FormatDateTime(const SYSTEMTIME& time);

// Reads that form back (the time part may be missing, seconds too) as an automation date;
// nothing when the text is not a valid date.
std::optional<DATE> ParseDateTime(std::wstring_view text);

// An automation date in the text form above; nothing for a date outside the system's range.
std::optional<std::wstring> FormatAutomationDate(DATE date);

}  // namespace vb
