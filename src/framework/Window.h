#pragma once
#include <windows.h>

namespace vb {

// Behaviour added to a window that already exists (a control of a dialog template, mostly),
// through a comctl32 subclass whose reference data is the object. The object never owns the
// window: it detaches when the window reaches WM_NCDESTROY, and its destructor detaches before
// anything of it is gone, so no message ever reaches a half-destroyed object.
class Window {
public:
    Window() noexcept = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const noexcept { return window_; }

    // False for no window, when this object is attached already, or when the window already
    // has an object: one object a window keeps FromHandle unambiguous.
    bool Attach(HWND window);
    bool SubclassDlgItem(int id, HWND parent) { return Attach(::GetDlgItem(parent, id)); }
    void Detach() noexcept;

    // The object attached to a window, if any.
    static Window* FromHandle(HWND window) noexcept;

    // Offered every queued message aimed at this window or its children before the message
    // loop translates it; true when the message has been dealt with.
    virtual bool PreTranslateMessage(MSG& message);

protected:
    // Runs once the handle is known and before the first message arrives.
    virtual void PreSubclassWindow() {}
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification that this control sent to its parent (WM_NOTIFY, a control's WM_COMMAND,
    // WM_DRAWITEM), handed back to it first; true, with the result, when it was dealt with.
    virtual bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window reached WM_NCDESTROY; the object is already detached from it.
    virtual void OnWindowDestroyed(HWND) {}

    // The message being handled, passed on to the next procedure of the chain.
    LRESULT Default() noexcept;

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool passedOn;
    };

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToSender(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND window_ = nullptr;
    CurrentMessage* current_ = nullptr;
};

}  // namespace vb
