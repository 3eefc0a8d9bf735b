#pragma once
#include <windows.h>

#include "Window.h"

namespace vb {

// A dialog made from a template of the program's resources, modal or modeless. The template's
// window is attached to the object when it is initialised, so the dialog handles its messages
// in OnMessage like any other Window; the notifications of its controls go first to the
// controls' own objects.
//
// The modal loop is the program's own: it serves registered modeless dialogs too, which the
// system's loop would leave without keyboard handling. A dialog opened from a control (the
// button that opened it) takes that control's top-level window as its owner and disables it
// while it runs.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr) noexcept;
    ~Dialog() override;

    // The EndDialog result; -1 when the dialog cannot be made or is open already.
    INT_PTR DoModal();
    // A modeless dialog; false when it cannot be made.
    bool Create();
    // A modal dialog leaves its loop with the result; a modeless one is destroyed.
    void EndDialog(INT_PTR result);

    UINT TemplateId() const noexcept { return templateId_; }
    // The window the dialog was opened from, as given (a control, possibly).
    HWND ParentWindow() const noexcept { return parent_; }

protected:
    // After the template's controls exist; TRUE lets the system put the focus on the first one.
    virtual BOOL OnInitDialog() { return TRUE; }
    // A WM_COMMAND that no control took for itself; true when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed(HWND window) override;

    // Detaches first, then destroys the window: what a derived destructor calls before its
    // members go, so their windows never outlive them.
    void DestroyWindowNow() noexcept;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate();
    void RunModalLoop(HWND dialog);

    UINT templateId_;
    HWND parent_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = -1;
};

}  // namespace vb
