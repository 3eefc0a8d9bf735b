#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "HookLibrary.h"

namespace vb::test {

struct Notification {
    WPARAM code;
    DWORD thread;
    std::wstring text;
};

// A hidden window that takes the hook library's notifications as the program's window does:
// it fetches each one's text at once, records it and passes the code on to `onNotify`.
class NotifyWindow {
public:
    NotifyWindow() {
        WNDCLASSW type{};
        type.lpfnWndProc = Procedure;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = kClass;
        ::RegisterClassW(&type);  // fails harmlessly from the second window on
        window_ = ::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~NotifyWindow() { ::DestroyWindow(window_); }
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND Get() const { return window_; }

    std::vector<Notification> received;
    std::function<void(WPARAM)> onNotify;

private:
    static constexpr wchar_t kClass[] = L"VbEngineTestNotifyWindow";
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<NotifyWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != kLatchwireMessage || !self) return ::DefWindowProcW(window, message, wParam, lParam);
        wchar_t text[kLatchwireTextSize];
        LatchwireLastText(text, kLatchwireTextSize);
        self->received.push_back({wParam, ::GetCurrentThreadId(), text});
        if (self->onNotify) self->onNotify(wParam);
        return 0;
    }

    HWND window_;
};

}  // namespace vb::test
