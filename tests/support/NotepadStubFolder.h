#pragma once
#include <windows.h>

#include <string>

#include "Strings.h"
#include "TestFiles.h"

namespace vb::test {

// Waits for a file that another process writes whole; empty when none came.
inline std::string AwaitFile(const std::wstring& path, DWORD timeoutMs = 15000) {
    for (DWORD waited = 0; !FileExists(path) && waited < timeoutMs; waited += 50) ::Sleep(50);
    return ReadFileBytes(path);
}

// While one exists, "notepad.exe" is the stub built beside the tests, which records its command
// line in "<file>.notepad" and ends: programs are looked for in the current folder before the
// system's, so no real Notepad opens during a test that sends to "FILE" or a file port.
class NotepadStubFolder {
public:
    NotepadStubFolder() {
        wchar_t current[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, current);
        previous_ = current;
        ::SetCurrentDirectoryW((BinDir() + L"notepad_stub").c_str());
    }
    ~NotepadStubFolder() { ::SetCurrentDirectoryW(previous_.c_str()); }
    // A record is never empty; a second stub that finds it already there may keep it from
    // being read for a moment as it gives up, so an empty read is tried again.
    static std::string Record(const std::wstring& file) {
        std::string text = AwaitFile(file + L".notepad");
        for (int tries = 0; text.empty() && tries < 100; ++tries) {
            ::Sleep(50);
            text = ReadFileBytes(file + L".notepad");
        }
        return text;
    }
    static std::string Expected(const std::wstring& file) { return vb::ToUtf8(L"notepad.exe " + file); }

private:
    std::wstring previous_;
};

}  // namespace vb::test
