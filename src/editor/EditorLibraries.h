#pragma once
#include <windows.h>

#include <string>

#include "UniqueHandle.h"

// The editing component's two libraries, Scintilla.dll (the window class "Scintilla") and
// Lexilla.dll (the lexers), as one editor window holds them. Each editor takes its own reference
// from the loader and gives back only that one, so the last editor to close can never free a
// library that someone else loaded.
class CEditorLibraries {
public:
    CEditorLibraries() = default;
    ~CEditorLibraries() { Release(); }
    CEditorLibraries(const CEditorLibraries&) = delete;
    CEditorLibraries& operator=(const CEditorLibraries&) = delete;

    // Both libraries from the component folder, or neither; false with the system's error text.
    bool Load(std::wstring& error);
    void Release() noexcept;
    bool IsLoaded() const noexcept { return static_cast<bool>(scintilla_); }

    // A new lexer object by name ("vbscript"), or null; it belongs to the control it is given to.
    void* CreateLexer(const char* name) const;

    // Editors that hold the libraries, across the process.
    static unsigned UseCount() noexcept;
    // Where the libraries are loaded from; empty means the program's own folder. Tests point it
    // elsewhere. What was in effect is returned.
    static std::wstring SetFolder(std::wstring folder);

private:
    vb::UniqueModule scintilla_;
    vb::UniqueModule lexilla_;
};
