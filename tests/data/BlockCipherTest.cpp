#include <gtest/gtest.h>

#include <random>

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

TEST(BlockCipherTest, AllZeroKeyExpandsWithZeroLastConstants) {
    ExpandedKey expanded = ExpandKey(Key{});
    // With P = 0 the linear part gives 0, so each round key is its round constant in byte 0.
    const BYTE constants[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0, expanded[i]);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(i == 0 ? 0x01 : 0, expanded[16 + i]) << i;
    // K2 builds on K1: byte 0 = 1 ^ L(0) ^ 2; bytes 3.. = K1[j] ^ L(K1[12]) = 0.
    EXPECT_EQ(0x03, expanded[32]);
    for (int q = 1; q <= 8; ++q) EXPECT_NE(0, expanded[16 * q] & constants[q - 1]) << q;
    // rc(9) = rc(10) = 0: byte 0 of K9 and K10 is K8's byte 0 and K9's byte 0 unchanged (P[13] stays 0).
    EXPECT_EQ(expanded[16 * 8], expanded[16 * 9]);
    EXPECT_EQ(expanded[16 * 9], expanded[16 * 10]);
    EXPECT_EQ(0xFF, expanded[16 * 8]);
}

TEST(BlockCipherTest, KeyScheduleFollowsTheRule) {
    Key key;
    for (int i = 0; i < 16; ++i) key[i] = static_cast<BYTE>('A' + i);
    ExpandedKey expanded = ExpandKey(key);
    for (int q = 1; q <= 10; ++q) {
        const BYTE* p = &expanded[16 * (q - 1)];
        const BYTE* k = &expanded[16 * q];
        BYTE rc = q <= 8 ? static_cast<BYTE>(1 << (q - 1)) : 0;
        EXPECT_EQ(p[0] ^ Linear(p[13]) ^ rc, k[0]) << q;
        EXPECT_EQ(p[1] ^ Linear(p[14]), k[1]) << q;
        EXPECT_EQ(p[2] ^ Linear(p[15]), k[2]) << q;
        for (int j = 3; j < 16; ++j) EXPECT_EQ(p[j] ^ Linear(p[12]), k[j]) << q << ":" << j;
    }
}

TEST(BlockCipherTest, DecipheringUndoesEnciphering) {
    std::mt19937 random(2024);
    for (int round = 0; round < 500; ++round) {
        Key key;
        Block block;
        for (auto& b : key) b = static_cast<BYTE>(random());
        for (auto& b : block) b = static_cast<BYTE>(random());
        Block work = block;
        TransformBlock(work.data(), key, 1);
        EXPECT_NE(block, work);
        TransformBlock(work.data(), key, 0);
        ASSERT_EQ(block, work) << round;
    }
}

}  // namespace
