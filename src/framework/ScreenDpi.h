#pragma once
#include <windows.h>

namespace vb {

// The screen's logical pixels per inch, one value per axis.
struct PixelsPerInch {
    int x = 96;
    int y = 96;
};

// Read from the screen once, on first use, unless set before; the same for the whole program.
PixelsPerInch ScreenPixelsPerInch();
// Start-up and tests choose the value; what was in effect is returned.
PixelsPerInch SetScreenPixelsPerInch(PixelsPerInch value);

// A size given at 96 pixels per inch, scaled to the screen: each axis by its own value.
SIZE ScaleToScreen(int width, int height);

}  // namespace vb
