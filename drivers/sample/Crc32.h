#pragma once
// CRC-32 as in zip and PNG (reflected polynomial 0xEDB88320, start and final xor 0xFFFFFFFF),
// so a printed image can be told apart from another by a short, well-known number.
#include <windows.h>

#include <cstddef>

namespace vb::sample {

DWORD Crc32(const BYTE* bytes, size_t count) noexcept;

}  // namespace vb::sample
