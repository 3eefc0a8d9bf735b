#pragma once
#include <cstddef>
#include <memory>

// The editing component holds UTF-8 while the rest of the program speaks UTF-16: an owned,
// null-terminated UTF-8 buffer that converts at the boundary.
class CUTF8String {
public:
    CUTF8String() = default;
    explicit CUTF8String(const wchar_t* text) { FromWide(text); }

    // A null or empty text leaves no buffer.
    void FromWide(const wchar_t* text);
    // A zeroed buffer of `length` bytes and a terminator, for the component to fill.
    char* Allocate(size_t length);

    // Without a buffer: the UTF-16 characters the text needs. Otherwise the text, cut to
    // capacity - 1 characters, terminated; the characters written are returned.
    int ToWide(wchar_t* buffer, int capacity) const;

    // "" when there is no buffer.
    const char* Get() const noexcept { return data_ ? data_.get() : ""; }
    size_t Length() const noexcept { return length_; }

private:
    std::unique_ptr<char[]> data_;
    size_t length_ = 0;
};
