#pragma once
#include <windows.h>

#include <array>

// The 128-bit block cipher of the device definition files. It has the shape of AES-128 but
// none of its S-box inverse, a row-wise state, its own key schedule and round constants, so it
// is its own algorithm: data enciphered with AES does not decipher here.
namespace vb::cipher {

using Block = std::array<BYTE, 16>;
using Key = std::array<BYTE, 16>;
using ExpandedKey = std::array<BYTE, 176>;

// The GF(2)-linear byte map L and its inverse.
BYTE Linear(BYTE x) noexcept;
BYTE InverseLinear(BYTE x) noexcept;
// S(x) = L(x) ^ 0xC6 and its inverse.
BYTE Substitute(BYTE x) noexcept;
BYTE InverseSubstitute(BYTE y) noexcept;

// Round keys K0 (the key itself) to K10.
ExpandedKey ExpandKey(const Key& key) noexcept;

// Deciphers the block in place when `direction` is 0, enciphers it otherwise. The key is
// expanded afresh for each block.
void TransformBlock(BYTE* block, const Key& key, int direction) noexcept;

}  // namespace vb::cipher
