#include "DBOuputDlg.h"

#include <commctrl.h>

#include <cwchar>
#include <new>

#include "Base64.h"
#include "Bstr.h"
#include "ComboBoxView.h"
#include "Icons.h"
#include "ResourceIds.h"
#include "WorkSpace.h"

namespace {

// The "Find" button's icon is smaller than the command buttons' icons.
constexpr int kFindIconSize = 32;
constexpr COLORREF kReferenceColour = RGB(0, 0, 255);
constexpr COLORREF kComparisonColour = RGB(255, 0, 0);
// The user, date and system columns of both runs start hidden.
constexpr int kFirstHiddenColumn = 4;
constexpr int kLastHiddenColumn = 9;

struct DisplayMode {
    const wchar_t* text;
    int mode;
};
constexpr DisplayMode kDisplayModes[] = {
    {L"Hexa", vb::kPreviewHex},
    {L"Text", vb::kPreviewText},
    {L"Auto", vb::kPreviewDetect},
};

// The stored Base64 text into a new memory stream of `data`; false when it is no Base64 or
// cannot be held. The wide text is released on the way: a large capture is held three times
// over otherwise (wide, single-byte and decoded).
bool DecodeData(std::wstring& text, CStreamFile& data) {
    const UINT length = static_cast<UINT>(text.size());
    vb::Bstr bytes = vb::Bstr::Attach(::SysAllocStringByteLen(nullptr, length));
    if (!bytes.Get()) return false;
    char* out = reinterpret_cast<char*>(bytes.Get());
    // A character outside ASCII cannot belong to the alphabet; it must not turn into one.
    for (UINT i = 0; i < length; ++i) out[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    std::wstring().swap(text);
    CBase64 codec;
    if (codec.Decode(data, bytes.Get()) < 0) return false;
    return data.IsOpen() && data.SeekToBegin();
}

// Takes WS_VISIBLE away from a pane, so that loading does not paint it, and gives it back with
// one full repaint however the loading ends.
class HiddenWhileLoading {
public:
    explicit HiddenWhileLoading(HWND pane) noexcept : pane_(pane), style_(::GetWindowLongW(pane, GWL_STYLE)) {
        ::SetWindowLongW(pane_, GWL_STYLE, style_ & ~WS_VISIBLE);
    }
    ~HiddenWhileLoading() {
        ::SetWindowLongW(pane_, GWL_STYLE, style_ | WS_VISIBLE);
        ::InvalidateRect(pane_, nullptr, TRUE);
    }
    HiddenWhileLoading(const HiddenWhileLoading&) = delete;
    HiddenWhileLoading& operator=(const HiddenWhileLoading&) = delete;

private:
    HWND pane_;
    LONG style_;
};

}  // namespace

CDBOuputDlg::CDBOuputDlg(CWorkSpace* workSpace, HWND parent) noexcept
    : CStdDialog(IDD_RESULT_VIEWER, parent), workSpace_(workSpace) {}

CDBOuputDlg::~CDBOuputDlg() {
    // The windows go before the objects attached to them.
    findDlg_.reset();
    DestroyWindowNow();
}

COutputKey CDBOuputDlg::RowKey(const std::wstring& model, const std::wstring& script, const std::wstring& subItem) {
    COutputKey key;
    key.SetModel(model.c_str());
    // The list shows "<name> (<key>)": the key is in the last parentheses, whatever the name
    // holds.
    const size_t open = script.rfind(L'(');
    key.KEY = static_cast<int>(std::wcstol(script.c_str() + (open == std::wstring::npos ? 0 : open + 1), nullptr, 10));
    key.SetSubItem(subItem.c_str());
    return key;
}

BOOL CDBOuputDlg::OnInitDialog() {
    HWND dialog = Handle();
    // The controls are taken over first, so that their objects see the dialog font arrive.
    list_.SubclassDlgItem(IDC_RESULT_LIST, dialog);
    leftPreview_.SubclassDlgItem(IDC_RESULT_LEFT_PREVIEW, dialog);
    rightPreview_.SubclassDlgItem(IDC_RESULT_RIGHT_PREVIEW, dialog);
    displayMode_ = ::GetDlgItem(dialog, IDC_RESULT_DISPLAY_MODE);
    CStdDialog::OnInitDialog();

    if (::GetDlgItem(dialog, IDC_RESULT_FIND) && SubclassButton(IDC_RESULT_FIND)) {
        vb::UniqueIcon icon = vb::LoadScaledIcon(IDI_BUTTON_FIND, kFindIconSize);
        ::SendDlgItemMessageW(dialog, IDC_RESULT_FIND, BM_SETIMAGE, IMAGE_ICON,
                              reinterpret_cast<LPARAM>(icon.Release()));
    }
    FillDisplayModes();
    leftPreview_.SetDifferenceColour(kReferenceColour);
    rightPreview_.SetDifferenceColour(kComparisonColour);
    leftPreview_.LinkWith(&rightPreview_);
    FillList();
    // Only these columns change: the others keep the widths the fill gave them.
    for (int column = kFirstHiddenColumn; column <= kLastHiddenColumn; ++column) {
        ListView_SetColumnWidth(list_.Handle(), column, 0);
    }
    ::ShowWindow(dialog, SW_SHOWMAXIMIZED);
    return TRUE;
}

void CDBOuputDlg::FillDisplayModes() {
    vb::ComboBoxView combo(displayMode_);
    for (const DisplayMode& mode : kDisplayModes) {
        const int at = combo.AddString(mode.text);
        if (at >= 0) combo.SetItemData(at, mode.mode);
    }
    combo.SetCurSel(combo.FindString(L"Auto"));
}

void CDBOuputDlg::FillList() {
    if (workSpace_) workSpace_->LoadResultsList(list_.Handle(), failedOnly_);
    failedOnly_ = FALSE;
}

bool CDBOuputDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_RESULT_DISPLAY_MODE && code == CBN_SELCHANGE) {
        OnSelChangeDisplayMode();
        return true;
    }
    if (id == IDC_RESULT_FIND && code == BN_CLICKED) {
        OnFind();
        return true;
    }
    return CStdDialog::OnCommand(id, code, control);
}

LRESULT CDBOuputDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            LRESULT result = Default();
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return result;
        }
        case CListCtrlEx::kRefillMessage:
            FillList();
            return 1;
        case WM_NOTIFY: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (!change || change->hdr.hwndFrom != list_.Handle() || change->hdr.code != LVN_ITEMCHANGED) break;
            // Only a change of the selection can change what the panes show: a focus change
            // alone would load the same item once more.
            if ((change->uChanged & LVIF_STATE) && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) {
                UpdatePreviews();
            }
            return 0;
        }
        default:
            break;
    }
    return CStdDialog::OnMessage(message, wParam, lParam);
}

void CDBOuputDlg::UpdatePreviews() {
    // The list sorting, finding or fitting its columns changes the selection row by row.
    if (list_.IsBusy()) return;
    HWND list = list_.Handle();
    if (::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1) {
        const int row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        const BOOL failed = std::wcstol(list_.ItemText(row, 0).c_str(), nullptr, 10) == 0;
        COutputKey key = RowKey(list_.ItemText(row, 1), list_.ItemText(row, 2), list_.ItemText(row, 3));
        int mode = SelectedDisplayMode();
        // The right pane is painted once, after both sides are in, so that each can look for
        // the first difference against the other's new data.
        HiddenWhileLoading hidden(rightPreview_.Handle());
        key.reference = FALSE;
        LoadPreview(key, failed, &mode);
        // An "Auto" that the comparison data decided shows the reference data the same way.
        key.reference = TRUE;
        LoadPreview(key, failed, &mode);
    }
    ::SetFocus(list);
}

void CDBOuputDlg::LoadPreview(const COutputKey& key, BOOL failed, int* mode) {
    CFilePreviewCtrl& target = key.reference ? leftPreview_ : rightPreview_;
    CStreamFile data;
    try {
        std::wstring text;
        bool read = workSpace_ && workSpace_->GetOutputData(text, key);
        // The row's text has been copied out: the rowset need not keep its own copy.
        if (workSpace_) workSpace_->ResultsDatabase().Close();
        // Data that cannot be read or decoded must not leave the previous item's bytes in the
        // pane under this item's name.
        if (!read || (!text.empty() && !DecodeData(text, data))) {
            target.Clear();
            return;
        }
    } catch (const std::bad_alloc&) {
        target.Clear();
        return;
    }
    // Empty data leave the pane's mode as it was: it says nothing about the other side's data.
    const bool hasData = data.IsOpen();
    if (target.SetFile(data, failed, *mode) == 1 && *mode == vb::kPreviewDetect && hasData) *mode = target.Mode();
}

void CDBOuputDlg::OnSelChangeDisplayMode() {
    const int mode = SelectedDisplayMode();
    leftPreview_.SetMode(mode);
    rightPreview_.SetMode(mode);
}

void CDBOuputDlg::OnFind() {
    if (!findDlg_) findDlg_ = std::make_unique<CFindDlg>(&list_, ::GetDlgItem(Handle(), IDC_RESULT_FIND));
    findDlg_->Show();
}

int CDBOuputDlg::SelectedDisplayMode() const {
    vb::ComboBoxView combo(displayMode_);
    const int selected = combo.GetCurSel();
    return selected == CB_ERR ? -1 : static_cast<int>(combo.GetItemData(selected));
}
