// The 24-bit and 1-bit forms are compared whole in the print-file tests of images and GDI text.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PackedDib.h"
#include "UniqueHandle.h"

namespace {

// A 32-bit DIB section filled pixel by pixel (B, G, R, unused).
vb::UniqueBitmap ThirtyTwoBitBitmap(HDC dc, LONG width, LONG height, const std::vector<DWORD>& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    vb::UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) std::memcpy(bits, pixels.data(), pixels.size() * 4);
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

TEST_F(PackedDibTest, NoBitmapNoImage) { EXPECT_EQ(nullptr, CreatePackedDIB(dc_.Get(), nullptr, 24, 32)); }

}  // namespace
