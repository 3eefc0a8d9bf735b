// A Build run or a device definition import in a process of its own, for the crash tests to
// kill. It can hold still at a chosen point and say so through a named event; the test then
// ends it with TerminateProcess, as a crash or a power-off would.
//
//   crash_child build  <program folder> <driver folder>   <stall> <event name>
//   crash_child import <program folder> <definition file> <stall> <event name>
//
// Folders are given without their last '\'.
//
// <stall>: "-" runs to the end; "write:<file name end>:<n>" holds still right after the n-th
// write SQLite makes to a file whose name ends so (the database or its journal);
// "log:<text>" holds still once the run log shows the text.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "DeviceStorage.h"
#include "HiddenLogPane.h"
#include "Resources.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kModel[] = L"Model 300";

// Process-wide, as the SQLite file layer and the window procedure that read them.
HANDLE heldEvent = nullptr;
std::string writeFileEnd;
int writesLeft = 0;
std::wstring logMarker;

[[noreturn]] void HoldStill() {
    ::SetEvent(heldEvent);
    for (;;) ::Sleep(INFINITE);
}

// SQLite's own file layer, with the writes to one file counted: the process stops between two
// writes of a commit, where a real crash can stop it.
sqlite3_vfs* baseVfs = nullptr;
sqlite3_vfs countingVfs;
const sqlite3_io_methods* baseMethods = nullptr;
sqlite3_io_methods countingMethods;

int CountedWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    int result = baseMethods->xWrite(file, data, amount, offset);
    if (--writesLeft == 0) HoldStill();
    return result;
}

int CountingOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    int result = baseVfs->xOpen(baseVfs, name, file, flags, outFlags);
    const size_t length = name ? std::strlen(name) : 0;
    if (result == SQLITE_OK && file->pMethods && length >= writeFileEnd.size() &&
        ::_stricmp(name + length - writeFileEnd.size(), writeFileEnd.c_str()) == 0) {
        baseMethods = file->pMethods;
        countingMethods = *baseMethods;
        countingMethods.xWrite = CountedWrite;
        file->pMethods = &countingMethods;
    }
    return result;
}

void CountWrites(const std::string& fileEnd, int count) {
    writeFileEnd = fileEnd;
    writesLeft = count;
    baseVfs = ::sqlite3_vfs_find(nullptr);
    countingVfs = *baseVfs;
    countingVfs.zName = "counting";
    countingVfs.xOpen = CountingOpen;
    ::sqlite3_vfs_register(&countingVfs, 1);
}

LRESULT CALLBACK WatchLog(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == EM_REPLACESEL && lParam &&
        std::wstring(reinterpret_cast<const wchar_t*>(lParam)).find(logMarker) != std::wstring::npos) {
        HoldStill();
    }
    return result;
}

void SetStall(const std::wstring& stall, HWND logPane) {
    if (stall.rfind(L"write:", 0) == 0) {
        size_t colon = stall.rfind(L':');
        CountWrites(vb::ToUtf8(stall.substr(6, colon - 6)), std::stoi(stall.substr(colon + 1)));
    } else if (stall.rfind(L"log:", 0) == 0) {
        logMarker = stall.substr(4);
        ::SetWindowSubclass(logPane, WatchLog, 1, 0);
    }
}

int Build(CWorkSpace& workspace, const std::wstring& drivers, HWND logPane) {
    workspace.SetPrnFolder(drivers + L"\\");
    workspace.SetPrnFolderRef(drivers + L"\\");
    workspace.SetDriverName(L"FAM01 (Sample family)");
    std::vector<CScriptItem> scripts{CScriptItem(0), CScriptItem(1)};
    for (CScriptItem& script : scripts) workspace.LoadScript(script);
    return workspace.RunBatch(1, scripts, {kModel}, kModel, FALSE, logPane) ? 0 : 1;
}

int Import(CWorkSpace& workspace, const std::wstring& definitionFile) {
    CDeviceStorage storage;
    if (storage.Open(definitionFile, TRUE) != CDeviceStorage::kOk) return 2;
    return workspace.ImportDeviceDefinitions(storage) ? 0 : 1;
}

}  // namespace

int main() {
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args || count != 6) return 3;
    // Folders come without their last '\', which would escape the closing quote.
    const std::wstring action = args[1], program = std::wstring(args[2]) + L"\\", input = args[3], stall = args[4];
    heldEvent = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, args[5]);
    ::LocalFree(args);
    ::CoInitialize(nullptr);
    int result = 0;
    {
        vb::MessageBoxCapture boxes;  // a box would hold the run where no test asked it to
        vb::test::HiddenLogPane logPane;
        // Set before the workspace opens its databases, so that every write is counted.
        SetStall(stall, logPane.Edit());
        CWorkSpace workspace(program + L"Vellbrook.exe");
        result = action == L"build" ? Build(workspace, input, logPane.Edit()) : Import(workspace, input);
        if (!boxes.Boxes().empty()) result = 4;
    }
    ::CoUninitialize();
    if (heldEvent) ::CloseHandle(heldEvent);
    return result;
}
