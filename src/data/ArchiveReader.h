#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads the serialised string lists of a device definition object. Every length comes from the
// file, so each is checked against the bytes that remain before anything is read or allocated;
// a length that points past the data is an archive error, like a short read.
class CArchiveReader {
public:
    explicit CArchiveReader(std::string_view data) noexcept : data_(data) {}

    bool AtEnd() const noexcept { return position_ >= data_.size(); }
    bool ReadInt32(LONG& value) noexcept;
    // One length-prefixed string: one-byte characters in the ANSI code page, or UTF-16 after
    // the marker 0xFF 0xFFFE. False on an archive error.
    bool ReadString(std::wstring& text);

    // A count, that many strings, a second count and up to one more string than it says, the
    // second list ending quietly at the end of the data or at an error. Nothing when the first
    // count or the first list is damaged.
    static std::optional<std::vector<std::wstring>> ReadStringLists(std::string_view payload);

private:
    bool ReadBytes(void* out, size_t size) noexcept;
    bool ReadLength(unsigned long long& length, bool& wide) noexcept;

    std::string_view data_;
    size_t position_ = 0;
};
