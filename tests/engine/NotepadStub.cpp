// Stands in for Notepad beside the output port tests: records the command line it was started
// with in "<file>.notepad", written whole under another name first so a reader never sees half.
#include <windows.h>

#include <string>

int main() {
    std::wstring commandLine = ::GetCommandLineW();
    size_t blank = commandLine.find(L' ');
    if (blank == std::wstring::npos) return 1;
    std::wstring record = commandLine.substr(blank + 1) + L".notepad";
    // One partial file per stub: two stubs started for the same file must not write into one.
    std::wstring partial = record + L"." + std::to_wstring(::GetCurrentProcessId()) + L".part";
    int size = ::WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), -1, text.data(), size, nullptr, nullptr);
    text.pop_back();
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    if (::MoveFileW(partial.c_str(), record.c_str())) return 0;
    ::DeleteFileW(partial.c_str());  // an earlier stub recorded the same file
    return 1;
}
