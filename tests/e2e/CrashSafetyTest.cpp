// A Build run and a device definition import killed at chosen points in a process of their
// own: both databases pass SQLite's integrity check, every stored row holds the whole job or
// is absent, and the next run or import works.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "BatchFixture.h"
#include "DefinitionFileWriter.h"
#include "DeviceStorage.h"
#include "RawDatabase.h"

namespace vb::test {
namespace {

constexpr int kJobs = 10;
constexpr wchar_t kModel[] = L"Model 300";
// What the child does: "<action>|<program folder>|<input>|<stall>|<event name>".
constexpr wchar_t kChildVariable[] = L"VB_CRASH_CHILD";

// Process-wide, as the SQLite file layer that reads them.
HANDLE heldEvent = nullptr;
std::string writeFileEnd;
int writesLeft = 0;

// SQLite's own file layer, with the writes to one file counted: the process stops between two
// writes of a commit, where a real crash can stop it.
sqlite3_vfs* baseVfs = nullptr;
sqlite3_vfs countingVfs;
const sqlite3_io_methods* baseMethods = nullptr;
sqlite3_io_methods countingMethods;

int CountedWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    int result = baseMethods->xWrite(file, data, amount, offset);
    if (--writesLeft == 0) {
        ::SetEvent(heldEvent);  // and holds still until killed
        for (;;) ::Sleep(INFINITE);
    }
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

// About 8 KB of printer commands a job, so that each store spans several database pages.
const std::wstring kJobsScript = L"Dim j, i\r\nFor j = 1 To " + std::to_wstring(kJobs) +
                                 L"\r\n  Driver.StartDoc\r\n  Driver.StartPage\r\n  For i = 1 To 60\r\n"
                                 L"    Driver.TextOut 100, 100 + i, \"Job \" & j & \" line \" & i, 0\r\n  Next\r\n"
                                 L"  Driver.EndPage\r\n  Driver.EndDoc \"J\" & j\r\nNext";

struct CrashSafetyTest : BatchFixture {
    using RawRows = ::vb::test::Rows;  // texts as SQLite holds them
    struct KillPoint {
        const char* what;
        const wchar_t* stall;  // where the child holds still, or "-"
        int rowsSeen;          // else it is killed once the results hold so many rows (0: once the file is there)
    };

    void SetUp() override { scripts_ = {scripts_[0], StoreScript(1, L"Jobs", kJobsScript)}; }

    // Starts the child and kills it once it holds still at its stall point or `rowsSeen` rows are seen.
    void RunAndKill(const std::wstring& action, const std::wstring& input, const std::wstring& stall, int rowsSeen) {
        // Gone with the child before the next one is started.
        const std::wstring eventName = L"vb_crash_" + std::to_wstring(::GetCurrentProcessId());
        UniqueKernelHandle held(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        ScopedEnvironment work(kChildVariable, action + L"|" + program_.Path() + L"|" + input + L"|" + stall + L"|" +
                                                   eventName);
        std::wstring command =
            L"\"" + BinDir() + L"e2e_tests.exe\" --gtest_also_run_disabled_tests --gtest_filter=CrashChild.*";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;  // the child's own test report stays out of this one's
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &process));
        UniqueKernelHandle child(process.hProcess);
        ::CloseHandle(process.hThread);
        const HANDLE waits[] = {held.Get(), child.Get()};
        DWORD waited = WAIT_TIMEOUT;
        for (int polls = 0; polls < 4000 && waited == WAIT_TIMEOUT && (rowsSeen < 0 || RowsStored() < rowsSeen);
             ++polls) {
            waited = ::WaitForMultipleObjects(2, waits, FALSE, 5);
        }
        EXPECT_NE(WAIT_OBJECT_0 + 1, waited) << "the child ended before it was killed";
        ::TerminateProcess(child.Get(), 99);
        ::WaitForSingleObject(child.Get(), INFINITE);
    }

    static void ExpectSound(const std::wstring& database) {
        if (!FileExists(database)) return;  // killed before it was made
        EXPECT_EQ((RawRows{{L"ok"}}), QueryRaw(database, L"PRAGMA integrity_check")) << ToUtf8(database);
    }

    // -1 while the results database file is not there.
    int RowsStored() const {
        if (!FileExists(ResultsFile(L"FAM01"))) return -1;
        const RawRows count = QueryRaw(ResultsFile(L"FAM01"), L"SELECT count(*) FROM OUTPUT");
        return count.empty() ? 0 : std::stoi(count[0][0]);
    }

    std::wstring DeviceFile() const { return program_ / L"Data\\Data.mdb"; }
    RawRows DeviceTables() const {
        return QueryRaw(DeviceFile(), L"SELECT 'M', [KEY], NAME, CATALOG, REFS FROM DRIVER_MODELS UNION ALL "
                                      L"SELECT 'F', [KEY], NAME, '', 0 FROM DRIVER_FAMILIES ORDER BY 1, 2, 3");
    }
};

// The kill leaves whole rows or none; a Build run then stores every job, the same bytes as
// the rows that survived.
TEST_F(CrashSafetyTest, KilledBuildRunLeavesWholeRowsAndTheNextRunWorks) {
    const KillPoint points[] = {
        {"as soon as the results database file is there", L"-", 0},
        {"as the results database gets its table", L"write:\\FAM01.mdb:1", -1},
        {"with the journal of a store half-written", L"write:\\FAM01.mdb-journal:20", -1},
        {"with the database file half-written in a store", L"write:\\FAM01.mdb:25", -1},
        // Most of a job's time goes to printing it: the kill falls between two stores.
        {"between jobs, once eight rows are seen stored", L"-", 8},
    };
    for (const KillPoint& point : points) {
        SCOPED_TRACE(point.what);
        ::DeleteFileW(ResultsFile(L"FAM01").c_str());
        RunAndKill(L"build", reference_.Path(L""), point.stall, point.rowsSeen);
        ExpectSound(DeviceFile());
        ExpectSound(ResultsFile(L"FAM01"));
        const Rows left = StoredRows(L"FAM01");
        std::printf("  killed %s: %zu rows left\n", point.what, left.size());

        ExpectGoodBuild({kModel}, kJobs, point.what);
        const Rows all = StoredRows(L"FAM01");
        for (const auto& row : left) {
            EXPECT_NE(all.end(), std::find(all.begin(), all.end(), row)) << row[2] << ": " << row[3].size() << " bytes";
        }
    }
}

// The device tables are replaced whole or not at all; the import then works.
TEST_F(CrashSafetyTest, KilledImportLeavesTheOldOrTheNewTablesWhole) {
    ASSERT_EQ("", ExecRaw(DeviceFile(), "INSERT INTO DRIVER_FAMILIES VALUES ('OLD','Old'); "
                                        "INSERT INTO DRIVER_MODELS VALUES ('OLD','M','',1)"));
    const RawRows before = DeviceTables();
    const std::wstring definitions = program_ / L"Crash.def";
    // 20 families of 20 models: tables of several pages.
    DefinitionFileWriter writer(definitions);
    std::string index;
    for (int f = 0; f < 20; ++f) {
        const std::wstring family = L"F" + std::to_wstring(f);
        std::wstring listings;
        for (int m = 0; m < 20; ++m) {
            const std::wstring listing = family + L"-" + std::to_wstring(m);
            listings += listing + L";";
            writer.AddStrings(L"M~" + listing, {listing, L"Model " + listing, L"K" + std::to_wstring(f)});
        }
        writer.AddStrings(L"F~" + family, {family, listings});
        index += ToUtf8(family) + ";";
    }
    writer.AddObject(L"FAMILIES INDEX", ArchiveBuilder().Count(2).Ansi("").Ansi(index).Bytes());
    writer.Close();
    const KillPoint points[] = {
        {"with the journal half-written", L"write:\\Data.mdb-journal:10", -1},
        {"with the database file half-written", L"write:\\Data.mdb:3", -1},
    };
    // As after a real crash, the killed program is the only one with the file open. (An idle
    // connection keeps the truncated journal open on Windows; while it does, a new connection
    // cannot finish rolling back what the crash left and fails with a disk I/O error, until the
    // idle one rolls it back itself at its next read.)
    ws_.reset();
    std::vector<RawRows> killed;
    for (const KillPoint& point : points) {
        RunAndKill(L"import", definitions, point.stall, -1);
        ExpectSound(DeviceFile());
        killed.push_back(DeviceTables());
    }
    ws_ = std::make_unique<CWorkSpace>(program_ / L"Vellbrook.exe");
    CDeviceStorage storage;
    ASSERT_EQ(CDeviceStorage::kOk, storage.Open(definitions, TRUE));
    ASSERT_TRUE(ws_->ImportDeviceDefinitions(storage));
    const RawRows after = DeviceTables();
    EXPECT_EQ(420u, after.size());
    for (size_t i = 0; i < killed.size(); ++i) {
        const char* left = killed[i] == before ? "the old tables" : killed[i] == after ? "the new tables" : nullptr;
        EXPECT_TRUE(left) << points[i].what << ": " << killed[i].size() << " rows";
        std::printf("  import killed %s: %s left\n", points[i].what, left ? left : "a mix");
    }
}

// The child's side, started by RunAndKill: a Build run (input: the driver folder) or a device
// definition import (input: the definition file). It can hold still at a chosen point and say so
// through the named event; the parent then ends it with TerminateProcess, as a crash or a
// power-off would. <stall>: "-" runs to the end; "write:<file name end>:<n>" holds still right
// after the n-th write SQLite makes to a file whose name ends so (the database or its journal).
TEST(CrashChild, DISABLED_RunsUntilKilled) {
    wchar_t work[2048] = {};
    if (!::GetEnvironmentVariableW(kChildVariable, work, 2048)) GTEST_SKIP() << "started by the crash tests only";
    std::wistringstream fields(work);
    std::vector<std::wstring> args;  // action, program folder, input, stall, event name
    for (std::wstring field; std::getline(fields, field, L'|');) args.push_back(field);
    ASSERT_EQ(5u, args.size());
    heldEvent = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, args[4].c_str());
    // Set before the workspace opens its databases, so that every write is counted.
    if (args[3].rfind(L"write:", 0) == 0) {
        const size_t colon = args[3].rfind(L':');
        writeFileEnd = vb::ToUtf8(args[3].substr(6, colon - 6));
        writesLeft = std::stoi(args[3].substr(colon + 1));
        baseVfs = ::sqlite3_vfs_find(nullptr);
        countingVfs = *baseVfs;
        countingVfs.zName = "counting";
        countingVfs.xOpen = CountingOpen;
        ::sqlite3_vfs_register(&countingVfs, 1);
    }
    HiddenLogPane logPane;
    CWorkSpace workspace(args[1] + L"Vellbrook.exe");
    if (args[0] == L"build") {
        workspace.SetPrnFolder(args[2]);
        workspace.SetPrnFolderRef(args[2]);
        workspace.SetDriverName(L"FAM01 (Sample family)");
        std::vector<CScriptItem> scripts{CScriptItem(0), CScriptItem(1)};  // the run loads their texts
        workspace.RunBatch(1, scripts, {kModel}, kModel, FALSE, logPane.Edit());
    } else {
        CDeviceStorage storage;
        if (storage.Open(args[2], TRUE) == CDeviceStorage::kOk) workspace.ImportDeviceDefinitions(storage);
    }
}

}  // namespace
}  // namespace vb::test
