#pragma once
#include <windows.h>

namespace vb {

// Stops a control from painting while it is refilled, and repaints it once afterwards.
class RedrawLock {
public:
    explicit RedrawLock(HWND window) noexcept : window_(window) {
        if (window_) ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawLock() {
        if (!window_) return;
        ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawLock(const RedrawLock&) = delete;
    RedrawLock& operator=(const RedrawLock&) = delete;

private:
    HWND window_;
};

}  // namespace vb
