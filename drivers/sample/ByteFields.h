#pragma once
// Little-endian fields of the byte records that cross the driver boundary (devmode, code
// description, variable record). The records come from the caller with no alignment promise,
// so every access copies bytes instead of casting the address.
#include <windows.h>

#include <cstring>
#include <string>
#include <type_traits>

namespace vb::sample {

template <class T>
T ReadField(const BYTE* record, size_t offset) noexcept {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

template <class T>
void WriteField(BYTE* record, size_t offset, T value) noexcept {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(record + offset, &value, sizeof value);
}

// A zero-terminated wide text stored in `byteCount` bytes at `offset`; a field without a
// terminator ends with the field, never beyond it.
inline std::wstring ReadWideField(const BYTE* record, size_t offset, size_t byteCount) {
    std::wstring text;
    for (size_t at = offset; at + sizeof(wchar_t) <= offset + byteCount; at += sizeof(wchar_t)) {
        wchar_t letter = ReadField<wchar_t>(record, at);
        if (letter == L'\0') break;
        text += letter;
    }
    return text;
}

// Stores the text zero-terminated, cut to fit `byteCount` bytes at `offset`.
inline void WriteWideField(BYTE* record, size_t offset, size_t byteCount, std::wstring_view text) {
    size_t letters = byteCount / sizeof(wchar_t) - 1;
    if (text.size() < letters) letters = text.size();
    std::memcpy(record + offset, text.data(), letters * sizeof(wchar_t));
    WriteField<wchar_t>(record, offset + letters * sizeof(wchar_t), L'\0');
}

}  // namespace vb::sample
