#include "ScreenDpi.h"

#include <optional>

namespace vb {

namespace {

std::optional<PixelsPerInch>& Current() {
    static std::optional<PixelsPerInch> value;
    return value;
}

PixelsPerInch ReadFromScreen() {
    PixelsPerInch value;
    // The window DC of no window is the screen's.
    if (HDC screen = ::GetWindowDC(nullptr)) {
        value.x = ::GetDeviceCaps(screen, LOGPIXELSX);
        value.y = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    return value;
}

}  // namespace

PixelsPerInch ScreenPixelsPerInch() {
    auto& current = Current();
    if (!current) current = ReadFromScreen();
    return *current;
}

PixelsPerInch SetScreenPixelsPerInch(PixelsPerInch value) {
    PixelsPerInch previous = ScreenPixelsPerInch();
    Current() = value;
    return previous;
}

SIZE ScaleToScreen(int width, int height) {
    PixelsPerInch dpi = ScreenPixelsPerInch();
    return {::MulDiv(width, dpi.x, 96), ::MulDiv(height, dpi.y, 96)};
}

}  // namespace vb
