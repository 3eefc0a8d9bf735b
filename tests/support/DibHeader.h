#pragma once
#include <windows.h>

namespace vb::test {

// The header of an uncompressed image of one plane (bottom-up for a positive height); the other
// fields are 0 for the caller to fill.
inline BITMAPINFOHEADER DibHeader(LONG width, LONG height, WORD bitCount) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    return header;
}

}  // namespace vb::test
