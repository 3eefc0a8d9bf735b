#include "FileWatch.h"

#include "HookSession.h"
#include "Strings.h"

#include <atomic>

namespace latchwire {

namespace {

using CreateFileWFunction = decltype(&::CreateFileW);
using CreateFileAFunction = decltype(&::CreateFileA);

// Replacements may run on any thread, also while a later start rewrites these.
std::atomic<CreateFileWFunction> originalW{&::CreateFileW};
std::atomic<CreateFileAFunction> originalA{&::CreateFileA};

// The system answers either the length it wrote or the size it needs; the buffer grows until
// the answer fits. 0 means it failed.
template <class Read>
std::wstring ReadGrowing(Read read) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + path.substr(7);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

// Keeps the thread's last error as the real call left it: callers test ERROR_ALREADY_EXISTS
// after a successful CREATE_ALWAYS or OPEN_ALWAYS.
template <class Name>
HANDLE Watched(HANDLE file, DWORD access, DWORD disposition, Name requested) {
    const DWORD error = ::GetLastError();
    if (CreatesFile(file, access, disposition, error)) Session().FileCreated(FullPath(file, requested()));
    ::SetLastError(error);
    return file;
}

HANDLE WINAPI WatchedCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE model) {
    HANDLE file = originalW.load()(name, access, share, security, disposition, flags, model);
    return Watched(file, access, disposition, [name] { return std::wstring(name ? name : L""); });
}

HANDLE WINAPI WatchedCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE model) {
    HANDLE file = originalA.load()(name, access, share, security, disposition, flags, model);
    return Watched(file, access, disposition, [name] { return vb::FromAnsi(name ? name : ""); });
}

}  // namespace

std::vector<ImportReplacement> FileWatchReplacements() {
    return {{"CreateFileW", reinterpret_cast<void*>(&WatchedCreateFileW)},
            {"CreateFileA", reinterpret_cast<void*>(&WatchedCreateFileA)}};
}

void KeepOriginals(const std::vector<PatchedImport>& patched) {
    for (const PatchedImport& import : patched) {
        if (import.function == "CreateFileW")
            originalW = reinterpret_cast<CreateFileWFunction>(import.original);
        else if (import.function == "CreateFileA")
            originalA = reinterpret_cast<CreateFileAFunction>(import.original);
    }
}

bool CreatesFile(HANDLE result, DWORD access, DWORD disposition, DWORD error) {
    constexpr DWORD kWriting = GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA;
    if (result == INVALID_HANDLE_VALUE || !(access & kWriting)) return false;
    switch (disposition) {
    case CREATE_NEW:
    case CREATE_ALWAYS:
    case TRUNCATE_EXISTING:
        break;
    case OPEN_ALWAYS:
        if (error == ERROR_ALREADY_EXISTS) return false;
        break;
    default:
        return false;
    }
    // Pipes, consoles and devices are opened the same way but are no files to store.
    return ::GetFileType(result) == FILE_TYPE_DISK;
}

std::wstring FullPath(HANDLE file, const std::wstring& requested) {
    std::wstring path = ReadGrowing([file](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (path.empty() && !requested.empty()) {
        path = ReadGrowing([&requested](wchar_t* buffer, DWORD size) {
            return ::GetFullPathNameW(requested.c_str(), size, buffer, nullptr);
        });
    }
    return WithoutLongPathPrefix(path);
}

}  // namespace latchwire
