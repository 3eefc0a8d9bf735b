#include <gtest/gtest.h>

#include "BlockCipher.h"

namespace {

using namespace vb::cipher;

TEST(BlockCipherTest, SubstitutionHasNoInverseStep) {
    EXPECT_EQ(0xC6, Substitute(0x00));
    EXPECT_EQ(0x37, Substitute(0x01));
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(x, InverseSubstitute(Substitute(static_cast<BYTE>(x)))) << x;
        EXPECT_EQ(x, InverseLinear(Linear(static_cast<BYTE>(x)))) << x;
    }
    // Linear: L(a ^ b) = L(a) ^ L(b); the S-box is affine, unlike the AES S-box.
    EXPECT_EQ(Linear(0x53) ^ Linear(0xCA), Linear(0x53 ^ 0xCA));
    EXPECT_EQ(0, Linear(0));
}

// Round key q from round key q - 1 (P): byte 0 = P[0] ^ L(P[13]) ^ rc(q), bytes 1 and 2 take
// P[14] and P[15], the rest P[12]; rc(q) = 2^(q-1) for q <= 8, then 0.
TEST(BlockCipherTest, KeyScheduleFollowsTheRule) {
    Key key;
    for (int i = 0; i < 16; ++i) key[i] = static_cast<BYTE>('A' + i);
    ExpandedKey expanded = ExpandKey(key);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(key[i], expanded[i]);
    for (int q = 1; q <= 10; ++q) {
        const BYTE* p = &expanded[16 * (q - 1)];
        const BYTE* k = &expanded[16 * q];
        BYTE rc = q <= 8 ? static_cast<BYTE>(1 << (q - 1)) : 0;
        EXPECT_EQ(p[0] ^ Linear(p[13]) ^ rc, k[0]) << q;
        EXPECT_EQ(p[1] ^ Linear(p[14]), k[1]) << q;
        EXPECT_EQ(p[2] ^ Linear(p[15]), k[2]) << q;
        for (int j = 3; j < 16; ++j) EXPECT_EQ(p[j] ^ Linear(p[12]), k[j]) << q << ":" << j;
    }
    // The all-zero key by hand: K1 is its round constant alone, K2 builds on it, K8 ends at 0xFF.
    ExpandedKey zero = ExpandKey(Key{});
    EXPECT_EQ(0x01, zero[16]);
    EXPECT_EQ(0x03, zero[32]);
    EXPECT_EQ(0xFF, zero[16 * 8]);
}

}  // namespace
