#pragma once
// Conversions where the driver meets single-byte text: the devmode's device name and the byte
// texts of the variable records.
#include <windows.h>

#include <string>
#include <string_view>

namespace vb::sample {

// The text in the ANSI code page, at most `maxBytes` bytes, never ending in half a character.
std::string ToAnsiCut(std::wstring_view text, size_t maxBytes);

// A zero-terminated byte text of `byteCount` bytes at `offset`, read no further than the field.
// The bench writes UTF-8, but older records hold ANSI bytes: bytes that are no valid UTF-8 are
// read in the ANSI code page, so either kind shows as written.
std::wstring ReadByteTextField(const BYTE* record, size_t offset, size_t byteCount);

}  // namespace vb::sample
