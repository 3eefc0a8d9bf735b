// What the bench costs around the driver: a Build run of N print jobs, beside the same script
// driving the same driver with nothing captured or stored, and beside raw SQLite inserts of
// the same Base64 text with the connection's own settings.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Base64.h"
#include "BenchBuildRun.h"
#include "BenchFolder.h"
#include "JobsScript.h"
#include "DbConnection.h"
#include "DriverHandler.h"
#include "DriverWrapper.h"
#include "MSScriptObject.h"
#include "Stopwatch.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

using bench::JobsScript;
using bench::MakeFolder;
using bench::ProgramFolder;
using bench::RemoveTree;

constexpr wchar_t kModel[] = L"LX 300";

// The driver with nobody capturing: the wrapper reports to a handler that does nothing.
class NullHandler : public CDriverHandler {
public:
    BOOL OnPrintEvent(int, const std::wstring&, const std::wstring&) override { return FALSE; }
    std::wstring GetModelCatalog(const std::wstring&) override { return {}; }
    BOOL OpenPipe(const std::wstring&) override { return FALSE; }
    BOOL IsDirectPrintMode() override { return FALSE; }
};

// The engine is handed what a Build run hands it: the global script and the job script as its
// procedure, with `Me` and `Driver`; or, to show what the global script's names cost the
// engine's name look-ups, the job script alone.
enum class ScriptText { AsBuildRun, JobScriptAlone };

double ScriptAndDriverOnly(const std::wstring& folder, int jobs, ScriptText text, std::string& lastJob) {
    CWorkSpace idle(folder + L"Vellbrook.exe");
    NullHandler handler;
    CDriverWrapper driver(&handler);
    CMSScriptObject script(nullptr);
    std::wstring printFile = folder + L"direct.txt";
    if (!driver.Load(folder + L"FAM01.PRN", printFile, folder + L"direct.ini", FALSE) ||
        !driver.CreateDriverDC(kModel, nullptr) || !script.Init() || !script.AddObject(L"Me", idle.AsDispatch()) ||
        !script.AddObject(L"Driver", driver.AsDispatch())) {
        return -1;
    }
    CScriptItem global(0);
    if (text == ScriptText::AsBuildRun) idle.LoadScript(global);
    const std::wstring code = global.DATA + L"\r\nSub ScriptItem_1()\r\n" + JobsScript(jobs) + L"\r\nEnd Sub\r\n";
    Stopwatch clock;
    bool ran = script.AddCode(code.c_str()) && script.Run(L"ScriptItem_1");
    double seconds = clock.Seconds();
    HANDLE file = ::CreateFileW(printFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char chunk[65536];
        DWORD read = 0;
        while (::ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) lastJob.append(chunk, read);
        ::CloseHandle(file);
    }
    script.Reset();
    driver.Unload();
    return ran ? seconds : -1;
}

// One insert per job, each its own transaction, as the store commits each item.
double RawInserts(const std::wstring& folder, int jobs, const std::string& job) {
    std::wstring path = folder + L"raw.db";
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::wstring error;
    vb::UniqueSqliteDatabase db = CDbConnection::OpenDatabase(path, error);
    if (!db) return -1;
    ::sqlite3_exec(db.Get(), "CREATE TABLE OUTPUT (NAME TEXT, KEY INTEGER, KEY_SUB TEXT, REF_DATA TEXT)", nullptr, nullptr,
                   nullptr);
    sqlite3_stmt* insert = nullptr;
    ::sqlite3_prepare_v2(db.Get(), "INSERT INTO OUTPUT VALUES ('LX 300', 1, ?, ?)", -1, &insert, nullptr);
    vb::UniqueSqliteStatement owner(insert);
    Stopwatch clock;
    for (int j = 1; j <= jobs; ++j) {
        // Encoded for each job, as the store encodes each captured file.
        std::string text((job.size() + 2) / 3 * 4, '\0');
        text.resize(CBase64::EncodeBlock(reinterpret_cast<const BYTE*>(job.data()), job.size(), text.data()));
        std::string subItem = "J" + std::to_string(j);
        ::sqlite3_bind_text(insert, 1, subItem.c_str(), -1, SQLITE_TRANSIENT);
        ::sqlite3_bind_text(insert, 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        if (::sqlite3_step(insert) != SQLITE_DONE) return -1;
        ::sqlite3_reset(insert);
    }
    return clock.Seconds();
}

struct BuildTimes {
    double reference = -1;
    double comparison = -1;
};

BuildTimes BuildRuns(const std::wstring& folder, int jobs) {
    BuildTimes times;
    bench::BuildRunSetup setup(folder, L"Jobs", JobsScript(jobs));
    const std::vector<std::wstring> models{kModel};
    for (int mode : {1, 0}) {
        Stopwatch clock;
        BOOL ran = setup.Workspace().RunBatch(mode, setup.Scripts(), models, kModel, FALSE, setup.LogPane());
        (mode ? times.reference : times.comparison) = ran ? clock.Seconds() : -1;
    }
    return times;
}

struct Figures {
    BuildTimes build;
    double direct = -1;  // the same script text and driver, nothing captured
    double alone = -1;   // the job script alone
    double raw = -1;
    size_t jobBytes = 0;

    bool Complete() const {
        return direct >= 0 && alone >= 0 && raw >= 0 && build.reference >= 0 && build.comparison >= 0;
    }
    // The best of several rounds: what the machine's other load did not slow down.
    void KeepBest(const Figures& round) {
        auto best = [](double& kept, double next) { kept = kept < 0 ? next : std::min(kept, next); };
        best(build.reference, round.build.reference);
        best(build.comparison, round.build.comparison);
        best(direct, round.direct);
        best(alone, round.alone);
        best(raw, round.raw);
        jobBytes = round.jobBytes;
    }
};

// One round in a folder of its own, so that every reference run inserts its rows anew.
Figures MeasureRound(int jobs) {
    Figures round;
    std::wstring folder = MakeFolder(L"vb_batch_bench_");
    if (::CopyFileW((ProgramFolder() + L"sample_driver.dll").c_str(), (folder + L"FAM01.PRN").c_str(), FALSE)) {
        std::string job;
        std::string unused;
        round.build = BuildRuns(folder, jobs);
        round.direct = ScriptAndDriverOnly(folder, jobs, ScriptText::AsBuildRun, job);
        round.alone = ScriptAndDriverOnly(folder, jobs, ScriptText::JobScriptAlone, unused);
        round.raw = RawInserts(folder, jobs, job);
        round.jobBytes = job.size();
    }
    RemoveTree(folder);
    return round;
}

bool Measure(int jobs, int rounds) {
    Figures figures;
    for (int i = 0; i < rounds; ++i) {
        Figures round = MeasureRound(jobs);
        if (!round.Complete()) {
            std::printf("  %d jobs: A RUN FAILED\n", jobs);
            return false;
        }
        figures.KeepBest(round);
    }
    const BuildTimes& build = figures.build;
    const double direct = figures.direct, alone = figures.alone, raw = figures.raw;
    auto perJob = [jobs](double seconds) { return seconds / jobs * 1000; };
    double rawCost = perJob(raw);
    std::printf("  %5d jobs of %zu bytes: Build %.0f ms, comparison %.0f ms; the same script text and driver with "
                "nothing captured %.0f ms (the job script alone, without the global script: %.0f ms); raw inserts "
                "%.0f ms\n",
                jobs, figures.jobBytes, build.reference * 1000, build.comparison * 1000, direct * 1000, alone * 1000,
                raw * 1000);
    for (auto [name, seconds] : {std::pair{"Build", build.reference}, std::pair{"comparison", build.comparison}}) {
        double own = perJob(seconds - direct);
        std::printf("         %-10s the bench's own cost %.2f ms/job against %.2f ms/job of raw insert: ratio %.2f\n",
                    name, own, rawCost, own / rawCost);
    }
    std::printf("         the global script's names cost the engine %.2f ms/job\n", perJob(direct - alone));
    return true;
}

}  // namespace

// Build runs of a few and of many jobs, to see the cost per job and whether it grows; each the
// best of a number of rounds.
int main(int argc, char** argv) {
    int few = argc > 1 ? std::atoi(argv[1]) : 20;
    int many = argc > 2 ? std::atoi(argv[2]) : 500;
    int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    ::CoInitialize(nullptr);
    bool ok = true;
    for (int jobs : {few, many}) ok = Measure(jobs, rounds) && ok;
    ::CoUninitialize();
    return ok ? 0 : 1;
}
