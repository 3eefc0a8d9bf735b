#pragma once
#include <windows.h>

#include "UniqueHandle.h"

// A white bitmap of a given size and depth, selected into a DC for as long as the canvas
// lives. Depth 1 gives a black and white DIB section: a halftone stretch into a 1-bit
// device-dependent bitmap comes out black on some platforms, a DIB section does not.
class BitmapCanvas {
public:
    BitmapCanvas(HDC dc, LONG width, LONG height, int depth);
    ~BitmapCanvas();
    BitmapCanvas(const BitmapCanvas&) = delete;
    BitmapCanvas& operator=(const BitmapCanvas&) = delete;

    explicit operator bool() const noexcept { return static_cast<bool>(bitmap_); }
    HBITMAP Bitmap() const noexcept { return bitmap_.Get(); }

private:
    HDC dc_;
    vb::UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};
