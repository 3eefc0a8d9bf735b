#include "CallLog.h"

#include "Strings.h"
#include "UniqueHandle.h"

#include <cstdint>
#include <cwchar>
#include <string>

// The linker's symbol for this module's own load address, so the log can name the file the
// bench actually loaded (tests load copies under family names) without DllMain saving it.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace vb::sample {

namespace {

constexpr wchar_t kLogVariable[] = L"VB_SAMPLE_DRIVER_LOG";

// GetModuleFileNameW and GetEnvironmentVariableW both truncate silently or report the size
// needed; the loop grows the buffer until the whole value fits.
template <class Reader>
std::wstring ReadGrowing(Reader read) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2 > length ? buffer.size() * 2 : length + 1);
    }
}

std::wstring LogPath() {
    return ReadGrowing([](wchar_t* buffer, DWORD size) {
        return ::GetEnvironmentVariableW(kLogVariable, buffer, size);
    });
}

// Holds a lock on the whole file while one line is written.
class WholeFileLock {
public:
    explicit WholeFileLock(HANDLE file) noexcept : file_(file) {
        locked_ = ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &range_) != FALSE;
    }
    ~WholeFileLock() {
        if (locked_) ::UnlockFileEx(file_, 0, MAXDWORD, MAXDWORD, &range_);
    }
    WholeFileLock(const WholeFileLock&) = delete;
    WholeFileLock& operator=(const WholeFileLock&) = delete;

private:
    HANDLE file_;
    OVERLAPPED range_{};  // offset 0
    bool locked_ = false;
};

void AppendToFile(const std::wstring& path, const std::string& bytes) {
    // FILE_APPEND_DATA makes every write land at the end, but Wine computes that end without
    // holding anything, so two threads can write over each other; the lock orders them (and
    // needs read access besides).
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueFile file(::CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA, kShareAll, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    WholeFileLock lock(file.Get());
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

std::wstring ModuleFileName() {
    std::wstring path = ReadGrowing([](wchar_t* buffer, DWORD size) {
        return ::GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), buffer, size);
    });
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ArgumentText(unsigned long value) { return std::to_wstring(value); }
std::wstring ArgumentText(long value) { return std::to_wstring(value); }
std::wstring ArgumentText(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }
std::wstring ArgumentText(const std::wstring& text) { return text; }
std::wstring ArgumentText(HWND window) { return std::to_wstring(reinterpret_cast<std::uintptr_t>(window)); }

std::wstring HexText(unsigned long value) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%04lX", value);
    return text;
}

std::wstring FormatCall(std::string_view entryPoint, std::initializer_list<std::wstring> arguments) {
    // Entry point names are plain ASCII.
    std::wstring line(entryPoint.begin(), entryPoint.end());
    line += L'(';
    const wchar_t* separator = L"";
    for (const std::wstring& argument : arguments) {
        line += separator;
        line += argument;
        separator = L", ";
    }
    line += L')';
    return line;
}

void LogLine(std::wstring_view event) {
    // The bench may read GetLastError right after calling in; logging must not disturb it.
    DWORD savedError = ::GetLastError();
    std::wstring path = LogPath();
    if (!path.empty()) {
        std::wstring line = ModuleFileName();
        line += L": ";
        line += event;
        line += L"\r\n";
        AppendToFile(path, vb::ToUtf8(line));
    }
    ::SetLastError(savedError);
}

}  // namespace vb::sample
