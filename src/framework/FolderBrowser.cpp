#include "FolderBrowser.h"

#include <shlobj.h>

#include <utility>

namespace vb {

namespace {

int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
    auto* folder = reinterpret_cast<const wchar_t*>(data);
    if (message == BFFM_INITIALIZED && folder && *folder) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder));
    }
    return 0;
}

std::optional<std::wstring> ShellBrowseForFolder(HWND owner, const std::wstring& initialFolder,
                                                 const std::wstring& title, UINT flags) {
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.empty() ? nullptr : title.c_str();
    info.ulFlags = flags;
    info.lpfn = SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    BOOL isPath = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    // A choice outside the file system (a printer, the network root) names no folder.
    if (!isPath) return std::nullopt;
    return std::wstring(path);
}

FolderBrowserFunction g_browser = ShellBrowseForFolder;

}  // namespace

std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& initialFolder, const std::wstring& title,
                                            UINT flags) {
    return g_browser(owner, initialFolder, title, flags);
}

FolderBrowserFunction SetFolderBrowserFunction(FolderBrowserFunction function) noexcept {
    return std::exchange(g_browser, function ? function : ShellBrowseForFolder);
}

}  // namespace vb
