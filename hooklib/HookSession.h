#pragma once
// The one hooking session of the process: what ordinal 2 started, the import entries it
// patched, and the text of the last notification. Every member may be called from any thread.
#include "CriticalSection.h"
#include "ImportTable.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace latchwire {

class HookSession {
public:
    enum Mode : int { kWatchFiles = 0, kSubstitute = 1 };
    enum Failure : int { kInactive = -1, kUnknownMode = -2, kDriverNotLoaded = -3 };

    HookSession();
    HookSession(const HookSession&) = delete;
    HookSession& operator=(const HookSession&) = delete;

    // Ends a session still active and starts a new one. kWatchFiles patches the driver library's
    // file imports and answers how many entries it patched; kSubstitute answers 0.
    int Start(HWND window, const wchar_t* substitutePath, const wchar_t* driverPath, int mode);
    // Puts the patched entries back; 0, also when nothing was active.
    int Stop();
    // The active mode, or kInactive: a watch whose library was freed has ended.
    int ActiveMode();
    // The number of characters copied, zero-terminated within size; -1 without room for any.
    int CopyLastText(wchar_t* buffer, int size);

    // Called by the replacements after the watched module created a file.
    void FileCreated(const std::wstring& path);

private:
    void EndLocked();
    void RestoreLocked();
    // Whether the watched library is loaded and still holds the patched entries.
    bool WatchedModuleLoadedLocked() const;
    // Stores the text and sends the notification on the window's own thread, one notification
    // at a time, so the text that the window fetches is the one of the message it handles.
    void Announce(WPARAM code, const std::wstring& text);
    // Takes the announcement turn; a thread that owns windows serves messages sent to it while
    // it waits, since the thread holding the turn may be waiting for exactly that.
    void TakeTurn();

    vb::CriticalSection lock_;
    bool active_ = false;
    int mode_ = kWatchFiles;
    HWND window_ = nullptr;
    HMODULE module_ = nullptr;
    std::wstring driverPath_;
    std::vector<PatchedImport> patched_;
    std::wstring lastText_;

    vb::UniqueKernelHandle turn_;  // a mutex: its waits can also serve sent messages
};

HookSession& Session();

}  // namespace latchwire
