#pragma once
#include <windows.h>

#include <string>

namespace vb {

// A non-owning view over a combo box: the messages the program sends it, typed.
class ComboBoxView {
public:
    explicit ComboBoxView(HWND combo = nullptr) noexcept : combo_(combo) {}

    HWND Handle() const noexcept { return combo_; }
    bool IsWindow() const noexcept { return combo_ && ::IsWindow(combo_); }
    // The drop-down bit: set for editable drop-downs and drop-down lists alike.
    bool HasDropDown() const noexcept { return (::GetWindowLongW(combo_, GWL_STYLE) & CBS_DROPDOWN) != 0; }

    int GetCount() const noexcept { return static_cast<int>(Send(CB_GETCOUNT)); }
    void ResetContent() const noexcept { Send(CB_RESETCONTENT); }
    int AddString(const std::wstring& text) const noexcept {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    bool SetItemData(int index, LPARAM data) const noexcept { return Send(CB_SETITEMDATA, index, data) != CB_ERR; }
    LPARAM GetItemData(int index) const noexcept { return Send(CB_GETITEMDATA, index); }
    std::wstring GetText(int index) const {
        LRESULT length = Send(CB_GETLBTEXTLEN, index);
        if (length == CB_ERR) return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        length = Send(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length == CB_ERR ? 0 : static_cast<size_t>(length));
        return text;
    }
    // The first entry after `after` that starts with `prefix`, without regard to case.
    int FindString(const std::wstring& prefix, int after = -1) const noexcept {
        return static_cast<int>(Send(CB_FINDSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(prefix.c_str())));
    }
    int GetCurSel() const noexcept { return static_cast<int>(Send(CB_GETCURSEL)); }
    void SetCurSel(int index) const noexcept { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(combo_, message, wParam, lParam);
    }

    HWND combo_;
};

}  // namespace vb
