// What the bench costs around the driver: a Build run of N print jobs, beside the same script
// driving the same driver with nothing captured or stored, and beside raw SQLite inserts of the
// same Base64 text with the connection's own settings, both alone and made as each job of that
// driver ends (a commit right after the driver wrote its job costs more than one on an idle
// disk); over the whole run and over its first and last hundred jobs.
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
#include "JobPace.h"
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

// A run's time, and the end of each of its jobs in seconds into the run.
struct RunTimes {
    double seconds = -1;
    std::vector<double> ends;
};

// Raw SQLite inserts of print jobs with the connection's own settings: one insert per job, each
// its own transaction as the store commits each item, the job encoded to Base64 first as the
// store encodes each captured file. Only the encoding and the insert are timed.
class RawStore {
public:
    bool Open(const std::wstring& path) {
        ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::wstring error;
        db_ = CDbConnection::OpenDatabase(path, error);
        if (!db_) return false;
        ::sqlite3_exec(db_.Get(), "CREATE TABLE OUTPUT (NAME TEXT, KEY INTEGER, KEY_SUB TEXT, REF_DATA TEXT)", nullptr,
                       nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        ::sqlite3_prepare_v2(db_.Get(), "INSERT INTO OUTPUT VALUES ('LX 300', 1, ?, ?)", -1, &insert, nullptr);
        insert_.Reset(insert);
        return insert_.Get() != nullptr;
    }

    bool Insert(const std::string& job) {
        Stopwatch clock;
        std::string text((job.size() + 2) / 3 * 4, '\0');
        text.resize(CBase64::EncodeBlock(reinterpret_cast<const BYTE*>(job.data()), job.size(), text.data()));
        const std::string subItem = "J" + std::to_string(times_.ends.size() + 1);
        ::sqlite3_bind_text(insert_.Get(), 1, subItem.c_str(), -1, SQLITE_TRANSIENT);
        ::sqlite3_bind_text(insert_.Get(), 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        const bool inserted = ::sqlite3_step(insert_.Get()) == SQLITE_DONE;
        ::sqlite3_reset(insert_.Get());
        spent_ += clock.Seconds();
        times_.ends.push_back(spent_);
        failed_ = failed_ || !inserted;
        return inserted;
    }

    // The time spent inserting, with the end of each insert counted in that time alone.
    RunTimes Times() const {
        RunTimes times = times_;
        times.seconds = failed_ ? -1 : spent_;
        return times;
    }

private:
    vb::UniqueSqliteDatabase db_;
    vb::UniqueSqliteStatement insert_;
    RunTimes times_;
    double spent_ = 0;
    bool failed_ = false;
};

// The driver with nobody capturing: the wrapper reports to a handler that does nothing but,
// when given a raw store, insert each job's print file into it as the job ends.
class NullHandler : public CDriverHandler {
public:
    NullHandler(std::wstring printFile, RawStore* raw) : printFile_(std::move(printFile)), raw_(raw) {}
    BOOL OnPrintEvent(int code, const std::wstring&, const std::wstring&) override {
        if (raw_ && code == kJobEnded) raw_->Insert(bench::ReadWholeFile(printFile_));
        return FALSE;
    }
    std::wstring GetModelCatalog(const std::wstring&) override { return {}; }
    BOOL OpenPipe(const std::wstring&) override { return FALSE; }
    BOOL IsDirectPrintMode() override { return FALSE; }

private:
    std::wstring printFile_;
    RawStore* raw_;
};

// The engine is handed what a Build run hands it: the global script and the job script as its
// procedure, with `Me` and `Driver`; or, to show what the global script's names cost the
// engine's name look-ups, the job script alone. `Me` is the workspace of the Build runs, idle.
enum class ScriptText { AsBuildRun, JobScriptAlone };

// With a raw store, each job's print file is inserted into it as the job ends.
RunTimes ScriptAndDriverOnly(bench::BuildRunSetup& setup, const std::wstring& folder, const std::wstring& jobScript,
                             ScriptText text, std::string& lastJob, RawStore* raw = nullptr) {
    const std::wstring printFile = folder + L"direct.txt";
    NullHandler handler(printFile, raw);
    CDriverWrapper driver(&handler);
    CMSScriptObject script(nullptr);
    CWorkSpace& idle = setup.Workspace();
    idle.SetLogWindow(setup.LogPane());
    if (!driver.Load(folder + L"FAM01.PRN", printFile, folder + L"direct.ini", FALSE) ||
        !driver.CreateDriverDC(kModel, nullptr) || !script.Init() || !script.AddObject(L"Me", idle.AsDispatch()) ||
        !script.AddObject(L"Driver", driver.AsDispatch())) {
        return {};
    }
    const std::wstring global = text == ScriptText::AsBuildRun ? setup.Scripts()[0].DATA : std::wstring();
    const std::wstring code = global + L"\r\nSub ScriptItem_1()\r\n" + jobScript + L"\r\nEnd Sub\r\n";
    RunTimes times;
    bench::JobPace pace(setup.LogPane());
    Stopwatch clock;
    if (script.AddCode(code.c_str()) && script.Run(L"ScriptItem_1")) {
        times.seconds = clock.Seconds();
        times.ends = pace.Ends();
    }
    lastJob = bench::ReadWholeFile(printFile);
    script.Reset();
    driver.Unload();
    return times;
}

// The raw inserts alone, one after the other, with no driver at work.
RunTimes RawInserts(const std::wstring& folder, int jobs, const std::string& job) {
    RawStore raw;
    if (!raw.Open(folder + L"raw.db")) return {};
    for (int j = 1; j <= jobs; ++j) raw.Insert(job);
    return raw.Times();
}

RunTimes BuildRun(bench::BuildRunSetup& setup, int mode) {
    RunTimes times;
    bench::JobPace pace(setup.LogPane());
    Stopwatch clock;
    if (setup.Workspace().RunBatch(mode, setup.Scripts(), {kModel}, kModel, FALSE, setup.LogPane())) {
        times.seconds = clock.Seconds();
        times.ends = pace.Ends();
    }
    return times;
}

// Milliseconds per job: over the whole run, over jobs 2 to 100 and over the last hundred (each
// job timed from the end of the one before, so that loading the driver does not count).
struct PerJob {
    double whole = -1;
    double first = -1;
    double last = -1;

    static PerJob Of(const RunTimes& run, int jobs) {
        if (run.seconds < 0 || static_cast<int>(run.ends.size()) != jobs) return {};
        return {run.seconds * 1000 / jobs, bench::MeanJobMs(run.ends, 2, std::min(jobs, 100)),
                jobs >= 200 ? bench::MeanJobMs(run.ends, jobs - 99, jobs) : -1};
    }
    bool Complete() const { return whole >= 0; }
    // The best of several rounds: what the machine's other load did not slow down.
    void KeepBest(const PerJob& round) {
        auto best = [](double& kept, double next) { kept = kept < 0 ? next : std::min(kept, next); };
        best(whole, round.whole);
        best(first, round.first);
        best(last, round.last);
    }
};

enum Run { kReference, kComparison, kDirect, kDirectAndRaw, kAlone, kRaw, kRawInRun, kRuns };
constexpr const char* kRunNames[kRuns] = {"Build, reference",
                                          "Build, comparison",
                                          "script and driver, nothing captured",
                                          "the same, raw insert as each job ends",
                                          "the job script alone",
                                          "raw SQLite insert, alone",
                                          "raw SQLite insert, as each job ends"};

// One round in a folder of its own, so that every reference run inserts its rows anew.
bool MeasureRound(int jobs, PerJob (&best)[kRuns], size_t& jobBytes) {
    std::wstring folder = MakeFolder(L"vb_batch_bench_");
    bool complete = false;
    if (::CopyFileW((ProgramFolder() + L"sample_driver.dll").c_str(), (folder + L"FAM01.PRN").c_str(), FALSE)) {
        const std::wstring jobScript = JobsScript(jobs, bench::JobPace::MarkStatement());
        bench::BuildRunSetup setup(folder, L"Jobs", jobScript);
        RunTimes runs[kRuns];
        runs[kReference] = BuildRun(setup, 1);
        runs[kComparison] = BuildRun(setup, 0);
        std::string job;
        std::string unused;
        runs[kDirect] = ScriptAndDriverOnly(setup, folder, jobScript, ScriptText::AsBuildRun, job);
        RawStore inRun;
        if (inRun.Open(folder + L"in_run.db")) {
            runs[kDirectAndRaw] = ScriptAndDriverOnly(setup, folder, jobScript, ScriptText::AsBuildRun, unused, &inRun);
            runs[kRawInRun] = inRun.Times();
        }
        runs[kAlone] = ScriptAndDriverOnly(setup, folder, jobScript, ScriptText::JobScriptAlone, unused);
        runs[kRaw] = RawInserts(folder, jobs, job);
        jobBytes = job.size();
        complete = true;
        for (int run = 0; run < kRuns; ++run) {
            PerJob figures = PerJob::Of(runs[run], jobs);
            complete = complete && figures.Complete();
            best[run].KeepBest(figures);
        }
    }
    RemoveTree(folder);
    return complete;
}

bool Measure(int jobs, int rounds) {
    PerJob best[kRuns];
    size_t jobBytes = 0;
    for (int i = 0; i < rounds; ++i) {
        if (!MeasureRound(jobs, best, jobBytes)) {
            std::printf("%d jobs: A RUN FAILED\n", jobs);
            return false;
        }
    }
    std::printf("%d jobs of %zu bytes, best of %d rounds, ms per job:\n", jobs, jobBytes, rounds);
    std::printf("  %-38s %10s %12s %12s\n", "", "whole run", "jobs 2-100", "last 100");
    for (int run = 0; run < kRuns; ++run) {
        std::printf("  %-38s %10.2f %12.2f %12.2f\n", kRunNames[run], best[run].whole, best[run].first, best[run].last);
    }
    // Everything but the driver's work: the Build run less the same script text driving the
    // same driver with nothing captured; as a share of that script and driver's own time, and
    // against the raw insert made where the store makes its own, as each job ends.
    for (int run : {kReference, kComparison}) {
        std::printf("  the bench's own cost, %-10s", run == kReference ? "reference" : "comparison");
        for (double PerJob::*part : {&PerJob::whole, &PerJob::first, &PerJob::last}) {
            if (best[run].*part < 0 || best[kRawInRun].*part < 0) continue;
            const double own = best[run].*part - best[kDirect].*part;
            std::printf(" %7.2f (%3.0f %%, %.2f times a raw insert)", own, own * 100 / best[kDirect].*part,
                        own / (best[kRawInRun].*part));
        }
        std::printf("\n");
    }
    std::printf("  the global script's names cost the engine %.2f ms per job\n",
                best[kDirect].whole - best[kAlone].whole);
    return true;
}

}  // namespace

// A Build run of many jobs: the cost per job, and whether it grows from the first hundred jobs
// to the last; the best of a number of rounds. The log pane is a window: run it with a display.
int main(int argc, char** argv) {
    const int jobs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    ::CoInitialize(nullptr);
    bool ok = Measure(jobs, rounds);
    ::CoUninitialize();
    return ok ? 0 : 1;
}
