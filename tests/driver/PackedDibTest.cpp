// The print-file tests of images and GDI text see the packed image's size, depth, table length and
// rows; its other header fields and the colour table's contents are checked here, on whole blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DibHeader.h"
#include "PackedDib.h"
#include "UniqueHandle.h"

namespace {

// A 32-bit DIB section filled pixel by pixel (B, G, R, unused).
vb::UniqueBitmap ThirtyTwoBitBitmap(HDC dc, LONG width, LONG height, const std::vector<DWORD>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader = vb::test::DibHeader(width, height, 32);
    void* bits = nullptr;
    vb::UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) std::memcpy(bits, pixels.data(), pixels.size() * 4);
    return bitmap;
}

std::vector<BYTE> HeaderBytes(const BITMAPINFOHEADER& header) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&header);
    return std::vector<BYTE>(bytes, bytes + sizeof header);
}

// The header bytes a driver must find: uncompressed, one plane, bottom-up, the size of its rows.
std::vector<BYTE> HeaderBytes(LONG width, LONG height, WORD bitCount, DWORD imageSize) {
    BITMAPINFOHEADER header = vb::test::DibHeader(width, height, bitCount);
    header.biSizeImage = imageSize;
    return HeaderBytes(header);
}

// A DIB section of 1 to 8 bits a pixel with the given colour table and rows (padding included).
vb::UniqueBitmap PalettedBitmap(HDC dc, LONG width, LONG height, WORD bitCount, const std::vector<RGBQUAD>& table,
                                const std::vector<BYTE>& rows) {
    std::vector<BYTE> info = HeaderBytes(width, height, bitCount, 0);
    const auto* colours = reinterpret_cast<const BYTE*>(table.data());
    info.insert(info.end(), colours, colours + table.size() * sizeof(RGBQUAD));
    info.resize(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    void* bits = nullptr;
    vb::UniqueBitmap bitmap(
        ::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) std::memcpy(bits, rows.data(), rows.size());
    return bitmap;
}

class PackedDibTest : public ::testing::Test {
protected:
    struct Packed {
        BITMAPINFOHEADER header;
        std::vector<BYTE> rest;  // table and rows
    };
    Packed Read(HGLOBAL block) {
        Packed packed{};
        auto* data = static_cast<const BYTE*>(::GlobalLock(block));
        std::memcpy(&packed.header, data, sizeof packed.header);
        packed.rest.assign(data + sizeof packed.header, data + ::GlobalSize(block));
        ::GlobalUnlock(block);
        ::GlobalFree(block);
        return packed;
    }
    vb::UniqueDC dc_{::CreateCompatibleDC(nullptr)};
};

TEST_F(PackedDibTest, ThirtyTwoBitsBecomeFiveSixFive) {
    // Two pixels: pure red and a grey whose channels do not divide evenly.
    auto bitmap = ThirtyTwoBitBitmap(dc_.Get(), 2, 1, {0x00FF0000, 0x00808080});
    Packed packed = Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 16, 32));
    EXPECT_EQ(16, packed.header.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), packed.header.biCompression);
    EXPECT_EQ(4u, packed.header.biSizeImage);
    ASSERT_EQ(4u, packed.rest.size());
    WORD pixels[2];
    std::memcpy(pixels, packed.rest.data(), 4);
    EXPECT_EQ(0xF800, pixels[0]);
    EXPECT_EQ((0x80 * 31 / 255) << 11 | (0x80 * 63 / 255) << 5 | (0x80 * 31 / 255), pixels[1]);
}

TEST_F(PackedDibTest, UnchangedWhenAlreadyRightOrTheScreenIsNot32Bit) {
    auto bitmap = ThirtyTwoBitBitmap(dc_.Get(), 2, 2, {1, 2, 3, 4});
    EXPECT_EQ(32, Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 32, 32)).header.biBitCount);
    EXPECT_EQ(32, Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 16, 24)).header.biBitCount);
    EXPECT_EQ(16, Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 8, 32)).header.biBitCount);
    EXPECT_EQ(32, Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 12, 32)).header.biBitCount);
}

// Five pixels a row do not fill whole words, at 32 bits or at 24; the padding must be zero, not
// what the wider rows left there.
TEST_F(PackedDibTest, ThirtyTwoBitsBecomeTwentyFourRowByRow) {
    auto bitmap = ThirtyTwoBitBitmap(dc_.Get(), 5, 2,
                                     {0xA1112233, 0xA2445566, 0xA3778899, 0xA4AABBCC, 0xA5DDEEFF,
                                      0xB1010203, 0xB2040506, 0xB3070809, 0xB40A0B0C, 0xB50D0E0F});
    Packed packed = Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 24, 32));
    EXPECT_EQ(HeaderBytes(5, 2, 24, 32), HeaderBytes(packed.header));
    EXPECT_EQ((std::vector<BYTE>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA,
                                 0xFF, 0xEE, 0xDD, 0x00,
                                 0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A,
                                 0x0F, 0x0E, 0x0D, 0x00}),
              packed.rest);
}

// The 1-bit table is black then white whatever the bitmap had; 33 pixels take two words a row.
TEST_F(PackedDibTest, OneBitImagesCarryBlackThenWhite) {
    const std::vector<BYTE> rows{0xF0, 0x0F, 0xAA, 0x55, 0x80, 0, 0, 0, 0x01, 0x02, 0x03, 0x04, 0x00, 0, 0, 0};
    auto bitmap = PalettedBitmap(dc_.Get(), 33, 2, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}}, rows);
    Packed packed = Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 24, 32));
    EXPECT_EQ(HeaderBytes(33, 2, 1, 16), HeaderBytes(packed.header));
    std::vector<BYTE> expected{0, 0, 0, 0, 255, 255, 255, 0};
    expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(expected, packed.rest);
}

// An 8-bit image keeps its whole palette and is not converted.
TEST_F(PackedDibTest, EightBitImagesCarryTheirPalette) {
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i) table[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    const std::vector<BYTE> rows{7, 200, 31, 0};
    auto bitmap = PalettedBitmap(dc_.Get(), 3, 1, 8, table, rows);
    Packed packed = Read(CreatePackedDIB(dc_.Get(), bitmap.Get(), 16, 32));
    EXPECT_EQ(HeaderBytes(3, 1, 8, 4), HeaderBytes(packed.header));
    std::vector<BYTE> expected(reinterpret_cast<const BYTE*>(table.data()),
                               reinterpret_cast<const BYTE*>(table.data()) + 256 * sizeof(RGBQUAD));
    expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(expected, packed.rest);
}

TEST_F(PackedDibTest, NoBitmapNoImage) { EXPECT_EQ(nullptr, CreatePackedDIB(dc_.Get(), nullptr, 24, 32)); }

}  // namespace
