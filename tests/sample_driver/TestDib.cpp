#include "TestDib.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace vb::test {

namespace {
size_t RowSize(LONG width, WORD bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }
}  // namespace

std::vector<BYTE> MakeDib(LONG width, LONG height, WORD bits, DWORD tableEntries, DWORD clrUsed, DWORD headerSize) {
    BITMAPINFOHEADER header{};
    header.biSize = headerSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = BI_RGB;
    header.biClrUsed = clrUsed;
    const size_t rows = static_cast<size_t>(std::labs(height));
    std::vector<BYTE> dib(headerSize + tableEntries * sizeof(RGBQUAD) + RowSize(width, bits) * rows);
    for (size_t i = headerSize; i < dib.size(); ++i) dib[i] = static_cast<BYTE>(i * 7 + 1);
    std::memcpy(dib.data(), &header, sizeof header);
    return dib;
}

std::string PixelBytes(const std::vector<BYTE>& dib, DWORD tableEntries, DWORD headerSize) {
    const size_t start = headerSize + tableEntries * sizeof(RGBQUAD);
    return std::string(dib.begin() + static_cast<std::ptrdiff_t>(start), dib.end());
}

GlobalBlock::GlobalBlock(const std::vector<BYTE>& bytes) : block_(::GlobalAlloc(GMEM_MOVEABLE, bytes.size())) {
    if (!block_) return;
    if (void* data = ::GlobalLock(block_)) {
        std::memcpy(data, bytes.data(), bytes.size());
        ::GlobalUnlock(block_);
    }
}

GlobalBlock::~GlobalBlock() {
    if (block_) ::GlobalFree(block_);
}

}  // namespace vb::test
