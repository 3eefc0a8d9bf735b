#pragma once
#include <windows.h>

#include "Window.h"

class CListCtrlEx;

// The in-place editor of a list cell. It opens over the cell, commits with Enter, Tab, Up or
// Down (the last three then reach the list too, so it moves on) and when the focus or the
// mouse goes elsewhere, cancels with Esc, and tells the list's parent through LVN_ENDLABELEDIT
// (no text when cancelled). Noticing "elsewhere" takes a call-window-procedure hook on the
// thread: one editor of the process holds it, from its first edit until its window is gone.
class CEditEx : public vb::Window {
public:
    explicit CEditEx(CListCtrlEx& owner) noexcept : owner_(&owner) {}
    ~CEditEx() override;

    // Opens the editor over `cell` (list client coordinates) for the cell's text; nothing for a
    // cell that does not exist.
    void BeginEdit(int item, int subItem, RECT cell);
    // Closes an open edit, writing the text into the cell when `commit` is set.
    void EndEdit(BOOL commit);

    bool IsEditing() const noexcept { return item_ != -1; }
    int Item() const noexcept { return item_; }
    int SubItem() const noexcept { return subItem_; }

    // The process's editor hook, null while no editor window holds one.
    static HHOOK Hook() noexcept { return hook_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND window) override;

private:
    bool CreateEditor(HWND list);
    void InstallHook() noexcept;
    void RemoveHook() noexcept;
    // After a key closed the edit, the keyboard goes back to the list, not to a hidden editor.
    void ReturnFocusToList() const noexcept;
    static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);

    int item_ = -1;
    int subItem_ = -1;
    CListCtrlEx* owner_;

    static HHOOK hook_;
    static CEditEx* hookEditor_;
};
