#include "HeaderCtrlEx.h"

#include <commctrl.h>

#include <string>

#include "KeyState.h"
#include "UniqueHandle.h"

namespace {

constexpr int kTextCapacity = 260;
constexpr COLORREF kArrowColour = RGB(64, 64, 64);

TRIVERTEX Vertex(LONG x, LONG y, COLORREF colour) {
    return {x, y, static_cast<COLOR16>(GetRValue(colour) << 8), static_cast<COLOR16>(GetGValue(colour) << 8),
            static_cast<COLOR16>(GetBValue(colour) << 8), 0};
}

void FillVerticalGradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom) {
    TRIVERTEX corners[2] = {Vertex(area.left, area.top, top), Vertex(area.right, area.bottom, bottom)};
    GRADIENT_RECT span{0, 1};
    ::GradientFill(dc, corners, 2, &span, 1, GRADIENT_FILL_RECT_V);
}

// A filled triangle in the middle of a kArrowSize square whose top left corner is `origin`.
void PaintSortArrow(HDC dc, POINT origin, bool ascending) {
    const LONG left = origin.x + 4, right = origin.x + 12, mid = origin.x + 8;
    const LONG top = origin.y + 5, bottom = origin.y + 10;
    POINT points[3];
    if (ascending) {
        points[0] = {mid, top};
        points[1] = {right, bottom};
        points[2] = {left, bottom};
    } else {
        points[0] = {left, top};
        points[1] = {right, top};
        points[2] = {mid, bottom};
    }
    vb::UniqueHandle<vb::GdiObjectTraits<HBRUSH>> brush(::CreateSolidBrush(kArrowColour));
    vb::ScopedSelect selectBrush(dc, brush.Get());
    vb::ScopedSelect selectPen(dc, ::GetStockObject(NULL_PEN));
    ::Polygon(dc, points, 3);
}

}  // namespace

int CHeaderCtrlEx::HotItem() const {
    POINT cursor{};
    if (!Handle() || !::GetCursorPos(&cursor) || !::ScreenToClient(Handle(), &cursor)) return -1;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (!::PtInRect(&client, cursor)) return -1;
    HDHITTESTINFO hit{};
    hit.pt = cursor;
    return static_cast<int>(::SendMessageW(Handle(), HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

LRESULT CHeaderCtrlEx::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case HDM_LAYOUT: {
            LRESULT result = Default();
            auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
            if (result && layout && layout->prc && layout->pwpos) {
                layout->pwpos->cy = kHeight;
                layout->prc->top = layout->pwpos->y + kHeight;
            }
            return result;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = ::BeginPaint(Handle(), &paint)) {
                Paint(dc);
                ::EndPaint(Handle(), &paint);
            }
            return 0;
        }
        case WM_MOUSEMOVE: {
            LRESULT result = Default();
            TrackHotItem();
            return result;
        }
        case WM_MOUSELEAVE: {
            LRESULT result = Default();
            hotItem_ = -1;
            ::InvalidateRect(Handle(), nullptr, FALSE);
            return result;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            // The pressed item sinks and rises again.
            LRESULT result = Default();
            if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
            return result;
        }
        default:
            break;
    }
    return Default();
}

void CHeaderCtrlEx::TrackHotItem() {
    int hot = HotItem();
    if (hot == hotItem_) return;
    if (hotItem_ == -1) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), HOVER_DEFAULT};
        ::TrackMouseEvent(&track);
    }
    hotItem_ = hot;
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void CHeaderCtrlEx::Paint(HDC dc) {
    HWND header = Handle();
    RECT client{};
    ::GetClientRect(header, &client);
    vb::ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(header, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::IsWindowEnabled(header) ? ::GetSysColor(COLOR_BTNTEXT) : kDisabledText);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));

    const int hot = HotItem();
    const bool pressed = hot != -1 && vb::IsKeyDown(VK_LBUTTON);
    const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    RECT bounds{0, client.top, 0, client.bottom};
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        bounds.left = bounds.right;
        bounds.right = bounds.left + item.cxy;
        PaintItem(dc, i, bounds, i == hot, i == hot && pressed);
    }
}

void CHeaderCtrlEx::PaintItem(HDC dc, int index, RECT bounds, bool hot, bool pressed) {
    wchar_t text[kTextCapacity] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = kTextCapacity;
    ::SendMessageW(Handle(), HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));

    FillVerticalGradient(dc, bounds, kGradientTop, hot ? kGradientBottomHot : kGradientBottom);
    if (index > 0) ::DrawEdge(dc, &bounds, EDGE_ETCHED, BF_LEFT);

    RECT content = bounds;
    if (pressed) ::OffsetRect(&content, 1, 1);
    if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) {
        POINT origin{(content.left + content.right - kArrowSize) / 2, content.top};
        PaintSortArrow(dc, origin, (item.fmt & HDF_SORTUP) != 0);
    }
    content.top += kArrowSize;
    // The title keeps one blank on either side; an '&' in it is a character, not a mnemonic.
    std::wstring title = L" " + std::wstring(text) + L" ";
    UINT format = DT_SINGLELINE | DT_TOP | DT_END_ELLIPSIS | DT_NOPREFIX;
    format |= (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT : DT_LEFT;
    ::DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &content, format);
}
