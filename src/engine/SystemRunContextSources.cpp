#include "SystemRunContextSources.h"

#include "UniqueHandle.h"

namespace {

constexpr DWORD kTextLimit = 260;

std::optional<std::wstring> ReadStringValue(HKEY key, const wchar_t* name) {
    wchar_t buffer[kTextLimit + 1] = {};
    DWORD type = 0;
    DWORD size = kTextLimit * sizeof(wchar_t);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    // Registry strings need not end in a NUL; the buffer has room for one past the limit.
    std::wstring text(buffer, size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

}  // namespace

bool SystemRunContextSources::QueryMemoryCounters(RunResourceRecord& record) {
    return ::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&record),
                                     sizeof(record)) != FALSE;
}

DWORD SystemRunContextSources::GuiObjectCount(DWORD which) { return ::GetGuiResources(::GetCurrentProcess(), which); }

bool SystemRunContextSources::ReadSystemVersion(std::optional<std::wstring>& productName,
                                                std::optional<std::wstring>& currentBuild) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ, &raw) !=
        ERROR_SUCCESS) {
        return false;
    }
    vb::UniqueRegKey key(raw);
    productName = ReadStringValue(key.Get(), L"ProductName");
    currentBuild = ReadStringValue(key.Get(), L"CurrentBuild");
    return true;
}

WORD SystemRunContextSources::NativeProcessorArchitecture() {
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture;
}

std::wstring SystemRunContextSources::UserName() {
    wchar_t name[kTextLimit] = {};
    DWORD size = kTextLimit;
    if (!::GetUserNameW(name, &size)) return {};
    return name;
}

LONGLONG SystemRunContextSources::Counter() {
    LARGE_INTEGER value{};
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

LONGLONG SystemRunContextSources::Frequency() {
    LARGE_INTEGER value{};
    ::QueryPerformanceFrequency(&value);
    return value.QuadPart;
}
