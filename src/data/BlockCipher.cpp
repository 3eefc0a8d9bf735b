#include "BlockCipher.h"

namespace vb::cipher {

namespace {

constexpr BYTE kLinearMasks[8] = {0x8F, 0xC7, 0xE3, 0xF1, 0xF8, 0x7C, 0x3E, 0x1F};
constexpr BYTE kInverseMasks[8] = {0x25, 0x92, 0x49, 0xA4, 0x52, 0x29, 0x94, 0x4A};
constexpr BYTE kConstant = 0xC6;
constexpr int kRounds = 10;

// Output bit 7 down to bit 0 are the parities of x under the eight masks, in order.
BYTE ApplyMasks(BYTE x, const BYTE (&masks)[8]) noexcept {
    BYTE result = 0;
    for (int i = 0; i < 8; ++i) {
        BYTE bits = x & masks[i];
        bits ^= bits >> 4;
        bits ^= bits >> 2;
        bits ^= bits >> 1;
        result = static_cast<BYTE>((result << 1) | (bits & 1));
    }
    return result;
}

BYTE Double(BYTE x) noexcept { return static_cast<BYTE>((x << 1) ^ ((x & 0x80) ? 0x1B : 0x00)); }

BYTE Multiply(BYTE x, BYTE factor) noexcept {
    BYTE result = 0;
    for (; factor; factor >>= 1, x = Double(x)) {
        if (factor & 1) result ^= x;
    }
    return result;
}

// Row r of the state is block bytes 4r..4r+3; a column is bytes c, 4+c, 8+c, 12+c.
void MixColumns(BYTE* s, const BYTE (&row)[4]) noexcept {
    for (int c = 0; c < 4; ++c) {
        BYTE column[4] = {s[c], s[4 + c], s[8 + c], s[12 + c]};
        for (int r = 0; r < 4; ++r) {
            BYTE value = 0;
            for (int k = 0; k < 4; ++k) value ^= Multiply(column[k], row[(k - r + 4) % 4]);
            s[4 * r + c] = value;
        }
    }
}

// Turns row r left by r * direction positions (direction 1 or -1).
void ShiftRows(BYTE* s, int direction) noexcept {
    for (int r = 1; r < 4; ++r) {
        BYTE row[4];
        for (int c = 0; c < 4; ++c) row[c] = s[4 * r + ((c + r * direction + 4) % 4)];
        for (int c = 0; c < 4; ++c) s[4 * r + c] = row[c];
    }
}

void AddRoundKey(BYTE* s, const BYTE* roundKey) noexcept {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) s[4 * r + c] ^= roundKey[4 * c + r];
    }
}

// First rows of the circulant matrices; row r is the first row turned right by r.
constexpr BYTE kMix[4] = {0x02, 0x03, 0x01, 0x01};
constexpr BYTE kInverseMix[4] = {0x0E, 0x0B, 0x0D, 0x09};

}  // namespace

BYTE Linear(BYTE x) noexcept { return ApplyMasks(x, kLinearMasks); }
BYTE InverseLinear(BYTE x) noexcept { return ApplyMasks(x, kInverseMasks); }
BYTE Substitute(BYTE x) noexcept { return static_cast<BYTE>(Linear(x) ^ kConstant); }
BYTE InverseSubstitute(BYTE y) noexcept { return InverseLinear(static_cast<BYTE>(y ^ kConstant)); }

ExpandedKey ExpandKey(const Key& key) noexcept {
    ExpandedKey expanded{};
    for (int i = 0; i < 16; ++i) expanded[i] = key[i];
    for (int q = 1; q <= kRounds; ++q) {
        const BYTE* p = &expanded[16 * (q - 1)];
        BYTE* k = &expanded[16 * q];
        // 2^(q-1) kept to 8 bits: the last two constants are 0.
        BYTE roundConstant = q <= 8 ? static_cast<BYTE>(1u << (q - 1)) : 0;
        k[0] = p[0] ^ Linear(p[13]) ^ roundConstant;
        k[1] = p[1] ^ Linear(p[14]);
        k[2] = p[2] ^ Linear(p[15]);
        BYTE t = Linear(p[12]);
        for (int j = 3; j < 16; ++j) k[j] = p[j] ^ t;
    }
    return expanded;
}

void TransformBlock(BYTE* block, const Key& key, int direction) noexcept {
    ExpandedKey expanded = ExpandKey(key);
    if (direction != 0) {
        for (int q = 0; q < kRounds; ++q) {
            for (int i = 0; i < 16; ++i) block[i] = Substitute(block[i]);
            ShiftRows(block, 1);
            if (q != kRounds - 1) MixColumns(block, kMix);
            AddRoundKey(block, &expanded[16 * q]);
        }
        return;
    }
    for (int q = kRounds - 1; q >= 0; --q) {
        AddRoundKey(block, &expanded[16 * q]);
        if (q != kRounds - 1) MixColumns(block, kInverseMix);
        ShiftRows(block, -1);
        for (int i = 0; i < 16; ++i) block[i] = InverseSubstitute(block[i]);
    }
}

}  // namespace vb::cipher
