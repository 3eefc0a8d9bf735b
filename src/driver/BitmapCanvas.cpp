#include "BitmapCanvas.h"

#include <vector>

BitmapCanvas::BitmapCanvas(HDC dc, LONG width, LONG height, int depth) : dc_(dc) {
    if (width <= 0 || height <= 0) return;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD), 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(depth);
    header->biCompression = BI_RGB;
    if (depth == 1) {
        auto* colours = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
        colours[1] = RGBQUAD{255, 255, 255, 0};
    }
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) return;
    previous_ = ::SelectObject(dc, bitmap_.Get());
    ::PatBlt(dc, 0, 0, width, height, WHITENESS);
}

BitmapCanvas::~BitmapCanvas() {
    if (previous_) ::SelectObject(dc_, previous_);
}
