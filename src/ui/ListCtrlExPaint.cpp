#include "ListCtrlEx.h"

#include <commctrl.h>

void CListCtrlEx::OnPaint() {
    HWND list = Handle();
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(list, &paint);
    if (!dc) return;
    {
        vb::ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        RECT client{};
        ::GetClientRect(list, &client);
        const int count = ItemCount();
        for (int i = static_cast<int>(Send(LVM_GETTOPINDEX)); i >= 0 && i < count; ++i) {
            DRAWITEMSTRUCT draw{};
            draw.CtlType = ODT_LISTVIEW;
            draw.CtlID = static_cast<UINT>(::GetDlgCtrlID(list));
            draw.itemID = static_cast<UINT>(i);
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = ODS_FOCUS;
            if (Send(LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) & LVIS_SELECTED) {
                draw.itemState |= ODS_SELECTED;
            }
            draw.hwndItem = list;
            draw.hDC = dc;
            draw.rcItem.left = LVIR_BOUNDS;
            Send(LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&draw.rcItem));
            if (draw.rcItem.top >= client.bottom) break;
            DrawItem(draw);
        }
    }
    ::EndPaint(list, &paint);
}

void CListCtrlEx::DrawItem(const DRAWITEMSTRUCT& draw) {
    HDC dc = draw.hDC;
    const int item = static_cast<int>(draw.itemID);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    HBRUSH background = selected ? ::GetSysColorBrush(COLOR_HIGHLIGHT)
                                 : (item % 2 == 0 ? evenBrush_.Get() : oddBrush_.Get());
    const COLORREF previousText = selected ? ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT)) : CLR_INVALID;
    ::FillRect(dc, &draw.rcItem, background);

    RECT client{};
    ::GetClientRect(Handle(), &client);
    RECT cell = draw.rcItem;
    cell.right = cell.left;
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i) {
        const int width = ColumnWidth(i);
        cell.left = cell.right;
        cell.right = cell.left + width;
        if (cell.left >= client.right) break;
        if (width == 0) continue;
        std::wstring text = ItemText(item, i);
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (IsRightAligned(i)) {
            // Keeps right-aligned values off the next column's edge.
            text += L' ';
            format |= DT_RIGHT;
        }
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell, format);
    }
    if (previousText != CLR_INVALID) ::SetTextColor(dc, previousText);
}
