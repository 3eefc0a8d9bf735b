#pragma once
#include <windows.h>

#include <string>

namespace vb::test {

// A run's log pane as the main dialog has it: a multi-line edit control in a hidden popup
// parent. The parent is a plain STATIC window unless a window procedure is given for it.
class HiddenLogPane {
public:
    explicit HiddenLogPane(WNDPROC parentProc = nullptr) {
        const wchar_t* parentClass = L"STATIC";
        if (parentProc) {
            WNDCLASSW type{};
            type.lpfnWndProc = parentProc;
            type.hInstance = ::GetModuleHandleW(nullptr);
            type.lpszClassName = parentClass = L"VbTestLogPaneParent";
            ::UnregisterClassW(parentClass, type.hInstance);  // a class left by an earlier test
            ::RegisterClassW(&type);
        }
        parent_ = ::CreateWindowExW(0, parentClass, L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        const DWORD style = WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
        edit_ = ::CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 600, 400, parent_, nullptr, nullptr, nullptr);
    }
    ~HiddenLogPane() { ::DestroyWindow(parent_); }
    HiddenLogPane(const HiddenLogPane&) = delete;
    HiddenLogPane& operator=(const HiddenLogPane&) = delete;

    HWND Parent() const { return parent_; }
    HWND Edit() const { return edit_; }
    std::wstring Text() const {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit_)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    // The text so far, and the pane emptied.
    std::wstring Take() {
        std::wstring text = Text();
        ::SetWindowTextW(edit_, L"");
        return text;
    }

private:
    HWND parent_ = nullptr;
    HWND edit_ = nullptr;
};

}  // namespace vb::test
