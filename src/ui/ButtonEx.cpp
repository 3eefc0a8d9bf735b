#include "ButtonEx.h"

#include "ButtonExPaint.h"
#include "Icons.h"

namespace {

constexpr LONG kBoldWeight = 700;

}  // namespace

int CButtonEx::ThemeState() const {
    HWND button = Handle();
    return vb::IconButtonThemeState(::IsWindowEnabled(button) != FALSE, hot_,
                                    static_cast<UINT>(::SendMessageW(button, BM_GETSTATE, 0, 0)),
                                    ::GetWindowLongW(button, GWL_STYLE));
}

RECT CButtonEx::ContentRect() const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    return vb::IconButtonContentRect(client, static_cast<UINT>(::SendMessageW(Handle(), BM_GETSTATE, 0, 0)));
}

void CButtonEx::PreSubclassWindow() {
    HWND button = Handle();
    // The caption's buffer holds kMaxCaption characters and the terminator.
    wchar_t text[kMaxCaption + 1] = {};
    ::SendMessageW(button, WM_GETTEXT, kMaxCaption + 1, reinterpret_cast<LPARAM>(text));
    caption_ = text;
    // The control keeps its own icon; the copy is ours.
    if (auto shown = reinterpret_cast<HICON>(::SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0))) {
        icon_.Reset(::CopyIcon(shown));
    }
    BuildCaptionFont();
    MeasureHeldIcon();
}

LRESULT CButtonEx::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case BM_SETIMAGE:
            if (wParam != IMAGE_ICON) break;
            icon_.Reset(reinterpret_cast<HICON>(lParam));
            MeasureHeldIcon();
            return 0;
        case BM_GETIMAGE:
            if (wParam != IMAGE_ICON) break;
            return reinterpret_cast<LRESULT>(icon_.Get());
        case WM_PAINT: {
            if (!icon_) break;
            PAINTSTRUCT paint;
            if (HDC dc = ::BeginPaint(Handle(), &paint)) {
                Paint(dc);
                ::EndPaint(Handle(), &paint);
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            if (!icon_) break;
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETTEXT:
            SetCaption(reinterpret_cast<const wchar_t*>(lParam));
            return TRUE;
        case WM_SETFONT: {
            LRESULT result = Default();
            BuildCaptionFont();
            return result;
        }
        case WM_ENABLE: {
            LRESULT result = Default();
            Invalidate(true);
            return result;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            // The system's button draws its focus mark straight onto the screen; ours replaces it.
            LRESULT result = Default();
            if (icon_) Invalidate(false);
            return result;
        }
        case WM_MOUSEMOVE: {
            LRESULT result = Default();
            if (!hot_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), HOVER_DEFAULT};
                ::TrackMouseEvent(&track);
                hot_ = true;
                Invalidate(true);
            }
            return result;
        }
        case WM_MOUSELEAVE: {
            LRESULT result = Default();
            hot_ = false;
            Invalidate(true);
            return result;
        }
        default:
            break;
    }
    return Default();
}

void CButtonEx::SetCaption(const wchar_t* text) {
    caption_ = text ? std::wstring(text).substr(0, kMaxCaption) : std::wstring();
}

void CButtonEx::BuildCaptionFont() {
    auto controlFont = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!controlFont || !::GetObjectW(controlFont, sizeof(description), &description)) return;
    if (captionFontHeight_ != -1) {
        description.lfHeight = captionFontHeight_;
        description.lfWeight = kBoldWeight;
        description.lfQuality = CLEARTYPE_QUALITY;
    }
    // A font that cannot be made leaves the previous one in use.
    vb::UniqueFont made(::CreateFontIndirectW(&description));
    if (made) font_ = std::move(made);
}

void CButtonEx::MeasureHeldIcon() {
    if (!icon_) return;
    SIZE size = vb::MeasureIcon(icon_.Get(), {32, 32});
    iconWidth_ = size.cx;
    iconHeight_ = size.cy;
}

void CButtonEx::Paint(HDC dc) {
    HWND button = Handle();
    bool enabled = ::IsWindowEnabled(button) != FALSE;
    vb::IconButtonLook look{};
    ::GetClientRect(button, &look.client);
    look.buttonState = static_cast<UINT>(::SendMessageW(button, BM_GETSTATE, 0, 0));
    look.themeState = vb::IconButtonThemeState(enabled, hot_, look.buttonState, ::GetWindowLongW(button, GWL_STYLE));
    look.enabled = enabled;
    look.icon = icon_.Get();
    look.iconSize = IconSize();
    look.iconAlignment = iconAlignment_;
    look.caption = caption_.c_str();
    look.captionFont = font_.Get();
    look.captionColour = vb::IconButtonCaptionColour(enabled, hot_, normalCaptionColour_);
    vb::PaintIconButton(button, dc, look);
}
