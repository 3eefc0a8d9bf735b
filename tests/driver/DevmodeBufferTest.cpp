#include <gtest/gtest.h>

#include "DevmodeBuffer.h"

namespace {

// Reads and writes stay inside the driver's buffer, up to its very last byte.
TEST(DevmodeBufferTest, FieldsUpToTheEndAndTheLayoutMarker) {
    DevmodeBuffer small(std::vector<BYTE>(8, 0));
    EXPECT_TRUE(small.Set32(4, 0x01020304));
    EXPECT_EQ(0x01020304, small.I32(4));
    EXPECT_FALSE(small.Set32(5, 1));
    EXPECT_FALSE(small.Set16(7, 1));
    EXPECT_EQ(std::nullopt, small.U16(7));
    // A text keeps its terminator: at most the field's size less one.
    EXPECT_TRUE(small.SetText(0, 4, "ABCDEF"));
    EXPECT_EQ("ABC", small.Text(0, 8));

    const struct {
        WORD size;
        WORD marker;
        bool marked;
    } cases[] = {{156, 0x7E40, true}, {156, 0x7E41, true}, {156, 0x7E42, false}, {0, 0x7E40, false}};
    for (const auto& c : cases) {
        DevmodeBuffer devmode(std::vector<BYTE>(400, 0));
        devmode.Set16(DevmodeBuffer::kSize, c.size);
        devmode.Set16(DevmodeBuffer::kLayoutMarker, c.marker);
        EXPECT_EQ(c.marked, devmode.HasPrivateLayout()) << c.size << " " << c.marker;
    }
}

}  // namespace
