#include "PackedDib.h"

#include <cstring>
#include <vector>

namespace {

DWORD RowSize(int bitsPerPixel, LONG width) {
    return static_cast<DWORD>(((bitsPerPixel * width + 31) / 32) * 4);
}

// A locked global block that unlocks itself.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL block) : block_(block), data_(static_cast<BYTE*>(::GlobalLock(block))) {}
    ~LockedBlock() {
        if (data_) ::GlobalUnlock(block_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    BYTE* Data() const { return data_; }

private:
    HGLOBAL block_;
    BYTE* data_;
};

// Rewrites 32-bit rows in place, row by row, at the smaller depth; returns the new row size.
DWORD ConvertRows(BYTE* pixels, LONG width, LONG height, int targetBits) {
    const DWORD sourceRow = RowSize(32, width);
    const DWORD targetRow = RowSize(targetBits, width);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* source = pixels + static_cast<size_t>(y) * sourceRow;
        BYTE* target = pixels + static_cast<size_t>(y) * targetRow;
        for (LONG x = 0; x < width; ++x) {
            BYTE blue = source[4 * x], green = source[4 * x + 1], red = source[4 * x + 2];
            if (targetBits == 16) {
                WORD word = static_cast<WORD>((red * 31 / 255) << 11 | (green * 63 / 255) << 5 | (blue * 31 / 255));
                std::memcpy(target + 2 * x, &word, 2);
            } else {
                target[3 * x] = blue;
                target[3 * x + 1] = green;
                target[3 * x + 2] = red;
            }
        }
        // Each row's end is padded to whole 32-bit words.
        std::memset(target + (targetBits / 8) * width, 0, targetRow - (targetBits / 8) * width);
    }
    return targetRow;
}

}  // namespace

std::vector<BYTE> MakeBitmapInfo(LONG width, LONG height, int bitsPerPixel) {
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bitsPerPixel);
    header->biCompression = BI_RGB;
    return info;
}

HGLOBAL CreatePackedDIB(HDC memoryDC, HBITMAP bitmap, int requestedBits, int screenDepth) {
    if (!bitmap) return nullptr;
    BITMAP description{};
    if (!::GetObjectW(bitmap, sizeof description, &description) || description.bmWidth <= 0 ||
        description.bmHeight <= 0) {
        return nullptr;
    }
    const int bits = description.bmBitsPixel * description.bmPlanes;
    const LONG width = description.bmWidth;
    const LONG height = description.bmHeight;
    // 1-bit images carry black and white; 4- and 8-bit ones their full palette.
    const DWORD tableEntries = bits == 1 ? 2 : bits <= 8 ? (1u << bits) : 0;
    const DWORD tableSize = tableEntries * sizeof(RGBQUAD);
    const DWORD imageSize = RowSize(bits, width) * static_cast<DWORD>(height);

    std::vector<BYTE> info = MakeBitmapInfo(width, height, bits);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSizeImage = imageSize;

    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + tableSize + imageSize);
    if (!block) return nullptr;
    DWORD finalImageSize = imageSize;
    {
        LockedBlock locked(block);
        BYTE* pixels = locked.Data() ? locked.Data() + sizeof(BITMAPINFOHEADER) + tableSize : nullptr;
        if (!pixels || !::GetDIBits(memoryDC, bitmap, 0, static_cast<UINT>(height), pixels,
                                    reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS)) {
            ::GlobalFree(block);
            return nullptr;
        }
        // GetDIBits may have filled in a size of its own; the block's layout is ours.
        header->biSizeImage = imageSize;
        header->biCompression = BI_RGB;
        if (bits == 1) {
            RGBQUAD blackAndWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
            std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), blackAndWhite, sizeof blackAndWhite);
        }
        int target = requestedBits == 4 || requestedBits == 8 ? 16 : requestedBits;
        bool convert = bits == 32 && screenDepth == 32 && requestedBits != bits && (target == 16 || target == 24);
        if (convert) {
            finalImageSize = ConvertRows(pixels, width, height, target) * static_cast<DWORD>(height);
            header->biBitCount = static_cast<WORD>(target);
            header->biSizeImage = finalImageSize;
        }
        std::memcpy(locked.Data(), info.data(), sizeof(BITMAPINFOHEADER) + tableSize);
    }
    HGLOBAL shrunk = ::GlobalReAlloc(block, sizeof(BITMAPINFOHEADER) + tableSize + finalImageSize, GMEM_MOVEABLE);
    if (!shrunk) {
        ::GlobalFree(block);
        return nullptr;
    }
    return shrunk;
}
