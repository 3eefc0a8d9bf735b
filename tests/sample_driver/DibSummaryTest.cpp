// The reading of the packed images the bench hands to D_PrintDIB, compiled in from the driver.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "Crc32.h"
#include "DibSummary.h"
#include "TestDib.h"

namespace {

using vb::sample::SummarizeDib;
using vb::test::MakeDib;
using vb::test::PixelBytes;
using Dib = std::vector<BYTE>;

DWORD CrcOf(const std::string& bytes) { return vb::sample::Crc32(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()); }

std::optional<vb::sample::DibSummary> Summary(const Dib& dib) { return SummarizeDib(dib.data(), dib.size()); }

template <class T>
Dib With(Dib dib, size_t offset, T value) {
    std::memcpy(dib.data() + offset, &value, sizeof value);
    return dib;
}

TEST(Crc32Test, KnownCheckValues) {
    EXPECT_EQ(0xCBF43926u, CrcOf("123456789"));
    EXPECT_EQ(0u, CrcOf(""));
    EXPECT_EQ(0xD202EF8Du, CrcOf(std::string(1, '\0')));
}

// The CRC covers the pixel rows, their padding included, and nothing after them.
TEST(DibSummaryTest, WellFormedImagesOfEachLayout) {
    const struct {
        LONG width, height;
        WORD bits;
        DWORD entries, clrUsed, headerSize;
    } cases[] = {
        {3, 2, 1, 2, 0, 40},  {3, 2, 4, 16, 0, 40}, {3, 2, 8, 256, 0, 40}, {3, 2, 16, 0, 0, 40},
        {3, 2, 24, 0, 0, 40}, {3, 2, 32, 0, 0, 40},
        {5, 1, 8, 3, 3, 40},    // a table of biClrUsed entries
        {2, 2, 1, 2, 0, 124},   // a larger header
        {2, -3, 32, 0, 0, 40},  // top-down rows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, header " << c.headerSize);
        Dib dib = MakeDib(c.width, c.height, c.bits, c.entries, c.clrUsed, c.headerSize);
        const DWORD crc = CrcOf(PixelBytes(dib, c.entries, c.headerSize));
        dib.push_back(0xAA);
        auto summary = Summary(dib);
        ASSERT_TRUE(summary);
        EXPECT_EQ(c.width, summary->width);
        EXPECT_EQ(c.height, summary->height);
        EXPECT_EQ(c.bits, summary->bitCount);
        EXPECT_EQ(c.entries, summary->colors);
        EXPECT_EQ(crc, summary->crc);
    }
}

TEST(DibSummaryTest, BlocksThatDoNotHoldAWellFormedImageAreInvalid) {
    const Dib dib = MakeDib(3, 2, 24, 0);
    const struct {
        const char* what;
        Dib block;
    } cases[] = {
        {"rows one byte short", Dib(dib.begin(), dib.end() - 1)},
        {"shorter than its header", Dib(dib.begin(), dib.begin() + 39)},
        {"8 bits without biClrUsed and a 3-entry table", MakeDib(5, 1, 8, 3)},
        {"a table that alone runs past the end", With(MakeDib(1, 1, 8, 2, 2), 32, DWORD{0xFFFFFFFF})},
        {"a header longer than the block", With(dib, 0, static_cast<DWORD>(dib.size() + 1))},
        {"a header shorter than BITMAPINFOHEADER", With(dib, 0, DWORD{12})},
        {"no width", With(dib, 4, LONG{0})},
        {"a negative width", With(dib, 4, LONG{-3})},
        {"no height", With(dib, 8, LONG{0})},
        {"2 bits a pixel", With(dib, 14, WORD{2})},
        {"compressed", With(dib, 16, DWORD{BI_RLE8})},
        // Sizes whose product wraps in 32 bits must still be found too large.
        {"the widest", With(dib, 4, LONG{0x7FFFFFFF})},
        {"the tallest", With(dib, 8, LONG{INT_MIN})},
    };
    for (const auto& c : cases) EXPECT_FALSE(Summary(c.block)) << c.what;
    EXPECT_FALSE(SummarizeDib(nullptr, 100));
}

TEST(DibSummaryTest, GlobalBlockIsReadAndUnlocked) {
    Dib dib = MakeDib(7, 3, 1, 2);
    vb::test::GlobalBlock block(dib);
    auto summary = SummarizeDib(block.Get());
    ASSERT_TRUE(summary);
    EXPECT_EQ(CrcOf(PixelBytes(dib, 2)), summary->crc);
    EXPECT_EQ(0u, block.LockCount());

    vb::test::GlobalBlock tooSmall(Dib(dib.begin(), dib.begin() + 20));
    EXPECT_FALSE(SummarizeDib(tooSmall.Get()));
    EXPECT_EQ(0u, tooSmall.LockCount());
    EXPECT_FALSE(SummarizeDib(HGLOBAL{}));
}

}  // namespace
