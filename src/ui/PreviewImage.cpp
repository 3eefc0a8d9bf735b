#include "PreviewImage.h"

namespace vb {

void PreviewImage::Set(HBITMAP bitmap, HPALETTE palette) {
    SectionGuard guard(lock_);
    bitmap_.Reset(bitmap);
    palette_.Reset(palette);
}

void PreviewImage::Free() { Set(nullptr, nullptr); }

bool PreviewImage::Draw(HDC dc, const RECT& area) {
    SectionGuard guard(lock_);
    BITMAP info{};
    if (!bitmap_ || !::GetObjectW(bitmap_.Get(), sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return false;
    }
    UniqueDC memory(::CreateCompatibleDC(dc));
    if (!memory) return false;
    ScopedSelect selected(memory.Get(), bitmap_.Get());
    HPALETTE previous = nullptr;
    if (palette_) {
        previous = ::SelectPalette(dc, palette_.Get(), FALSE);
        ::RealizePalette(dc);
    }
    long long width = area.right - area.left, height = area.bottom - area.top;
    long long drawWidth = width, drawHeight = height;
    // Rectangle relatively taller than the bitmap (height / bmHeight > width / bmWidth): the
    // width fills; else the height does.
    if (height * info.bmWidth > width * info.bmHeight) {
        drawHeight = info.bmHeight * width / info.bmWidth;
    } else {
        drawWidth = info.bmWidth * height / info.bmHeight;
    }
    int left = area.left + static_cast<int>((width - drawWidth) / 2);
    int top = area.top + static_cast<int>((height - drawHeight) / 2);
    int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, left, top, static_cast<int>(drawWidth), static_cast<int>(drawHeight), memory.Get(), 0, 0,
                 info.bmWidth, info.bmHeight, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
    if (previous) ::SelectPalette(dc, previous, FALSE);
    return true;
}

}  // namespace vb
