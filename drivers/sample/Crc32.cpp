#include "Crc32.h"

#include <array>

namespace vb::sample {

namespace {

constexpr std::array<DWORD, 256> MakeTable() {
    std::array<DWORD, 256> table{};
    for (DWORD n = 0; n < 256; ++n) {
        DWORD value = n;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        table[n] = value;
    }
    return table;
}

constexpr std::array<DWORD, 256> kTable = MakeTable();

}  // namespace

DWORD Crc32(const BYTE* bytes, size_t count) noexcept {
    DWORD crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) crc = kTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace vb::sample
