#include "Dialog.h"

#include "DialogMessages.h"
#include "Resources.h"

namespace vb {

namespace {

// A popup's owner is a top-level window; a dialog opened without a parent belongs to the
// program's main window, as long as there is one.
HWND OwnerFor(HWND parent) noexcept {
    if (parent) return ::GetAncestor(parent, GA_ROOT);
    HWND main = MainWindow();
    return main && ::IsWindow(main) ? main : nullptr;
}

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) noexcept : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() { DestroyWindowNow(); }

INT_PTR Dialog::DoModal() {
    if (Handle()) return -1;
    modal_ = true;
    ended_ = false;
    result_ = -1;
    HWND owner = OwnerFor(parent_);
    HWND dialog = CreateFromTemplate();
    if (!dialog) {
        modal_ = false;
        return -1;
    }
    bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    if (!ended_) {
        ::ShowWindow(dialog, SW_SHOW);
        RunModalLoop(dialog);
    }
    // The owner is enabled again before the dialog goes, so activation returns to it.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (::IsWindow(dialog)) ::DestroyWindow(dialog);
    modal_ = false;
    return result_;
}

bool Dialog::Create() {
    if (Handle()) return false;
    modal_ = false;
    HWND dialog = CreateFromTemplate();
    if (!dialog) return false;
    RegisterModelessDialog(dialog);
    return true;
}

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    if (modal_) {
        ended_ = true;
        // Wakes the loop when the end comes from outside a message it dispatched.
        if (Handle()) ::PostMessageW(Handle(), WM_NULL, 0, 0);
    } else if (Handle()) {
        ::DestroyWindow(Handle());
    }
}

bool Dialog::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

LRESULT Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
    return Default();
}

void Dialog::OnWindowDestroyed(HWND window) {
    UnregisterModelessDialog(window);
    ended_ = true;
}

void Dialog::DestroyWindowNow() noexcept {
    HWND window = Handle();
    if (!window) return;
    Detach();
    UnregisterModelessDialog(window);
    ::DestroyWindow(window);
}

HWND Dialog::CreateFromTemplate() {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), OwnerFor(parent_),
                                DialogProc, reinterpret_cast<LPARAM>(this));
}

void Dialog::RunModalLoop(HWND dialog) {
    MSG message;
    while (!ended_ && ::IsWindow(dialog)) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (!got) {
            // The quit request belongs to the loop outside this one.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            result_ = IDCANCEL;
            break;
        }
        if (TranslateDialogMessage(message, dialog)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    // Every other message reaches the object through the subclass, ahead of this procedure.
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<Dialog*>(lParam);
    if (!self || !self->Attach(window)) return TRUE;
    try {
        return self->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

}  // namespace vb
