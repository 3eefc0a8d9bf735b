#include "StdDialog.h"

#include <algorithm>

#include "Icons.h"
#include "ResourceIds.h"

namespace {

constexpr LONG kDialogFontHeight = -12;
constexpr LONG kDialogFontWeight = 400;

BOOL CALLBACK SetFontOnWindow(HWND window, LPARAM font) {
    ::SendMessageW(window, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

RECT ClientRectOf(HWND window, HWND dialog) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

CStdDialog::~CStdDialog() {
    // The window and its buttons' windows go first, then the icons and fonts they paint with.
    DestroyWindowNow();
}

BOOL CStdDialog::OnInitDialog() {
    BOOL result = Dialog::OnInitDialog();
    SetDialogFont();
    HWND dialog = Handle();
    if (::GetDlgItem(dialog, IDOK)) SubclassButton(IDOK);
    if (::GetDlgItem(dialog, IDCANCEL)) SubclassButton(IDCANCEL);
    TakeParentIcon();
    if (::GetDlgItem(dialog, IDOK)) SetButtonIcon(IDOK, IDI_BUTTON_OK);
    if (::GetDlgItem(dialog, IDCANCEL)) SetButtonIcon(IDCANCEL, IDI_BUTTON_CANCEL);
    return result;
}

BOOL CStdDialog::SubclassButton(UINT id) {
    buttons_.push_back(std::make_unique<CButtonEx>());
    return buttons_.back()->SubclassDlgItem(static_cast<int>(id), Handle());
}

void CStdDialog::SetButtonIcon(UINT id, UINT iconId) {
    vb::UniqueIcon icon = vb::LoadScaledIcon(iconId, kButtonIconSize);
    // The button owns the icon once it has it; a button that is no icon button never took it.
    HWND button = ::GetDlgItem(Handle(), static_cast<int>(id));
    if (button && dynamic_cast<CButtonEx*>(vb::Window::FromHandle(button))) {
        ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Release()));
    }
}

void CStdDialog::SetDialogFont() {
    HWND dialog = Handle();
    auto current = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!current || !::GetObjectW(current, sizeof(description), &description)) return;
    description.lfHeight = kDialogFontHeight;
    description.lfWeight = kDialogFontWeight;
    description.lfQuality = CLEARTYPE_QUALITY;
    vb::UniqueFont font(::CreateFontIndirectW(&description));
    if (!font) return;
    ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    // EnumChildWindows reaches the descendants at every level, not only the dialog's children.
    ::EnumChildWindows(dialog, SetFontOnWindow, reinterpret_cast<LPARAM>(font.Get()));
    dialogFont_ = std::move(font);
}

void CStdDialog::TakeParentIcon() {
    HWND parent = ParentWindow();
    if (!parent) return;
    auto icon = ::SendMessageW(parent, BM_GETIMAGE, IMAGE_ICON, 0);
    if (icon) ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, icon);
}

void CStdDialog::ResizeChild(HWND child, int cx, int cy) {
    HWND dialog = Handle();
    RECT rect = ClientRectOf(child, dialog);
    int margin = rect.left;
    ::SetWindowPos(child, nullptr, 0, 0, cx - 2 * margin, cy - margin - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
    if (!cancel) return;
    RECT cancelRect = ClientRectOf(cancel, dialog);
    int left = cx - cancelRect.top - (cancelRect.right - cancelRect.left);
    if (HWND before = ::GetWindow(cancel, GW_HWNDPREV)) {
        RECT beforeRect = ClientRectOf(before, dialog);
        left = std::max<int>(left, beforeRect.right + beforeRect.top);
    }
    ::SetWindowPos(cancel, nullptr, left, cancelRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
