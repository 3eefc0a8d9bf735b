#pragma once
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The driver's devmode as the wrapper holds it: a byte buffer whose size the driver chose.
// Every field access is checked against that size, so a driver with a smaller devmode than a
// family's offsets assume can never make the wrapper read or write outside it.
class DevmodeBuffer {
public:
    // Public DEVMODEA fields the wrapper touches.
    static constexpr size_t kSize = 36;
    static constexpr size_t kFields = 40;
    static constexpr size_t kOrientation = 44;
    static constexpr size_t kPaperSize = 46;
    static constexpr size_t kPaperLength = 48;
    static constexpr size_t kPaperWidth = 50;
    static constexpr size_t kColor = 60;
    // The private part is ours to write only when this marker says it has the known layout.
    static constexpr size_t kLayoutMarker = 148;

    DevmodeBuffer() = default;
    explicit DevmodeBuffer(std::vector<BYTE> bytes) : bytes_(std::move(bytes)) {}

    bool Empty() const noexcept { return bytes_.empty(); }
    size_t Size() const noexcept { return bytes_.size(); }
    BYTE* Data() noexcept { return bytes_.empty() ? nullptr : bytes_.data(); }
    const BYTE* Data() const noexcept { return bytes_.empty() ? nullptr : bytes_.data(); }
    void Clear() noexcept { bytes_.clear(); }

    bool Fits(size_t offset, size_t width) const noexcept { return offset <= bytes_.size() && width <= bytes_.size() - offset; }

    std::optional<WORD> U16(size_t offset) const noexcept;
    std::optional<SHORT> I16(size_t offset) const noexcept;
    std::optional<LONG> I32(size_t offset) const noexcept;
    // A zero-terminated single-byte text in a field of `size` bytes.
    std::optional<std::string> Text(size_t offset, size_t size) const;

    // Each write does nothing and answers false when the field lies outside the buffer.
    bool Set16(size_t offset, WORD value) noexcept;
    bool Set32(size_t offset, DWORD value) noexcept;
    // Stores at most size-1 bytes and zero-fills the rest of the field.
    bool SetText(size_t offset, size_t size, const std::string& text) noexcept;

    bool HasPrivateLayout() const noexcept;

private:
    std::vector<BYTE> bytes_;
};
