#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace vb {

// The shell's folder browser's shape; tests put in a stand-in that answers as a tester would.
using FolderBrowserFunction = std::optional<std::wstring> (*)(HWND owner, const std::wstring& initialFolder,
                                                              const std::wstring& title, UINT flags);

// The chosen folder, or nothing when the browser was cancelled. `flags` are the shell's BIF_
// flags (BIF_RETURNONLYFSDIRS is 1).
std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& initialFolder, const std::wstring& title,
                                            UINT flags);
// What was in effect is returned; null puts the shell's browser back.
FolderBrowserFunction SetFolderBrowserFunction(FolderBrowserFunction function) noexcept;

}  // namespace vb
