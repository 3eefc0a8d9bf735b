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

// The header counts N whole blocks and T tail bytes of the payload.
TEST(CryptStreamTest, PayloadIsTheCountedBlocksAndTail) {
    std::string data(48, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 1);
    const struct {
        DWORD blocks, tail;
        size_t stored, payload;  // bytes of `data` enciphered, and the payload expected
    } cases[] = {
        {2, 5, 37, 37},
        {2, 0, 37, 32},
        {2, 16, 48, 32},  // a tail of sixteen or more counts as none
        {1, 0xFFFFFFFF, 48, 16},
        {0x10000000, 0, 32, 32},  // counts beyond the data copy what is there
        {0, 0, 0, 0},  // one block holding only the header
    };
    for (const auto& c : cases) {
        EXPECT_EQ(data.substr(0, c.payload), Payload(EncipherWithHeader(c.blocks, c.tail, data.substr(0, c.stored), TestKey())))
            << c.blocks << " " << c.tail;
    }
    // Bytes after the last whole block are left out.
    EXPECT_EQ(data.substr(0, 20), Payload(EncipherWithHeader(1, 4, data.substr(0, 20), TestKey()) + "garbage"));
    EXPECT_EQ("", Payload("short"));
    EXPECT_EQ("", Payload(""));
}

}  // namespace
