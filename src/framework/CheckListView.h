#pragma once
#include <windows.h>

#include <string>

namespace vb {

// A non-owning view over a check list: an owner-drawn list box (LBS_OWNERDRAWFIXED |
// LBS_HASSTRINGS) whose entries each carry a check mark. The marks live with the window, not
// with the view: the first view over a list box subclasses it with one mark per entry, keeps
// them in step with the list box's own insertions and deletions, and frees them when the
// window is destroyed. Item data stays free for the caller (the script key, for example).
class CheckListView {
public:
    explicit CheckListView(HWND list = nullptr);

    HWND Handle() const noexcept { return list_; }
    bool IsWindow() const noexcept { return list_ && ::IsWindow(list_); }

    int GetCount() const noexcept { return static_cast<int>(Send(LB_GETCOUNT)); }
    void ResetContent() const noexcept { Send(LB_RESETCONTENT); }
    // The new entry's index (unchecked), or LB_ERR / LB_ERRSPACE.
    int AddString(const std::wstring& text) const noexcept {
        return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    std::wstring GetText(int index) const;
    bool SetItemData(int index, LPARAM data) const noexcept { return Send(LB_SETITEMDATA, index, data) != LB_ERR; }
    LPARAM GetItemData(int index) const noexcept { return Send(LB_GETITEMDATA, index); }
    // The first entry after `after` whose whole text matches, without regard to case.
    int FindStringExact(const std::wstring& text, int after = -1) const noexcept {
        return static_cast<int>(
            Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCurSel() const noexcept { return static_cast<int>(Send(LB_GETCURSEL)); }
    void SetCurSel(int index) const noexcept { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
    int GetTopIndex() const noexcept { return static_cast<int>(Send(LB_GETTOPINDEX)); }
    void SetTopIndex(int index) const noexcept { Send(LB_SETTOPINDEX, static_cast<WPARAM>(index)); }

    bool GetCheck(int index) const noexcept;
    // False for an entry that does not exist.
    bool SetCheck(int index, bool checked) const noexcept;

private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(list_, message, wParam, lParam);
    }

    HWND list_;
};

}  // namespace vb
