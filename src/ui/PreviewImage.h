#pragma once
#include <windows.h>

#include "CriticalSection.h"
#include "UniqueHandle.h"

namespace vb {

// The bitmap a pane shows in image mode, with its palette; guarded by its own lock, apart from
// the pane's data.
class PreviewImage {
public:
    PreviewImage() = default;
    PreviewImage(const PreviewImage&) = delete;
    PreviewImage& operator=(const PreviewImage&) = delete;

    // Takes both handles over; either may be null.
    void Set(HBITMAP bitmap, HPALETTE palette);
    void Free();
    // Draws the bitmap into `area` as large as it fits, keeping its aspect ratio and centred
    // across the other axis; false when there is none.
    bool Draw(HDC dc, const RECT& area);

private:
    CriticalSection lock_;
    UniqueBitmap bitmap_;
    UniqueHandle<GdiObjectTraits<HPALETTE>> palette_;
};

}  // namespace vb
