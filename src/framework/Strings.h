#pragma once
#include <string>
#include <string_view>

namespace vb {

// Conversions at the edges: UTF-8 for Scintilla and the variable records, the ANSI code page
// where a driver or a file format wants single-byte text.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
// Text of unknown origin: UTF-8 when the bytes are valid UTF-8, the ANSI code page otherwise.
std::wstring FromUtf8OrAnsi(std::string_view text);

std::wstring Trim(std::wstring_view text);
std::wstring ToLower(std::wstring_view text);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
// A folder path ending with '\'; an empty path stays empty.
std::wstring WithTrailingBackslash(std::wstring folder);
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to);

// Fills each "%s" of a template in turn; "%%" gives "%". The arguments are never parsed as
// formats, so a path holding '%' cannot upset the text.
std::wstring FormatTemplate(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);

}  // namespace vb
