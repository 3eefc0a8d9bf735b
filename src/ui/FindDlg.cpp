#include "FindDlg.h"

#include <cwctype>
#include <string>

#include "ComboBoxView.h"
#include "ResourceIds.h"

namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

CFindDlg::CFindDlg(CListCtrlEx* list, HWND parent) noexcept : CStdDialog(IDD_FIND, parent), list_(list) {}

BOOL CFindDlg::Show() {
    if (!Handle() && Create()) CentreOverOwner();
    HWND dialog = Handle();
    if (!dialog) return FALSE;
    if (!::IsWindowVisible(dialog)) ::ShowWindow(dialog, SW_SHOW);
    ::SetForegroundWindow(dialog);
    ::UpdateWindow(dialog);
    return TRUE;
}

BOOL CFindDlg::OnInitDialog() {
    BOOL result = CStdDialog::OnInitDialog();
    if (list_) list_->FillColumnCombo(::GetDlgItem(Handle(), IDC_FIND_COLUMN));
    return result;
}

void CFindDlg::OnOK() {
    vb::ComboBoxView columns(::GetDlgItem(Handle(), IDC_FIND_COLUMN));
    const int selected = columns.GetCurSel();
    if (selected == CB_ERR || !list_) return;
    std::wstring criteria = WindowText(::GetDlgItem(Handle(), IDC_FIND_CRITERIA));
    size_t start = 0;
    while (start < criteria.size() && std::iswspace(criteria[start])) ++start;
    list_->Find(static_cast<int>(columns.GetItemData(selected)), criteria.substr(start));
}

void CFindDlg::OnCancel() {
    // Closed, it only hides: the next "Find" shows it again with its column and criteria.
    ::ShowWindow(Handle(), SW_HIDE);
}

void CFindDlg::CentreOverOwner() {
    HWND dialog = Handle();
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    RECT area{};
    if (!owner || !::GetWindowRect(owner, &area)) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT own{};
    ::GetWindowRect(dialog, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    ::SetWindowPos(dialog, nullptr, (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
