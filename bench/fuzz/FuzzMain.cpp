// Runs one fuzz harness: vb_fuzz <harness> [--seed N] [--count N] [--seconds S] [--corpus DIR]
// [--findings DIR] [--replay FILE]. It stops at the first finding (a broken invariant, a crash,
// a hang or an oversized allocation), saves the input that caused it and ends with a code
// naming the kind: 1 invariant, 2 crash, 3 hang, 4 allocation. Its summary line always reads
// "<harness>: <inputs> inputs, <seconds> s, <findings> findings".
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <thread>

#include "Harness.h"
#include "Mutator.h"
#include "Strings.h"
#include "TestFiles.h"

namespace vb::fuzz {

void Fail(const char* file, int line, const std::string& what) {
    const char* name = std::strrchr(file, '/');
    throw Failure(std::string(name ? name + 1 : file) + ":" + std::to_string(line) + ": " + what);
}

}  // namespace vb::fuzz

namespace {

using vb::fuzz::Harness;

enum Outcome { kClean = 0, kInvariant = 1, kCrash = 2, kHang = 3, kAllocation = 4 };

const vb::fuzz::HarnessEntry kHarnesses[] = {
    {"definition-file", vb::fuzz::MakeDefinitionFileHarness},
    {"base64", vb::fuzz::MakeBase64Harness},
    {"print-file-list", vb::fuzz::MakePrintFileListHarness},
    {"sql", vb::fuzz::MakeSqlHarness},
    {"global-script", vb::fuzz::MakeGlobalScriptHarness},
    {"driver-records", vb::fuzz::MakeDriverRecordsHarness},
    {"result-preview", vb::fuzz::MakeResultPreviewHarness},
};

// What the watchdog and the crash paths need; set up before the first input.
struct State {
    const char* harness = "";
    unsigned long long seed = 0;
    std::atomic<unsigned long long> index{0};
    std::atomic<bool> busy{false};
    std::atomic<ULONGLONG> startedAt{0};
    std::atomic<DWORD> crashCode{0};
    std::string current;
    wchar_t findings[MAX_PATH] = {};
    HANDLE crashed = nullptr;
    int timeoutSeconds = 10;
    ULONGLONG runStart = 0;
};

State g_state;
// Allocations above this many bytes are findings while an input runs; 0 while none does.
std::atomic<size_t> g_allocationLimit{0};

void Print(const char* text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

double Elapsed() { return static_cast<double>(::GetTickCount64() - g_state.runStart) / 1000.0; }

void PrintSummary(unsigned long long inputs, int findings) {
    char line[256];
    std::snprintf(line, sizeof line, "%s: %llu inputs, %.1f s, %d findings\n", g_state.harness, inputs, Elapsed(),
                  findings);
    Print(line);
}

// Saves the current input and says what happened; uses no heap, as the heap may be the victim.
void SaveFinding(const char* kind, const char* detail) {
    g_allocationLimit = 0;
    wchar_t path[MAX_PATH + 128];
    std::swprintf(path, std::size(path), L"%ls%hs-%hs-seed%llu-%llu.bin", g_state.findings, g_state.harness, kind,
                  g_state.seed, g_state.index.load());
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, g_state.current.data(), static_cast<DWORD>(g_state.current.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    char line[1024];
    std::snprintf(line, sizeof line, "%s %s at input %llu (seed %llu, %u bytes): %s\n  saved as %ls\n",
                  g_state.harness, kind, g_state.index.load(), g_state.seed,
                  static_cast<unsigned>(g_state.current.size()), detail, path);
    Print(line);
}

[[noreturn]] void EndWith(Outcome outcome) {
    PrintSummary(g_state.index.load() + 1, 1);
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(outcome));
    std::abort();
}

// The crashing thread only signals: its stack may be all but used up.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    g_state.crashCode = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 1;
    ::SetEvent(g_state.crashed);
    ::Sleep(INFINITE);
    return EXCEPTION_CONTINUE_SEARCH;
}

void OnAbort(int) {
    g_state.crashCode = 0xABAB0001;
    ::SetEvent(g_state.crashed);
    ::Sleep(INFINITE);
}

void Watchdog() {
    for (;;) {
        if (::WaitForSingleObject(g_state.crashed, 200) == WAIT_OBJECT_0) {
            char detail[64];
            std::snprintf(detail, sizeof detail, "exception 0x%08lX", static_cast<unsigned long>(g_state.crashCode));
            SaveFinding("crash", detail);
            EndWith(kCrash);
        }
        if (g_state.busy && ::GetTickCount64() - g_state.startedAt > 1000ull * g_state.timeoutSeconds) {
            char detail[64];
            std::snprintf(detail, sizeof detail, "no answer after %d s", g_state.timeoutSeconds);
            SaveFinding("hang", detail);
            EndWith(kHang);
        }
    }
}

void CheckAllocation(size_t size) {
    size_t limit = g_allocationLimit;
    if (limit && size > limit) {
        char detail[96];
        std::snprintf(detail, sizeof detail, "allocation of %u bytes, above the limit of %u", static_cast<unsigned>(size),
                      static_cast<unsigned>(limit));
        SaveFinding("allocation", detail);
        EndWith(kAllocation);
    }
}

// Runs one input with the checks around it; the outcome when it ends normally.
Outcome RunOne(Harness& harness, const std::string& input) {
    g_state.current = input;
    g_state.startedAt = ::GetTickCount64();
    g_state.busy = true;
    // Nothing a reader builds from an input may need more than a fixed allowance and a
    // generous multiple of the input itself.
    g_allocationLimit = 16u * 1024 * 1024 + 64 * input.size();
    Outcome outcome = kClean;
    try {
        harness.Run(input);
    } catch (const vb::fuzz::Failure& failure) {
        SaveFinding("invariant", failure.what());
        outcome = kInvariant;
    } catch (const std::exception& error) {
        SaveFinding("crash", (std::string("uncaught exception: ") + error.what()).c_str());
        outcome = kCrash;
    }
    g_allocationLimit = 0;
    g_state.busy = false;
    return outcome;
}

std::vector<std::string> LoadCorpus(Harness& harness, const std::wstring& folder) {
    std::vector<std::string> corpus = harness.Seeds();
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return corpus;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            corpus.push_back(harness.FromCorpusFile(vb::test::ReadFileBytes(folder + found.cFileName)));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return corpus;
}

int Usage() {
    std::printf("usage: vb_fuzz <harness> [--seed N] [--count N] [--seconds S] [--corpus DIR] [--findings DIR] "
                "[--replay FILE]\nharnesses:");
    for (const auto& entry : kHarnesses) std::printf(" %s", entry.name);
    std::printf("\n");
    return 64;
}

}  // namespace

// Every allocation of the program's own code passes here, so one that a damaged length drives
// is caught before the system tries to serve it.
void* operator new(size_t size) {
    CheckAllocation(size);
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    CheckAllocation(size);
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const vb::fuzz::HarnessEntry* entry = nullptr;
    for (const auto& candidate : kHarnesses) {
        if (std::strcmp(candidate.name, argv[1]) == 0) entry = &candidate;
    }
    if (!entry) return Usage();

    unsigned long long count = 1000;
    double seconds = 0;
    std::wstring corpus = vb::test::BinDir() + L"fuzz-corpus\\" + vb::FromUtf8(entry->name) + L"\\";
    std::wstring findings = L"fuzz-findings\\";
    std::wstring replay;
    for (int i = 2; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--seed") {
            g_state.seed = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (option == "--count") {
            count = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (option == "--seconds") {
            seconds = std::atof(argv[i + 1]);
        } else if (option == "--corpus") {
            corpus = vb::WithTrailingBackslash(vb::FromUtf8(argv[i + 1]));
        } else if (option == "--findings") {
            findings = vb::WithTrailingBackslash(vb::FromUtf8(argv[i + 1]));
        } else if (option == "--replay") {
            replay = vb::FromUtf8(argv[i + 1]);
        } else {
            return Usage();
        }
    }

    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::CoInitialize(nullptr);
    ::CreateDirectoryW(findings.c_str(), nullptr);
    wcsncpy(g_state.findings, findings.c_str(), MAX_PATH - 1);
    g_state.harness = entry->name;
    g_state.crashed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetUnhandledExceptionFilter(OnUnhandledException);
    std::signal(SIGABRT, OnAbort);
    std::set_terminate([] { OnAbort(0); });

    auto harness = entry->make();
    harness->Setup();
    g_state.timeoutSeconds = harness->TimeoutSeconds();
    std::thread(Watchdog).detach();
    g_state.runStart = ::GetTickCount64();

    if (!replay.empty()) {
        Outcome outcome = RunOne(*harness, vb::test::ReadFileBytes(replay));
        PrintSummary(1, outcome == kClean ? 0 : 1);
        Print(("  " + harness->Stats() + "\n").c_str());
        ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(outcome));
    }

    vb::fuzz::Mutator mutator(g_state.seed, LoadCorpus(*harness, corpus), harness->Dictionary(), harness->MaxSize());
    unsigned long long done = 0;
    for (; count == 0 || done < count; ++done) {
        if (seconds > 0 && Elapsed() >= seconds) break;
        g_state.index = done;
        Outcome outcome = RunOne(*harness, mutator.Next());
        if (outcome != kClean) {
            PrintSummary(done + 1, 1);
            // The program's state after a finding is not to be trusted: no clean-up.
            ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(outcome));
        }
    }
    PrintSummary(done, 0);
    const std::string stats = harness->Stats();
    if (!stats.empty()) Print(("  " + stats + "\n").c_str());
    // Objects that hold files in the temporary folder are ended by the harness's destructor.
    harness.reset();
    ::CoUninitialize();
    return 0;
}
