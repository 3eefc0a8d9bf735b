#include "HookSession.h"

#include "FileWatch.h"
#include "HookLibrary.h"

#include <algorithm>

namespace latchwire {

namespace {

// Mode 1 asks for a printing server, started by a driver update, to load the driver library
// under test in place of its own copy. No such server runs in this build, so nothing is
// substituted; the notification says so rather than claim a substitution.
std::wstring SubstitutionText(const wchar_t* substitutePath, const std::wstring& driverPath) {
    return L"No printing server is watched: [" + std::wstring(substitutePath ? substitutePath : L"") +
           L"] is not replaced by [" + driverPath + L"]";
}

// Holds the announcement mutex for one notification.
class Turn {
public:
    explicit Turn(HANDLE mutex) noexcept : mutex_(mutex) {
        // The holder may be waiting in SendMessageW for this very thread, so messages sent to it
        // are served while it waits.
        for (;;) {
            const DWORD woken = ::MsgWaitForMultipleObjects(1, &mutex_, FALSE, INFINITE, QS_SENDMESSAGE);
            if (woken == WAIT_OBJECT_0 || woken == WAIT_ABANDONED_0) {
                owned_ = true;
                return;
            }
            if (woken != WAIT_OBJECT_0 + 1) return;
            MSG message;
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    ~Turn() {
        if (owned_) ::ReleaseMutex(mutex_);
    }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

private:
    HANDLE mutex_;
    bool owned_ = false;
};

}  // namespace

HookSession::HookSession() : turn_(::CreateMutexW(nullptr, FALSE, nullptr)) {}

int HookSession::Start(HWND window, const wchar_t* substitutePath, const wchar_t* driverPath, int mode) {
    if (mode != kWatchFiles && mode != kSubstitute) return kUnknownMode;
    const std::wstring driver = driverPath ? driverPath : L"";
    int patched = 0;
    {
        vb::SectionGuard guard(lock_);
        RestoreLocked();
        active_ = false;
        if (mode == kWatchFiles) {
            HMODULE module = driver.empty() ? nullptr : ::GetModuleHandleW(driver.c_str());
            if (!module) return kDriverNotLoaded;
            patched_ = PatchImports(module, FileWatchReplacements());
            KeepOriginals(patched_);
            module_ = module;
            driverPath_ = driver;
            patched = static_cast<int>(patched_.size());
        }
        window_ = window;
        mode_ = mode;
        active_ = true;
    }
    if (mode == kSubstitute) Announce(kLatchwireInfo, SubstitutionText(substitutePath, driver));
    return patched;
}

int HookSession::Stop() {
    vb::SectionGuard guard(lock_);
    EndLocked();
    return 0;
}

int HookSession::ActiveMode() {
    vb::SectionGuard guard(lock_);
    // A watch ends with the library it watched, whoever freed it: the next start then patches
    // the library loaded by then.
    if (active_ && mode_ == kWatchFiles && !WatchedModuleLoadedLocked()) EndLocked();
    return active_ ? mode_ : kInactive;
}

int HookSession::CopyLastText(wchar_t* buffer, int size) {
    if (!buffer || size <= 0) return -1;
    vb::SectionGuard guard(lock_);
    size_t count = std::min(lastText_.size(), static_cast<size_t>(size) - 1);
    // A cut between the halves of a surrogate pair would leave half a character behind.
    if (count < lastText_.size() && count > 0 && IS_HIGH_SURROGATE(lastText_[count - 1])) --count;
    lastText_.copy(buffer, count);
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

void HookSession::FileCreated(const std::wstring& path) { Announce(kLatchwireFileCreated, path); }

void HookSession::EndLocked() {
    RestoreLocked();
    active_ = false;
    window_ = nullptr;
}

void HookSession::RestoreLocked() {
    if (WatchedModuleLoadedLocked()) RestoreImports(patched_);
    patched_.clear();
    module_ = nullptr;
    driverPath_.clear();
}

bool HookSession::WatchedModuleLoadedLocked() const {
    // A driver library unloaded meanwhile took its patched table with it; loaded again, even at
    // the same address, it has a fresh table that holds none of the replacements.
    if (!module_ || ::GetModuleHandleW(driverPath_.c_str()) != module_) return false;
    return patched_.empty() || *patched_.front().entry == patched_.front().replacement;
}

void HookSession::Announce(WPARAM code, const std::wstring& text) {
    Turn turn(turn_.Get());
    HWND window = nullptr;
    {
        // A replacement may still run after Stop, on a thread that read the entry before.
        vb::SectionGuard guard(lock_);
        if (!active_) return;
        lastText_ = text;
        window = window_;
    }
    // Never under the lock: the window's handler fetches the text, possibly from another thread.
    if (window && ::IsWindow(window)) ::SendMessageW(window, kLatchwireMessage, code, 0);
}

HookSession& Session() {
    static HookSession session;
    return session;
}

}  // namespace latchwire
