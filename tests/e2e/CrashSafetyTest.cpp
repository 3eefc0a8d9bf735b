// A Build run and a device definition import killed at chosen points in a process of their
// own: both databases pass SQLite's integrity check, every stored row holds the whole job or
// is absent, and the next run or import works.
#include <cstdio>
#include <map>

#include "BatchFixture.h"
#include "DefinitionFileWriter.h"
#include "DeviceStorage.h"
#include "RawDatabase.h"

namespace vb::test {
namespace {

constexpr int kJobs = 10;
constexpr wchar_t kModel[] = L"Model 300";

// About 8 KB of printer commands a job, so that each store spans several database pages; the
// log line after each job marks the moment between two jobs.
const std::wstring kJobsScript = L"Dim j, i\r\nFor j = 1 To " + std::to_wstring(kJobs) +
                                 L"\r\n  Driver.StartDoc\r\n  Driver.StartPage\r\n  For i = 1 To 60\r\n"
                                 L"    Driver.TextOut 100, 100 + i, \"Job \" & j & \" line \" & i, 0\r\n  Next\r\n"
                                 L"  Driver.EndPage\r\n  Driver.EndDoc \"J\" & j\r\n  Me.Trace \"stored J\" & j & \".\"\r\nNext";

class CrashSafetyTest : public BatchFixture {
public:
    using RawRows = ::vb::test::Rows;  // texts as SQLite holds them
    struct KillPoint {
        const char* what;
        const wchar_t* stall;                    // where crash_child holds still, or "-"
        bool (CrashSafetyTest::*ready)() const;  // else the moment the test picks
        int rowsLeft;                            // rows the kill leaves; -1 when timing decides
    };

    void SetUp() override {
        UseFamily(L"FAM01");
        scripts_ = {GlobalScript(), StoreScript(1, L"Jobs", kJobsScript)};
    }

    // Starts crash_child and kills it once it holds still at its stall point or `ready` says so.
    void RunAndKill(const std::wstring& action, const std::wstring& input, const std::wstring& stall,
                    bool (CrashSafetyTest::*ready)() const) {
        static int runs = 0;
        const std::wstring eventName = L"vb_crash_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                                       std::to_wstring(++runs);
        UniqueKernelHandle held(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        // Folders go without their last '\', which would escape the closing quote.
        auto quoted = [](std::wstring text) {
            if (!text.empty() && text.back() == L'\\') text.pop_back();
            return L"\"" + text + L"\" ";
        };
        std::wstring command = quoted(BinDir() + L"crash_child.exe") + action + L" " + quoted(program_.Path()) +
                               quoted(input) + quoted(stall) + eventName;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &process));
        UniqueKernelHandle child(process.hProcess);
        ::CloseHandle(process.hThread);
        const HANDLE waits[] = {held.Get(), child.Get()};
        DWORD waited = WAIT_TIMEOUT;
        for (int polls = 0; polls < 4000 && waited == WAIT_TIMEOUT && !(ready && (this->*ready)()); ++polls) {
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

    bool ResultsFileMade() const { return FileExists(ResultsFile(L"FAM01")); }
    bool EightRowsStored() const {
        const RawRows count = QueryRaw(ResultsFile(L"FAM01"), L"SELECT count(*) FROM OUTPUT");
        return !count.empty() && std::stoi(count[0][0]) >= 8;
    }

    std::wstring DeviceFile() const { return program_ / L"Data\\Data.mdb"; }
    RawRows DeviceTables() const {
        return QueryRaw(DeviceFile(), L"SELECT 'M', [KEY], NAME, CATALOG, REFS FROM DRIVER_MODELS UNION ALL "
                                      L"SELECT 'F', [KEY], NAME, '', 0 FROM DRIVER_FAMILIES ORDER BY 1, 2, 3");
    }

protected:
    std::vector<CScriptItem> scripts_;
};

// The kill leaves whole rows or none; a Build run then stores every job, the same bytes as
// the rows that survived.
TEST_F(CrashSafetyTest, KilledBuildRunLeavesWholeRowsAndTheNextRunWorks) {
    const KillPoint points[] = {
        {"as soon as the results database file is there", L"-", &CrashSafetyTest::ResultsFileMade, -1},
        {"as the results database gets its table", L"write:\\FAM01.mdb:1", nullptr, 0},
        {"with the journal of a store half-written", L"write:\\FAM01.mdb-journal:20", nullptr, -1},
        {"with the database file half-written in a store", L"write:\\FAM01.mdb:25", nullptr, -1},
        {"between jobs, after the fifth was stored", L"log:stored J5.", nullptr, 5},
        {"once eight rows are seen stored", L"-", &CrashSafetyTest::EightRowsStored, -1},
    };
    for (const KillPoint& point : points) {
        SCOPED_TRACE(point.what);
        ::DeleteFileW(ResultsFile(L"FAM01").c_str());
        RunAndKill(L"build", reference_.Path(L""), point.stall, point.ready);
        ExpectSound(DeviceFile());
        ExpectSound(ResultsFile(L"FAM01"));
        const Rows left = StoredRows(L"FAM01");
        if (point.rowsLeft >= 0) {
            EXPECT_EQ(static_cast<size_t>(point.rowsLeft), left.size());
        }
        std::printf("  killed %s: %zu rows left\n", point.what, left.size());

        ExpectGoodBuild(scripts_, {kModel}, kJobs, point.what);
        std::map<std::string, std::string> stored;
        for (const auto& row : StoredRows(L"FAM01")) stored[row[2]] = row[3];
        for (const auto& row : left) {
            EXPECT_TRUE(stored[row[2]] == row[3]) << row[2] << " holds " << row[3].size() << " bytes of "
                                                  << stored[row[2]].size();
        }
    }
}

// The device tables are replaced whole or not at all; the import then works.
TEST_F(CrashSafetyTest, KilledImportLeavesTheOldOrTheNewTablesWhole) {
    ASSERT_EQ("", ExecRaw(DeviceFile(), "INSERT INTO DRIVER_FAMILIES VALUES ('OLD','Old'); "
                                        "INSERT INTO DRIVER_MODELS VALUES ('OLD','M','',1)"));
    const RawRows before = DeviceTables();
    const std::wstring definitions = program_ / L"Crash.def";
    {
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
    }
    const KillPoint points[] = {
        {"with the journal half-written", L"write:\\Data.mdb-journal:10", nullptr, -1},
        {"with the database file half-written", L"write:\\Data.mdb:3", nullptr, -1},
    };
    // As after a real crash, the killed program is the only one with the file open. (An idle
    // connection keeps the truncated journal open on Windows; while it does, a new connection
    // cannot finish rolling back what the crash left and fails with a disk I/O error, until the
    // idle one rolls it back itself at its next read.)
    ws_.reset();
    std::vector<RawRows> killed;
    for (const KillPoint& point : points) {
        RunAndKill(L"import", definitions, point.stall, nullptr);
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

}  // namespace
}  // namespace vb::test
