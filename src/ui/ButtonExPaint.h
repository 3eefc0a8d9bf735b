#pragma once
#include <windows.h>

namespace vb {

// The decisions of the icon button's painting, apart from the drawing so they can be tested
// and reused. `buttonState` is what BM_GETSTATE answers; `style` the window style.

// The push-button theme state (PBS_*): disabled, then hot, then pressed, then default. The hot
// test comes first: a button pressed with the mouse over it is painted hot, and only the
// content offset shows the press.
int IconButtonThemeState(bool enabled, bool hot, UINT buttonState, LONG style) noexcept;
// The client rectangle less 2 pixels at the sides and 3 at top and bottom; one pixel right and
// down while checked, indeterminate or pushed.
RECT IconButtonContentRect(const RECT& client, UINT buttonState) noexcept;
COLORREF IconButtonCaptionColour(bool enabled, bool hot, COLORREF normal) noexcept;

// Icon alignment flags.
constexpr UINT kIconCentreHorizontally = 0x1;
constexpr UINT kIconCentreVertically = 0x4;

// Everything one painting draws.
struct IconButtonLook {
    RECT client;
    int themeState;
    UINT buttonState;
    bool enabled;
    HICON icon;
    SIZE iconSize;
    UINT iconAlignment;
    const wchar_t* caption;
    HFONT captionFont;
    COLORREF captionColour;
};

// The push-button face in the theme of `button`, or a classic face when themes are off; then
// the icon (greyed when disabled), the focus mark and the caption with its white shadow.
void PaintIconButton(HWND button, HDC dc, const IconButtonLook& look);

}  // namespace vb
