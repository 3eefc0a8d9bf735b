#include "Icons.h"

#include "ScreenDpi.h"

namespace vb {

UniqueIcon LoadScaledIcon(UINT id, int size) {
    SIZE scaled = ScaleToScreen(size, size);
    return UniqueIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                      scaled.cx, scaled.cy, 0)));
}

SIZE MeasureIcon(HICON icon, SIZE fallback) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return fallback;
    // GetIconInfo hands out copies of both bitmaps.
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    BITMAP bitmap{};
    if (!colour || ::GetObjectW(colour.Get(), sizeof(bitmap), &bitmap) != sizeof(bitmap)) return fallback;
    return {bitmap.bmWidth, bitmap.bmHeight};
}

}  // namespace vb
