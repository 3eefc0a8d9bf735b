#include <gtest/gtest.h>

#include "CryptStream.h"
#include "DefinitionFileWriter.h"

namespace {

using vb::test::EncipherWithHeader;

vb::cipher::Key TestKey() {
    vb::cipher::Key key;
    for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<BYTE>('a' + i);
    return key;
}

// Deciphers `stored` as a stream and returns the payload it then holds.
std::string Payload(const std::string& stored) {
    CCryptStream stream;
    stream.SetKey(TestKey());
    EXPECT_TRUE(stream.CreateMemoryStream());
    stream.Write(stored.data(), static_cast<ULONG>(stored.size()));
    EXPECT_EQ(0, stream.Decrypt());
    return stream.ReadToEnd();  // Decrypt leaves the stream at its start
}

std::string Bytes(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i * 7 + 1);
    return bytes;
}

TEST(CryptStreamTest, PayloadIsTheWholeBlocksAndTheTail) {
    std::string data = Bytes(37);
    EXPECT_EQ(data, Payload(EncipherWithHeader(2, 5, data, TestKey())));
    EXPECT_EQ(data.substr(0, 32), Payload(EncipherWithHeader(2, 0, data, TestKey())));
    EXPECT_EQ(data.substr(0, 16), Payload(EncipherWithHeader(1, 0, data, TestKey())));
}

TEST(CryptStreamTest, TailOfSixteenOrMoreCountsAsNone) {
    std::string data = Bytes(48);
    EXPECT_EQ(data.substr(0, 32), Payload(EncipherWithHeader(2, 16, data, TestKey())));
    EXPECT_EQ(data.substr(0, 16), Payload(EncipherWithHeader(1, 0xFFFFFFFF, data, TestKey())));
}

TEST(CryptStreamTest, OneBlockHoldsOnlyTheHeader) {
    std::string stored = EncipherWithHeader(0, 0, "", TestKey());
    ASSERT_EQ(16u, stored.size());
    EXPECT_EQ("", Payload(stored));
}

TEST(CryptStreamTest, CountsBeyondTheDataCopyWhatIsThere) {
    std::string data = Bytes(32);
    EXPECT_EQ(data, Payload(EncipherWithHeader(0x10000000, 0, data, TestKey())));
    EXPECT_EQ(data, Payload(EncipherWithHeader(0xFFFFFFFF, 15, data, TestKey())));
}

TEST(CryptStreamTest, BytesAfterTheLastWholeBlockAreLeftOut) {
    std::string data = Bytes(20);
    std::string stored = EncipherWithHeader(1, 4, data, TestKey());
    EXPECT_EQ(data, Payload(stored + "garbage"));
    EXPECT_EQ("", Payload("short"));
    EXPECT_EQ("", Payload(""));
}

TEST(CryptStreamTest, WrongKeyGivesOtherBytes) {
    std::string data = Bytes(16);
    vb::cipher::Key other = TestKey();
    other[15] ^= 1;
    std::string stored = EncipherWithHeader(1, 0, data, other);
    EXPECT_NE(data, Payload(stored));
}

}  // namespace
