#include "CheckListBox.h"

#include <windowsx.h>

#include <string>

#include "CheckListView.h"
#include "UniqueHandle.h"

bool CCheckListBox::SubclassDlgItem(int id, HWND dialog) {
    if (!Attach(::GetDlgItem(dialog, id))) return false;
    // The entries were measured before the dialog font was set.
    HWND list = Handle();
    vb::ScopedWindowDC dc(list);
    auto font = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(dc.Get(), font) : nullptr;
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    if (old) ::SelectObject(dc.Get(), old);
    ::SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight + 4, 0));
    return true;
}

int CCheckListBox::BoxSize() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

void CCheckListBox::Toggle(int index) {
    vb::CheckListView view(Handle());
    if (!view.SetCheck(index, !view.GetCheck(index))) return;
    RECT rect{};
    if (::SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) != LB_ERR) {
        ::InvalidateRect(Handle(), &rect, FALSE);
    }
}

LRESULT CCheckListBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        LRESULT hit = ::SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        if (HIWORD(hit) == 0 && point.x < BoxSize()) Toggle(LOWORD(hit));
    } else if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        int caret = static_cast<int>(::SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0));
        if (caret >= 0) Toggle(caret);
        return 0;
    }
    return Default();
}

bool CCheckListBox::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CCheckListBox::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) return;
    const int index = static_cast<int>(item.itemID);
    vb::CheckListView view(Handle());
    const int box = item.rcItem.bottom - item.rcItem.top;
    RECT check{item.rcItem.left + 2, item.rcItem.top + 2, item.rcItem.left + box - 2, item.rcItem.bottom - 2};
    ::DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (view.GetCheck(index) ? DFCS_CHECKED : 0));
    RECT text = item.rcItem;
    text.left += box + 2;
    const std::wstring label = view.GetText(index);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
}
