// The real program started in a program folder of the test's own: its start-up, its window, its
// exit, and the device database and settings its first start leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "UniqueHandle.h"

namespace {

// The program's visible main window within 30 seconds; none when the process ended first.
HWND WaitForMainWindow(const PROCESS_INFORMATION& started) {
    for (int tick = 0; tick < 300; ++tick) {
        for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, nullptr, L"Vellbrook"));) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == started.dwProcessId && ::IsWindowVisible(window)) return window;
        }
        if (::WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

TEST(ProgramTest, FirstStartOpensTheBenchAndClosesCleanly) {
    vb::test::TempFolder folder;
    for (const wchar_t* file : {L"Vellbrook.exe", L"Latchwire.dll", L"Scintilla.dll", L"Lexilla.dll"}) {
        ASSERT_TRUE(::CopyFileW((vb::test::BinDir() + file).c_str(), (folder / file).c_str(), FALSE)) << file;
    }
    const std::wstring program = folder / L"Vellbrook.exe";
    vb::UniqueHandle<vb::KernelHandleTraits> process;
    HWND window = nullptr;
    // The first windowed program in a new prefix sometimes ends at once without a window.
    for (int attempt = 0; attempt < 3 && !window; ++attempt) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        std::wstring commandLine = L"\"" + program + L"\"";
        ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     folder.Path().c_str(), &startup, &started));
        ::CloseHandle(started.hThread);
        process.Reset(started.hProcess);
        window = WaitForMainWindow(started);
        if (!window) ::TerminateProcess(started.hProcess, 1);
    }
    ASSERT_TRUE(window) << "no main window";
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.Get(), 30000));
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(vb::test::FileExists(folder / L"Data\\Data.mdb"));
    for (const wchar_t* key : {L"Version", L"HashCode", L"PrnFolder", L"PrnFolderRef", L"DriverName", L"ModelName",
                               L"ScriptName", L"Output"}) {
        wchar_t value[8] = {};
        ::GetPrivateProfileStringW(L"GENERAL", key, L"<missing>", value, 8, (folder / L"Vellbrook.ini").c_str());
        EXPECT_STRNE(L"<missin", value) << "no " << key;
    }
}

}  // namespace
