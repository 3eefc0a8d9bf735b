#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include <Scintilla.h>

#include "EditorLibraries.h"
#include "Utf8String.h"
#include "Window.h"

class CMSScriptObject;

// The script editor: a Scintilla control with VBScript colours, folding, bookmarks and line
// numbers. The dialog reads and writes it with the ordinary window-text calls in UTF-16; the
// control holds UTF-8. Every editor holds the component libraries for as long as its window can
// live, and destroys its window before letting them go.
class CScintillaWnd : public vb::Window {
public:
    using CUTF8String = ::CUTF8String;

    // The buffer size GetLineText expects, terminator included.
    static constexpr int kLineBufferSize = 1024;

    CScintillaWnd() = default;
    ~CScintillaWnd() override;

    // FALSE, showing nothing, when the component cannot be loaded or the window not made.
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id, LPCWSTR text = nullptr);
    // Takes the place, id, style and z-order of a dialog's placeholder control, which goes.
    BOOL CreateOver(HWND placeholder);

    // Lexer, styles, margins, markers, images and keywords, once the script host is ready.
    void Setup();
    void SetStyles(const char* face, int size);
    void SetKeywords(int set, const char* text);
    void SetScriptObject(CMSScriptObject* script);
    CMSScriptObject* ScriptObject() const noexcept { return script_; }
    // Module null: the program's own resources; index -1: the whole bitmap.
    BOOL RegisterRgbaImage(UINT message, WPARAM wParam, HMODULE module, UINT bitmapId, int index);

    void SetEditorFocus();
    // The line's text with its line end into a buffer of kLineBufferSize characters; answers the
    // line's length in bytes. A line of kLineBufferSize bytes or more reads as empty.
    int GetLineText(int line, WCHAR* buffer);
    int GetCurrentLine();
    void ToggleBookmark(int line);
    void GotoNextBookmark();

    // Completion: the members of the object before a typed ".", the arguments of the call
    // before a typed "(", blank or tab; ")" and Enter close the tip. Only with a script facade.
    void OnChar(UINT ch, UINT repeat, UINT flags);
    // Each variable of the expression becomes what the lines above `line` last assigned to it.
    void ExpandVariables(std::wstring& expression, int line);
    void ShowCallTip(sptr_t position, const std::vector<std::wstring>& parts);

    // A message straight to the control, past the subclass; 0 without a window.
    sptr_t Call(UINT message, uptr_t wParam = 0, sptr_t lParam = 0) const;

    bool PreTranslateMessage(MSG& message) override;

    static unsigned ComponentUseCount() noexcept { return CEditorLibraries::UseCount(); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnWindowDestroyed(HWND window) override;

private:
    LRESULT OnGetText(WPARAM capacity, wchar_t* buffer);
    LRESULT OnSetText(const wchar_t* text);
    void OnSetFont(HFONT font);
    void CancelCallTip();
    void MatchBraces();
    void OnMarginClick(const SCNotification& notification);
    void ReadText(CUTF8String& text) const;
    // The whole document drawn into `dc` as it prints, moved a little in from the client's corner.
    void PrintDocument(HDC dc);
    void UpdateLineNumberMargin();

    CMSScriptObject* script_ = nullptr;
    std::string lineNumberSample_ = "_99999";
    CEditorLibraries libraries_;
    SciFnDirect direct_ = nullptr;
    sptr_t directPointer_ = 0;
};
