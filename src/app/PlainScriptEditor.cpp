// The stand-in editor of a build without the styled one: a multi-line edit.
#include "ScriptEditor.h"

namespace {

class PlainScriptEditor : public ScriptEditor {
public:
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD style) override {
        window_ = ::CreateWindowExW(0, L"EDIT", L"", style, rect.left, rect.top, rect.right - rect.left,
                                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    ::GetModuleHandleW(nullptr), nullptr);
        if (!window_) return false;
        // An edit stops at 30,000 characters otherwise, and long scripts would be cut silently.
        ::SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);
        ::SendMessageW(window_, WM_SETFONT, ::SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
        return true;
    }
    HWND Handle() const noexcept override { return window_; }
    void SetUpForScripts(CMSScriptObject&) override {}

private:
    // A child of the dialog: destroyed with it.
    HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<ScriptEditor> MakeScriptEditor() { return std::make_unique<PlainScriptEditor>(); }
