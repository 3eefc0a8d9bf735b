#include "EditEx.h"

#include <commctrl.h>

#include <string>

#include "ListCtrlEx.h"
#include "UniqueHandle.h"

HHOOK CEditEx::hook_ = nullptr;
CEditEx* CEditEx::hookEditor_ = nullptr;

namespace {

// Room for the caret and a character more beyond the text.
constexpr int kTextMargin = 20;
constexpr LONG kNumberStyles = ES_RIGHT | ES_NUMBER;

// Messages that tell the focus or the mouse went to another window of the thread.
bool MovesAway(UINT message) noexcept {
    return message == WM_ACTIVATE || message == WM_SETFOCUS || message == WM_PARENTNOTIFY ||
           message == WM_CAPTURECHANGED;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

CEditEx::~CEditEx() {
    RemoveHook();
    if (HWND editor = Handle()) {
        Detach();
        ::DestroyWindow(editor);
    }
}

void CEditEx::BeginEdit(int item, int subItem, RECT cell) {
    HWND list = owner_->Handle();
    if (!list || !::IsWindow(list)) return;
    if (item < 0 || item >= owner_->ItemCount() || subItem < 0 || subItem >= owner_->ColumnCount()) return;
    const std::wstring text = owner_->ItemText(item, subItem);
    const bool number = (owner_->ColumnFormat(subItem) & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT;
    if (!Handle() && !CreateEditor(list)) return;
    item_ = item;
    subItem_ = subItem;
    HWND editor = Handle();

    SIZE extent{};
    {
        vb::ScopedWindowDC dc(editor);
        vb::ScopedSelect font(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(editor, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    if (cell.right - cell.left < extent.cx + kTextMargin) cell.right = cell.left + extent.cx + kTextMargin;
    ::MoveWindow(editor, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, TRUE);
    LONG style = ::GetWindowLongW(editor, GWL_STYLE) & ~kNumberStyles;
    ::SetWindowLongW(editor, GWL_STYLE, number ? style | kNumberStyles : style);

    ::SetWindowTextW(editor, text.c_str());
    ::ShowWindow(editor, SW_SHOW);
    ::SendMessageW(editor, EM_SETSEL, 0, -1);
    ::SendMessageW(editor, EM_SCROLLCARET, 0, 0);
    ::SetFocus(editor);
}

void CEditEx::EndEdit(BOOL commit) {
    HWND list = owner_->Handle();
    if (!list || !::IsWindow(list) || item_ == -1) return;
    std::wstring text;
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = list;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    info.hdr.code = LVN_ENDLABELEDITW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item_;
    info.item.iSubItem = subItem_;
    if (commit) {
        text = WindowText(Handle());
        info.item.pszText = text.data();
        LVITEMW cell{};
        cell.iSubItem = subItem_;
        cell.pszText = text.data();
        ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item_), reinterpret_cast<LPARAM>(&cell));
    }
    // Closed before anyone hears of it: whatever the notification sets off cannot close it twice.
    item_ = -1;
    subItem_ = -1;
    ::ShowWindow(Handle(), SW_HIDE);
    ::SendMessageW(::GetParent(list), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
}

LRESULT CEditEx::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: {
            LRESULT result = Default();
            switch (wParam) {
                case VK_TAB:
                case VK_UP:
                case VK_DOWN:
                    EndEdit(TRUE);
                    ::PostMessageW(owner_->Handle(), WM_KEYDOWN, wParam, lParam);
                    ReturnFocusToList();
                    break;
                case VK_RETURN:
                    EndEdit(TRUE);
                    ReturnFocusToList();
                    break;
                case VK_ESCAPE:
                    EndEdit(FALSE);
                    ReturnFocusToList();
                    break;
                default:
                    break;
            }
            return result;
        }
        case WM_CHAR:
            // The keys that close the editor are not typed into it.
            if (wParam == L'\t' || wParam == L'\r' || wParam == 0x1B) return 0;
            break;
        case WM_GETDLGCODE:
            return Default() | DLGC_WANTALLKEYS;
        default:
            break;
    }
    return Default();
}

void CEditEx::OnWindowDestroyed(HWND) {
    item_ = -1;
    subItem_ = -1;
    RemoveHook();
}

bool CEditEx::CreateEditor(HWND list) {
    HWND editor = ::CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, L"Edit", L"",
                                    WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN, 0, 0, 0,
                                    0, list, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!editor) return false;
    if (!Attach(editor)) {
        ::DestroyWindow(editor);
        return false;
    }
    ::SendMessageW(editor, WM_SETFONT, ::SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
    // The list paints its rows itself; it must leave the editor's pixels alone.
    ::SetWindowLongW(list, GWL_STYLE, ::GetWindowLongW(list, GWL_STYLE) | WS_CLIPCHILDREN);
    InstallHook();
    return true;
}

void CEditEx::InstallHook() noexcept {
    // One hook for the process: a second editor does without rather than orphan the first's.
    if (hook_) return;
    hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, nullptr, ::GetCurrentThreadId());
    if (hook_) hookEditor_ = this;
}

void CEditEx::RemoveHook() noexcept {
    if (hookEditor_ != this) return;
    ::UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    hookEditor_ = nullptr;
}

void CEditEx::ReturnFocusToList() const noexcept {
    if (::GetFocus() == Handle()) ::SetFocus(owner_->Handle());
}

LRESULT CALLBACK CEditEx::CallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && hookEditor_) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        HWND editor = hookEditor_->Handle();
        if (editor && sent->hwnd != editor && MovesAway(sent->message) && ::IsWindowVisible(editor)) {
            try {
                hookEditor_->EndEdit(TRUE);
            } catch (...) {
                // Nothing may unwind into the system's frames; the message goes on regardless.
            }
        }
    }
    return ::CallNextHookEx(hook_, code, wParam, lParam);
}
