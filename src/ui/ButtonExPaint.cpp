#include "ButtonExPaint.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include "UniqueHandle.h"

namespace vb {

namespace {

constexpr UINT kPressedBits = BST_CHECKED | BST_INDETERMINATE | BST_PUSHED;
constexpr COLORREF kHotCaption = 0xFF0000;
constexpr COLORREF kDisabledCaption = 0xC0C0C0;
constexpr COLORREF kCaptionShadow = 0xFFFFFF;
// Destination OR pattern: a light grey brush lightens every pixel of the icon.
constexpr DWORD kGreyIconRop = 0x00FA0089;

void PaintClassicFace(HDC dc, RECT face, int themeState) {
    if (themeState == PBS_DEFAULTED) {
        // The classic default button carries a dark frame around its face.
        ::FrameRect(dc, &face, ::GetSysColorBrush(COLOR_WINDOWFRAME));
        ::InflateRect(&face, -1, -1);
    }
    UINT flags = DFCS_BUTTONPUSH;
    if (themeState == PBS_PRESSED) flags |= DFCS_PUSHED;
    if (themeState == PBS_DISABLED) flags |= DFCS_INACTIVE;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, flags);
}

void PaintFace(HWND button, HDC dc, RECT client, int themeState) {
    UniqueTheme theme(::OpenThemeData(button, L"BUTTON"));
    if (!theme) {
        PaintClassicFace(dc, client, themeState);
        return;
    }
    // The button does not erase its background: the rounded corners show the parent's.
    if (::IsThemeBackgroundPartiallyTransparent(theme.Get(), BP_PUSHBUTTON, themeState)) {
        ::DrawThemeParentBackground(button, dc, &client);
    }
    ::DrawThemeBackground(theme.Get(), dc, BP_PUSHBUTTON, themeState, &client, nullptr);
}

void PaintIcon(HDC dc, const RECT& content, const IconButtonLook& look) {
    int x = (look.iconAlignment & kIconCentreHorizontally) ? (content.left + content.right - look.iconSize.cx) / 2
                                                            : content.left;
    int y = (look.iconAlignment & kIconCentreVertically) ? (content.top + content.bottom - look.iconSize.cy) / 2
                                                          : content.top;
    ::DrawIconEx(dc, x, y, look.icon, look.iconSize.cx, look.iconSize.cy, 0, nullptr, DI_NORMAL);
    if (!look.enabled) {
        ScopedSelect brush(dc, ::GetStockObject(LTGRAY_BRUSH));
        ::PatBlt(dc, x, y, look.iconSize.cx, look.iconSize.cy, kGreyIconRop);
    }
}

void PaintCaption(HDC dc, RECT content, const IconButtonLook& look) {
    ScopedSelect font(dc, look.captionFont);
    ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kFormat = DT_CENTER | DT_BOTTOM | DT_SINGLELINE;
    ::SetTextColor(dc, kCaptionShadow);
    ::DrawTextW(dc, look.caption, -1, &content, kFormat);
    ::OffsetRect(&content, -1, -1);
    ::SetTextColor(dc, look.captionColour);
    ::DrawTextW(dc, look.caption, -1, &content, kFormat);
}

}  // namespace

int IconButtonThemeState(bool enabled, bool hot, UINT buttonState, LONG style) noexcept {
    if (!enabled) return PBS_DISABLED;
    if (hot) return PBS_HOT;
    if (buttonState & kPressedBits) return PBS_PRESSED;
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return PBS_DEFAULTED;
    return PBS_NORMAL;
}

RECT IconButtonContentRect(const RECT& client, UINT buttonState) noexcept {
    RECT content = client;
    ::InflateRect(&content, -2, -3);
    if (buttonState & kPressedBits) ::OffsetRect(&content, 1, 1);
    return content;
}

COLORREF IconButtonCaptionColour(bool enabled, bool hot, COLORREF normal) noexcept {
    if (!enabled) return kDisabledCaption;
    return hot ? kHotCaption : normal;
}

void PaintIconButton(HWND button, HDC dc, const IconButtonLook& look) {
    int saved = ::SaveDC(dc);
    PaintFace(button, dc, look.client, look.themeState);
    RECT content = IconButtonContentRect(look.client, look.buttonState);
    PaintIcon(dc, content, look);
    if (look.buttonState & BST_FOCUS) {
        RECT focus = content;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
    if (look.caption && *look.caption) PaintCaption(dc, content, look);
    ::RestoreDC(dc, saved);
}

}  // namespace vb
