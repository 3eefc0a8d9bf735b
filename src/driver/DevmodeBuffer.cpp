#include "DevmodeBuffer.h"

#include <algorithm>
#include <cstring>

std::optional<WORD> DevmodeBuffer::U16(size_t offset) const noexcept {
    if (!Fits(offset, 2)) return std::nullopt;
    WORD value;
    std::memcpy(&value, bytes_.data() + offset, 2);
    return value;
}

std::optional<SHORT> DevmodeBuffer::I16(size_t offset) const noexcept {
    auto value = U16(offset);
    if (!value) return std::nullopt;
    return static_cast<SHORT>(*value);
}

std::optional<LONG> DevmodeBuffer::I32(size_t offset) const noexcept {
    if (!Fits(offset, 4)) return std::nullopt;
    LONG value;
    std::memcpy(&value, bytes_.data() + offset, 4);
    return value;
}

std::optional<std::string> DevmodeBuffer::Text(size_t offset, size_t size) const {
    if (size == 0 || !Fits(offset, size)) return std::nullopt;
    const char* start = reinterpret_cast<const char*>(bytes_.data() + offset);
    return std::string(start, std::find(start, start + size, '\0'));
}

bool DevmodeBuffer::Set16(size_t offset, WORD value) noexcept {
    if (!Fits(offset, 2)) return false;
    std::memcpy(bytes_.data() + offset, &value, 2);
    return true;
}

bool DevmodeBuffer::Set32(size_t offset, DWORD value) noexcept {
    if (!Fits(offset, 4)) return false;
    std::memcpy(bytes_.data() + offset, &value, 4);
    return true;
}

bool DevmodeBuffer::SetText(size_t offset, size_t size, const std::string& text) noexcept {
    if (size == 0 || !Fits(offset, size)) return false;
    std::memset(bytes_.data() + offset, 0, size);
    std::memcpy(bytes_.data() + offset, text.data(), std::min(text.size(), size - 1));
    return true;
}

bool DevmodeBuffer::HasPrivateLayout() const noexcept {
    auto marker = U16(kLayoutMarker);
    return U16(kSize).value_or(0) != 0 && marker && (*marker == 0x7E40 || *marker == 0x7E41);
}
