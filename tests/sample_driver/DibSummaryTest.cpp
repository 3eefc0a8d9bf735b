#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "Crc32.h"
#include "DibSummary.h"
#include "TestDib.h"

namespace {

using vb::sample::Crc32;
using vb::sample::SummarizeDib;
using vb::test::MakeDib;
using vb::test::PixelBytes;

DWORD CrcOf(const std::string& bytes) { return Crc32(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()); }

std::optional<vb::sample::DibSummary> Summary(const std::vector<BYTE>& dib) { return SummarizeDib(dib.data(), dib.size()); }

template <class T>
void Put(std::vector<BYTE>& dib, size_t offset, T value) {
    std::memcpy(dib.data() + offset, &value, sizeof value);
}

constexpr size_t kWidth = 4, kHeight = 8, kBitCount = 14, kCompression = 16, kClrUsed = 32;

TEST(Crc32Test, KnownCheckValues) {
    EXPECT_EQ(0xCBF43926u, CrcOf("123456789"));
    EXPECT_EQ(0u, CrcOf(""));
    EXPECT_EQ(0xD202EF8Du, CrcOf(std::string(1, '\0')));
}

TEST(DibSummaryTest, WellFormedImagesAtEachDepth) {
    const struct {
        WORD bits;
        DWORD entries;
    } cases[] = {{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}};
    for (const auto& c : cases) {
        std::vector<BYTE> dib = MakeDib(3, 2, c.bits, c.entries);
        auto summary = Summary(dib);
        ASSERT_TRUE(summary) << c.bits;
        EXPECT_EQ(3, summary->width);
        EXPECT_EQ(2, summary->height);
        EXPECT_EQ(c.bits, summary->bitCount);
        EXPECT_EQ(c.entries, summary->colors) << c.bits;
        EXPECT_EQ(CrcOf(PixelBytes(dib, c.entries)), summary->crc) << c.bits;
    }
}

TEST(DibSummaryTest, CrcCoversTheRowPaddingAndNothingAfterTheRows) {
    // 3 pixels of 24 bits: 9 bytes and 3 of padding a row.
    std::vector<BYTE> dib = MakeDib(3, 2, 24, 0);
    const DWORD crc = Summary(dib)->crc;
    std::vector<BYTE> longer = dib;
    longer.push_back(0xAA);
    EXPECT_EQ(crc, Summary(longer)->crc);
    dib.back() ^= 0xFF;  // the last padding byte
    EXPECT_NE(crc, Summary(dib)->crc);
}

TEST(DibSummaryTest, TableSizeFollowsClrUsedAndTheHeaderSize) {
    std::vector<BYTE> used = MakeDib(5, 1, 8, 3, 3);
    EXPECT_EQ(3u, Summary(used)->colors);
    EXPECT_EQ(CrcOf(PixelBytes(used, 3)), Summary(used)->crc);

    std::vector<BYTE> v5 = MakeDib(2, 2, 1, 2, 0, 124);
    ASSERT_TRUE(Summary(v5));
    EXPECT_EQ(CrcOf(PixelBytes(v5, 2, 124)), Summary(v5)->crc);

    std::vector<BYTE> topDown = MakeDib(2, -3, 32, 0);
    ASSERT_TRUE(Summary(topDown));
    EXPECT_EQ(-3, Summary(topDown)->height);
    EXPECT_EQ(CrcOf(PixelBytes(topDown, 0)), Summary(topDown)->crc);
}

TEST(DibSummaryTest, BlocksThatDoNotHoldTheirImageAreInvalid) {
    std::vector<BYTE> dib = MakeDib(3, 2, 24, 0);
    EXPECT_FALSE(SummarizeDib(dib.data(), sizeof(BITMAPINFOHEADER) - 1));
    EXPECT_FALSE(SummarizeDib(nullptr, 100));
    EXPECT_FALSE(SummarizeDib(dib.data(), dib.size() - 1));  // rows one byte short

    // An 8-bit image without biClrUsed has a 256-entry table, which a 3-entry block lacks.
    EXPECT_FALSE(Summary(MakeDib(5, 1, 8, 3)));
    // A table that alone runs past the end.
    std::vector<BYTE> table = MakeDib(1, 1, 8, 2, 2);
    Put<DWORD>(table, kClrUsed, 0xFFFFFFFF);
    EXPECT_FALSE(Summary(table));

    // A header that claims more bytes than the block has, or fewer than a BITMAPINFOHEADER.
    std::vector<BYTE> header = dib;
    Put<DWORD>(header, 0, static_cast<DWORD>(header.size() + 1));
    EXPECT_FALSE(Summary(header));
    Put<DWORD>(header, 0, 12);
    EXPECT_FALSE(Summary(header));
}

TEST(DibSummaryTest, ImpossibleDimensionsAreInvalid) {
    auto with = [](size_t offset, auto value) {
        std::vector<BYTE> dib = MakeDib(3, 2, 24, 0);
        Put(dib, offset, value);
        return Summary(dib);
    };
    EXPECT_FALSE(with(kWidth, LONG{0}));
    EXPECT_FALSE(with(kWidth, LONG{-3}));
    EXPECT_FALSE(with(kHeight, LONG{0}));
    EXPECT_FALSE(with(kBitCount, WORD{2}));
    EXPECT_FALSE(with(kCompression, DWORD{BI_RLE8}));
    // Sizes whose product wraps in 32 bits must still be found too large.
    EXPECT_FALSE(with(kWidth, LONG{0x7FFFFFFF}));
    EXPECT_FALSE(with(kHeight, LONG{INT_MIN}));
}

TEST(DibSummaryTest, GlobalBlockIsReadAndUnlocked) {
    std::vector<BYTE> dib = MakeDib(7, 3, 1, 2);
    vb::test::GlobalBlock block(dib);
    ASSERT_TRUE(block.Get());
    auto summary = SummarizeDib(block.Get());
    ASSERT_TRUE(summary);
    EXPECT_EQ(CrcOf(PixelBytes(dib, 2)), summary->crc);
    EXPECT_EQ(0u, block.LockCount());

    vb::test::GlobalBlock tooSmall(std::vector<BYTE>(dib.begin(), dib.begin() + 20));
    EXPECT_FALSE(SummarizeDib(tooSmall.Get()));
    EXPECT_EQ(0u, tooSmall.LockCount());
    EXPECT_FALSE(SummarizeDib(HGLOBAL{}));
}

}  // namespace
