#pragma once
#include <windows.h>

#include <memory>
#include <string>

class CMSScriptObject;

std::wstring WindowText(HWND window);

// The main dialog's view of its script editor. The program links the styled editor when it is
// built; without it a plain multi-line edit stands in, so the dialog keeps working.
class ScriptEditor {
public:
    virtual ~ScriptEditor() = default;

    // The window over `rect` of `parent`; false when it cannot be made (its component missing).
    virtual bool Create(HWND parent, const RECT& rect, UINT id, DWORD style) = 0;
    virtual HWND Handle() const noexcept = 0;
    // Both editors speak UTF-16 through the window text.
    std::wstring GetText() const { return WindowText(Handle()); }
    void SetText(const std::wstring& text) { ::SetWindowTextW(Handle(), text.c_str()); }
    // Lexer, styles, keyword lists and completion from the script host; only after the host's
    // named objects were added.
    virtual void SetUpForScripts(CMSScriptObject& script) = 0;
};

std::unique_ptr<ScriptEditor> MakeScriptEditor();
