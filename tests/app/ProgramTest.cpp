// The real program started in a program folder of the test's own: its start-up, its window with
// the styled editor, its exit, and the device database and settings its first start leaves
// behind; and the same with a folder a tester may have damaged.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Strings.h"
#include "TestFiles.h"
#include "UniqueHandle.h"

namespace {

constexpr UINT kSciGetLexer = 4002;  // Scintilla's SCI_GETLEXER
constexpr LRESULT kVbScriptLexer = 28;  // SCLEX_VBSCRIPT
constexpr int kEditorId = 1014;
constexpr int kScriptListId = 1007;  // found in the main window only
constexpr int kBoxTextId = 0xFFFF;   // a message box's text

// The program's visible main window within 30 seconds; none when the process ended first. A
// box the program shows before it has its text added to `boxes` and is answered with OK.
HWND WaitForMainWindow(const PROCESS_INFORMATION& started, std::vector<std::wstring>& boxes) {
    std::set<HWND> answered;
    for (int tick = 0; tick < 300; ++tick) {
        for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, nullptr, L"Vellbrook"));) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process != started.dwProcessId || !::IsWindowVisible(window)) continue;
            if (::GetDlgItem(window, kScriptListId)) return window;
            if (!answered.insert(window).second) continue;
            wchar_t text[1024] = L"";
            ::GetDlgItemTextW(window, kBoxTextId, text, 1024);
            boxes.push_back(text);
            ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        if (::WaitForSingleObject(started.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

// A program folder holding the program and the libraries it loads from its own folder.
class ProgramFolder {
public:
    ProgramFolder() {
        for (const wchar_t* file : {L"Vellbrook.exe", L"Latchwire.dll", L"Scintilla.dll", L"Lexilla.dll"}) {
            ::CopyFileW((vb::test::BinDir() + file).c_str(), (folder_ / file).c_str(), FALSE);
        }
    }
    std::wstring operator/(const std::wstring& name) const { return folder_ / name; }

    // Starts the program, hands its main window to `inspect`, closes it as its close box would
    // and returns its exit code; -1 when no main window came. `boxes`: the texts of the boxes
    // shown before the main window.
    long Run(const std::function<void(HWND)>& inspect, std::vector<std::wstring>& boxes) const {
        const std::wstring program = folder_ / L"Vellbrook.exe";
        // The first windowed program in a new prefix sometimes ends at once without a window.
        for (int attempt = 0; attempt < 3; ++attempt) {
            STARTUPINFOW startup{};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION started{};
            std::wstring commandLine = L"\"" + program + L"\"";
            if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder_.Path().c_str(), &startup, &started)) {
                return -1;
            }
            ::CloseHandle(started.hThread);
            vb::UniqueHandle<vb::KernelHandleTraits> process(started.hProcess);
            boxes.clear();
            HWND window = WaitForMainWindow(started, boxes);
            if (!window) {
                ::TerminateProcess(started.hProcess, 1);
                continue;
            }
            if (inspect) inspect(window);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return -1;
            DWORD exitCode = 1;
            ::GetExitCodeProcess(process.Get(), &exitCode);
            return static_cast<long>(exitCode);
        }
        return -1;
    }

private:
    vb::test::TempFolder folder_;
};

// The script engine's registration made unusable while the object lives: its class name no
// longer names a class, so nothing is started in its place.
class UnusableScriptEngine {
public:
    explicit UnusableScriptEngine(bool active) {
        DWORD size = sizeof(saved_);
        active_ = active &&
                  ::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, RRF_RT_REG_SZ, nullptr, saved_, &size) == ERROR_SUCCESS;
        if (active_) Write(L"not a class");
    }
    ~UnusableScriptEngine() {
        if (active_) Write(saved_);
    }
    UnusableScriptEngine(const UnusableScriptEngine&) = delete;
    UnusableScriptEngine& operator=(const UnusableScriptEngine&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Software\\Classes\\VBScript\\CLSID";
    static void Write(const wchar_t* value) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, value,
                          static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t)));
    }
    wchar_t saved_[64] = {};
    bool active_ = false;
};

// The program opens and closes cleanly in a fresh folder, with the device database and settings
// made, and in a damaged one, leaving what it found as it was and saying once why the device
// database cannot be used.
TEST(ProgramTest, StartsInAFreshOrDamagedFolderAndLosesNothing) {
    enum class Editor { kVbScript, kPlain, kNone };
    struct Case {
        const char* name;
        const wchar_t* file;  // written before the start, and expected unchanged after it; null: none
        std::string bytes;    // empty: the file and Lexilla.dll are deleted
        Editor editor;
        bool noScriptEngine = false;
        const wchar_t* startBox = nullptr;  // what the one box at start says, after the file's name
    };
    const std::string garbage(5000, '\x9A');
    const Case cases[] = {
        {"first start", nullptr, "", Editor::kVbScript},
        {"no script engine: a plain, unstyled editor", nullptr, "", Editor::kPlain, true},
        {"device database that is no database", L"Data\\Data.mdb", garbage, Editor::kVbScript, false,
         L"] cannot be opened:\r\nfile is not a database"},
        {"nonsense configuration", L"Vellbrook.ini",
         "[GENERAL]\r\nVersion=zzz\r\nHashCode=-1\r\nPrnFolder=Q:\\nowhere\\\r\nDriverName=\x01\x02 no family\r\n"
         "ModelName=" + std::string(300, 'M') + "\r\nScriptName=-5\r\nOutput=\\\\.\\NOPORT\r\n",
         Editor::kVbScript},
        {"a file where the data folder belongs", L"Data", "not a folder", Editor::kVbScript, false,
         L"] cannot be opened:\r\nThe folder ["},
        {"editing libraries missing: no editor", L"Scintilla.dll", "", Editor::kNone},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ProgramFolder folder;
        const std::wstring path = test.file ? folder / test.file : std::wstring();
        if (test.file) ::CreateDirectoryW((folder / L"Data").c_str(), nullptr);
        if (test.file && test.bytes.empty()) {
            ::DeleteFileW(path.c_str());
            ::DeleteFileW((folder / L"Lexilla.dll").c_str());
        } else if (test.file) {
            ::RemoveDirectoryW(path.c_str());
            ASSERT_TRUE(vb::test::WriteFileBytes(path, test.bytes));
        }
        UnusableScriptEngine noEngine(test.noScriptEngine);
        Editor editor = Editor::kNone;
        std::vector<std::wstring> boxes;
        EXPECT_EQ(0, folder.Run([&](HWND window) {
            if (HWND control = ::GetDlgItem(window, kEditorId)) {
                bool vbScript = ::SendMessageW(control, kSciGetLexer, 0, 0) == kVbScriptLexer;
                editor = vbScript ? Editor::kVbScript : Editor::kPlain;
            }
        }, boxes));
        EXPECT_EQ(test.startBox ? 1u : 0u, boxes.size());
        if (test.startBox && !boxes.empty()) {
            EXPECT_EQ(0u, boxes[0].find(L"The device database [" + (folder / L"Data\\Data.mdb") + test.startBox))
                << vb::ToUtf8(boxes[0]);
        }
        EXPECT_EQ(test.editor, editor);
        if (!test.bytes.empty() && test.bytes.find("[GENERAL]") != 0) {
            EXPECT_EQ(test.bytes, vb::test::ReadFileBytes(path)) << "the program changed what it could not use";
        }
        if (test.file) continue;
        EXPECT_TRUE(vb::test::FileExists(folder / L"Data\\Data.mdb"));
        // The settings are written as the program ends; which keys, WorkSpaceTest says.
        EXPECT_TRUE(vb::test::FileExists(folder / L"Vellbrook.ini"));
    }
}

}  // namespace
