// Types into the script editor of a running program, as the keyboard would, so a screenshot can
// show completion at work. Usage: editor_typing <line> <text>: the caret goes to the start of
// the 1-based line and each character of the text is posted to the editor.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include <Scintilla.h>

namespace {

BOOL CALLBACK FindEditor(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    if (::lstrcmpW(name, L"Scintilla") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: editor_typing <line> <text>\n");
        return 2;
    }
    HWND main = ::FindWindowW(nullptr, L"Vellbrook");
    HWND editor = nullptr;
    if (main) ::EnumChildWindows(main, FindEditor, reinterpret_cast<LPARAM>(&editor));
    if (!editor) {
        std::fprintf(stderr, "no editor window\n");
        return 1;
    }
    // Messages without pointers: they work across processes.
    ::SendMessageW(editor, SCI_GRABFOCUS, 0, 0);
    ::SendMessageW(editor, SCI_GOTOLINE, static_cast<WPARAM>(std::wcstol(argv[1], nullptr, 10) - 1), 0);
    for (const wchar_t* c = argv[2]; *c; ++c) ::PostMessageW(editor, WM_CHAR, *c, 1);
    return 0;
}
