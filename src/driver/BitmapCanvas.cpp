#include "BitmapCanvas.h"

#include <vector>

#include "PackedDib.h"

BitmapCanvas::BitmapCanvas(HDC dc, LONG width, LONG height, int depth) : dc_(dc) {
    if (width <= 0 || height <= 0) return;
    std::vector<BYTE> info = MakeBitmapInfo(width, height, depth);
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
