// The reading of the packed images the bench hands to D_PrintDIB, compiled in from the driver.
// Well-formed images are summarised in the bench's print-file tests (sizes, colours and CRC);
// here, the blocks that must be refused without reading outside them.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "DibHeader.h"
#include "DibSummary.h"

namespace {

using vb::sample::SummarizeDib;
using Dib = std::vector<BYTE>;

// A BITMAPINFOHEADER, `tableEntries` colour entries and the rows of `width` x |height| pixels at
// `bits` per pixel.
Dib MakeDib(LONG width, LONG height, WORD bits, DWORD tableEntries, DWORD clrUsed = 0) {
    BITMAPINFOHEADER header = vb::test::DibHeader(width, height, bits);
    header.biClrUsed = clrUsed;
    const size_t rowSize = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    Dib dib(sizeof header + tableEntries * sizeof(RGBQUAD) + rowSize * static_cast<size_t>(std::labs(height)));
    std::memcpy(dib.data(), &header, sizeof header);
    return dib;
}

template <class T>
Dib With(Dib dib, size_t offset, T value) {
    std::memcpy(dib.data() + offset, &value, sizeof value);
    return dib;
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
        {"a negative width", With(dib, 4, LONG{-3})},
        {"no height", With(dib, 8, LONG{0})},
        {"2 bits a pixel", With(dib, 14, WORD{2})},
        {"compressed", With(dib, 16, DWORD{BI_RLE8})},
        // Sizes whose product wraps in 32 bits must still be found too large.
        {"the widest", With(dib, 4, LONG{0x7FFFFFFF})},
        {"the tallest", With(dib, 8, LONG{INT_MIN})},
    };
    for (const auto& c : cases) EXPECT_FALSE(SummarizeDib(c.block.data(), c.block.size())) << c.what;
    EXPECT_FALSE(SummarizeDib(nullptr, 100));
    EXPECT_FALSE(SummarizeDib(HGLOBAL{}));
}

}  // namespace
