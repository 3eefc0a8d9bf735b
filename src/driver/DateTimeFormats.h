#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// The date/time formats a driver supports, built from its two capability words, and the
// rendering of such a format for one moment.
std::vector<std::wstring> BuildDateTimeFormats(DWORD dateWord, DWORD timeWord);

// Renders a format such as "dd.mm.yyyy hh:nn" (runs of one letter stand for a date or time
// part, anything else is copied); the result holds at most `limit` bytes.
std::string RenderDateTime(std::string_view format, const SYSTEMTIME& moment, size_t limit);
