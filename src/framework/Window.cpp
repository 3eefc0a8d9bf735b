#include "Window.h"

#include <commctrl.h>

namespace vb {

namespace {

constexpr UINT_PTR kSubclassId = 0x56425744;

// The control that sent a notification to its parent, or null for a message that is none.
HWND SenderOf(UINT message, WPARAM, LPARAM lParam) noexcept {
    switch (message) {
        case WM_NOTIFY:
            return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
        case WM_COMMAND:
            // Menus and accelerators send no window.
            return reinterpret_cast<HWND>(lParam);
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
        }
        default:
            return nullptr;
    }
}

}  // namespace

Window::~Window() { Detach(); }

bool Window::Attach(HWND window) {
    if (!window || !::IsWindow(window) || window_ || FromHandle(window)) return false;
    window_ = window;
    PreSubclassWindow();
    if (!::SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        window_ = nullptr;
        return false;
    }
    return true;
}

void Window::Detach() noexcept {
    if (!window_) return;
    ::RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
    window_ = nullptr;
}

Window* Window::FromHandle(HWND window) noexcept {
    DWORD_PTR data = 0;
    if (!window || !::GetWindowSubclass(window, SubclassProc, kSubclassId, &data)) return nullptr;
    return reinterpret_cast<Window*>(data);
}

bool Window::PreTranslateMessage(MSG&) { return false; }

LRESULT Window::OnMessage(UINT, WPARAM, LPARAM) { return Default(); }

bool Window::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Window::Default() noexcept {
    if (!current_ || !window_) return 0;
    current_->passedOn = true;
    return ::DefSubclassProc(window_, current_->message, current_->wParam, current_->lParam);
}

bool Window::ReflectToSender(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND sender = SenderOf(message, wParam, lParam);
    if (!sender || sender == window_) return false;
    Window* control = FromHandle(sender);
    return control && control->OnReflectedMessage(message, wParam, lParam, result);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage current{message, wParam, lParam, false};
    CurrentMessage* outer = current_;
    current_ = &current;
    LRESULT result = 0;
    try {
        if (!ReflectToSender(message, wParam, lParam, result)) result = OnMessage(message, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's window procedure frames; a message
        // its handler failed on still gets the default processing it would otherwise miss.
        if (!current.passedOn && window_) result = ::DefSubclassProc(window_, message, wParam, lParam);
    }
    current_ = outer;
    return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<Window*>(data);
    if (message != WM_NCDESTROY) return self->Dispatch(message, wParam, lParam);
    // The object lets go before the window's last message goes on, so it never holds a dead
    // handle and its destructor has nothing left to undo.
    self->Detach();
    try {
        self->OnWindowDestroyed(window);
    } catch (...) {
        // Nothing may unwind into the system's frames.
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace vb
