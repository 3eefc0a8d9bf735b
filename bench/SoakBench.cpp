// Whether long Build runs hold their memory and their pace: a reference and a comparison run of
// many print jobs, with the process's memory read at the 10th, 100th and last job of each and
// the time of every job. Past the first hundred jobs the figures should stay flat; a memory
// figure that keeps growing with the jobs is a leak, a job time that does is work that grows
// with what was stored before.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "BenchBuildRun.h"
#include "BenchFolder.h"
#include "JobPace.h"
#include "JobsScript.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kModel[] = L"LX 300";

struct MemorySample {
    int job = 0;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    long long residentKb = -1;  // the Linux process's resident size under Wine, else -1
    int logChars = 0;           // the log pane's text, which the run keeps by design
};

// The value of one "Key:\tvalue" line of a Linux process status.
std::string StatusField(const std::string& status, const std::string& key) {
    size_t start = status.find(key + ":");
    if (start == std::string::npos) return {};
    start = status.find_first_not_of(" \t", start + key.size() + 1);
    size_t end = status.find('\n', start);
    return start == std::string::npos ? std::string() : status.substr(start, end - start);
}

// Wine reports no private bytes, and its working set is its own estimate: the resident size
// of the Linux process behind this one says what the machine really gives it. Under Wine the
// wine server opens files, so Z:\proc\self is the server: this process is found by its name
// (the kernel keeps 15 characters of it) and must be the only one of that name. -1 when it
// cannot be told, and outside Wine.
long long ResidentKb() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string name = vb::ToUtf8(std::wstring(path).substr(std::wstring(path).rfind(L'\\') + 1)).substr(0, 15);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    long long resident = -1;
    int matches = 0;
    do {
        if (!std::iswdigit(found.cFileName[0])) continue;
        const std::string status = bench::ReadWholeFile(std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\status");
        if (StatusField(status, "Name") != name) continue;
        ++matches;
        resident = std::atoll(StatusField(status, "VmRSS").c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return matches == 1 ? resident : -1;
}

// Reads the memory at the chosen jobs.
struct Sampler {
    HWND logPane;
    std::vector<int> at;  // job numbers to sample at, ascending
    std::vector<MemorySample> samples;

    void OnJob(int job) {
        if (samples.size() >= at.size() || job != at[samples.size()]) return;
        MemorySample sample;
        sample.job = job;
        ::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&sample.counters),
                                  sizeof sample.counters);
        sample.residentKb = ResidentKb();
        sample.logChars = ::GetWindowTextLengthW(logPane);
        samples.push_back(sample);
    }
};

double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

double Percent(double from, double to) { return from > 0 ? (to - from) / from * 100 : 0; }

void Print(const std::vector<MemorySample>& samples) {
    std::printf("  %6s %12s %12s %12s %12s %10s\n", "job", "VmRSS MB", "working MB", "pagefile MB", "private MB",
                "log chars");
    for (const MemorySample& s : samples) {
        std::printf("  %6d %12.1f %12.1f %12.1f %12.1f %10d\n", s.job,
                    s.residentKb < 0 ? -1.0 : static_cast<double>(s.residentKb) / 1024.0, Mb(s.counters.WorkingSetSize),
                    Mb(s.counters.PagefileUsage), Mb(s.counters.PrivateUsage), s.logChars);
    }
    if (samples.size() < 3) return;
    const MemorySample& from = samples[1];
    const MemorySample& to = samples.back();
    std::printf("  from job %d to job %d: VmRSS %+.1f%%, working set %+.1f%%, pagefile %+.1f%%\n", from.job, to.job,
                Percent(static_cast<double>(from.residentKb), static_cast<double>(to.residentKb)),
                Percent(Mb(from.counters.WorkingSetSize), Mb(to.counters.WorkingSetSize)),
                Percent(Mb(from.counters.PagefileUsage), Mb(to.counters.PagefileUsage)));
}

// The mean time of a job (script, driver and store) over each hundred jobs of the run, timed
// from the end of the first so that loading the driver does not count.
void PrintPace(const std::vector<double>& jobEnds) {
    std::printf("  mean ms per job, by hundred:");
    const int jobs = static_cast<int>(jobEnds.size());
    for (int last = 100; last <= jobs; last += 100) {
        std::printf(" %.1f", bench::MeanJobMs(jobEnds, std::max(2, last - 99), last));
    }
    std::printf("\n");
}

// The reference run inserts a row per job; the comparison run that follows reads each
// reference back and updates the row: both store paths, one after the other in one process.
bool Soak(const std::wstring& folder, int jobs) {
    if (!::CopyFileW((bench::ProgramFolder() + L"sample_driver.dll").c_str(), (folder + L"FAM01.PRN").c_str(),
                     FALSE)) {
        return false;
    }
    bench::BuildRunSetup setup(folder, L"Soak", bench::JobsScript(jobs, bench::JobPace::MarkStatement()));
    bool ok = true;
    for (int mode : {1, 0}) {
        Sampler sampler{setup.LogPane(), {10, 100, jobs}, {}};
        bench::JobPace pace(setup.LogPane(), [&sampler](int job) { sampler.OnJob(job); });
        const BOOL ran = setup.Workspace().RunBatch(mode, setup.Scripts(), {kModel}, kModel, FALSE, setup.LogPane());
        std::printf("%s Build run of %d jobs of %d text lines (about 64 KB each): %s\n",
                    mode ? "Reference" : "Comparison", jobs, bench::kLinesPerJob, ran ? "ended well" : "FAILED");
        Print(sampler.samples);
        PrintPace(pace.Ends());
        ok = ok && ran && pace.Jobs() == jobs;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const int jobs = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (jobs < 100) {
        std::printf("usage: vb_bench_soak [jobs, at least 100]\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    const std::wstring folder = bench::MakeFolder(L"vb_soak_bench_");
    bool ok = Soak(folder, jobs);
    bench::RemoveTree(folder);
    ::CoUninitialize();
    return ok ? 0 : 1;
}
