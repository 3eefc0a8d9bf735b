#include <gtest/gtest.h>

#include <cwctype>

#include "RunContext.h"

namespace {

// Known counts, registry values and clock, since under Wine the GUI counts are always 0.
class FakeSources : public RunContextSources {
public:
    bool QueryMemoryCounters(RunResourceRecord& record) override {
        askedSize = record.memory.cb;
        record.memory.PageFaultCount = pageFaults;
        record.memory.WorkingSetSize = workingSet;
        record.memory.PagefileUsage = pagefile;
        record.memory.PrivateUsage = privateBytes;
        record.memory.PeakWorkingSetSize = peak;
        return true;
    }
    DWORD GuiObjectCount(DWORD which) override { return which == GR_GDIOBJECTS ? gdi : user; }
    bool ReadSystemVersion(std::optional<std::wstring>& product, std::optional<std::wstring>& build) override {
        product = productName;
        build = currentBuild;
        return keyPresent;
    }
    WORD NativeProcessorArchitecture() override { return architecture; }
    std::wstring UserName() override { return userName; }
    LONGLONG Counter() override { return counter; }
    LONGLONG Frequency() override { return frequency; }

    DWORD askedSize = 0;
    DWORD pageFaults = 7;
    SIZE_T workingSet = 1000, pagefile = 2000, privateBytes = 3000, peak = 5000;
    DWORD gdi = 40, user = 30;
    bool keyPresent = true;
    std::optional<std::wstring> productName = L"Windows 10 Pro";
    std::optional<std::wstring> currentBuild = L"19045";
    WORD architecture = PROCESSOR_ARCHITECTURE_AMD64;
    std::wstring userName = L"tester\x00e9";
    LONGLONG counter = 5000000;
    LONGLONG frequency = 10000000;
};

LONG Signed(SIZE_T value) { return static_cast<LONG>(value); }

TEST(RunContextTest, StartsWithAnEmptyKeyAndTheSystemsDescription) {
    FakeSources sources;
    CRunContext run(&sources);
    EXPECT_FALSE(run.key.reference);
    EXPECT_EQ(-1, run.key.KEY);
    EXPECT_EQ(L"", run.key.KEY_SUB);
    EXPECT_EQ(L"", run.key.NAME);
    EXPECT_EQ(L"TESTER\x00e9", run.UserName());
    EXPECT_EQ(L"Windows 10 Pro (x64), build 19045", run.SystemDescription());
    EXPECT_EQ(5000000, run.JobStart());
    EXPECT_EQ(10000000, run.Frequency());
    EXPECT_EQ(52u, run.Snapshot().memory.cb);
    EXPECT_EQ(0u, run.Snapshot().memory.WorkingSetSize);
}

TEST(RunContextTest, DescriptionRules) {
    FakeSources sources;
    sources.architecture = PROCESSOR_ARCHITECTURE_INTEL;
    EXPECT_EQ(L"Windows 10 Pro (Win32), build 19045", CRunContext(&sources).SystemDescription());
    sources.productName.reset();
    EXPECT_EQ(L", build 19045", CRunContext(&sources).SystemDescription());
    sources.productName = L"Windows 7";
    sources.currentBuild.reset();
    EXPECT_EQ(L"Windows 7 (Win32)", CRunContext(&sources).SystemDescription());
    sources.productName.reset();
    EXPECT_EQ(L"", CRunContext(&sources).SystemDescription());
    sources.keyPresent = false;
    EXPECT_EQ(L"Unkonown", CRunContext(&sources).SystemDescription());
}

TEST(RunContextTest, SnapshotHoldsTheCountsOfTheJobStart) {
    FakeSources sources;
    CRunContext run(&sources);
    run.TakeSnapshot();
    EXPECT_EQ(52u, sources.askedSize);
    EXPECT_EQ(1000u, run.Snapshot().memory.WorkingSetSize);
    EXPECT_EQ(3000u, run.Snapshot().memory.PrivateUsage);
    EXPECT_EQ(40u, run.Snapshot().gdiObjects);
    EXPECT_EQ(30u, run.Snapshot().userObjects);
}

TEST(RunContextTest, DeltaIsNewMinusPreviousAndMovesTheSnapshot) {
    FakeSources sources;
    CRunContext run(&sources);
    run.TakeSnapshot();
    sources.workingSet = 1500;
    sources.pagefile = 1000;
    sources.privateBytes = 7096;
    sources.gdi = 35;
    sources.user = 33;
    sources.pageFaults = 99;
    sources.peak = 9000;
    RunResourceRecord delta{};
    run.GetResourceDelta(delta);
    EXPECT_EQ(500, Signed(delta.memory.WorkingSetSize));
    EXPECT_EQ(-1000, Signed(delta.memory.PagefileUsage));
    EXPECT_EQ(4096, Signed(delta.memory.PrivateUsage));
    EXPECT_EQ(-5, static_cast<LONG>(delta.gdiObjects));
    EXPECT_EQ(3, static_cast<LONG>(delta.userObjects));
    // The other fields keep the previous snapshot's values.
    EXPECT_EQ(7u, delta.memory.PageFaultCount);
    EXPECT_EQ(5000u, delta.memory.PeakWorkingSetSize);
    EXPECT_EQ(52u, delta.memory.cb);

    // The next delta is measured from the moment of this one.
    RunResourceRecord next{};
    run.GetResourceDelta(next);
    EXPECT_EQ(0, Signed(next.memory.PrivateUsage));
    EXPECT_EQ(0u, next.gdiObjects);
    EXPECT_EQ(99u, next.memory.PageFaultCount);
}

TEST(RunContextTest, ElapsedMillisecondsFromTheJobStart) {
    FakeSources sources;
    CRunContext run(&sources);
    EXPECT_EQ(0, run.GetElapsedMs());
    sources.counter += 12345678;  // 1.2345678 s
    EXPECT_EQ(1234, run.GetElapsedMs());
    run.StartJobClock();
    EXPECT_EQ(0, run.GetElapsedMs());
    sources.counter += 9999;
    EXPECT_EQ(0, run.GetElapsedMs());
    sources.counter += 1;
    EXPECT_EQ(1, run.GetElapsedMs());
}

TEST(RunContextTest, ElapsedMillisecondsSurviveLongRunsAndOddClocks) {
    FakeSources sources;
    sources.frequency = 3579545;
    CRunContext run(&sources);
    // Forty days of ticks: ticks * 1000000 would not fit in 64 bits.
    LONGLONG ticks = 40LL * 86400 * 3579545;
    sources.counter += ticks + 3579;
    EXPECT_EQ(40LL * 86400 * 1000 + 0, run.GetElapsedMs());
    sources.counter = 0;  // a clock that went back
    EXPECT_EQ(0, run.GetElapsedMs());
    sources.frequency = 0;
    CRunContext noClock(&sources);
    sources.counter = 1000;
    EXPECT_EQ(0, noClock.GetElapsedMs());
}

TEST(RunContextTest, RunningSystemGivesUsableValues) {
    CRunContext run;
    EXPECT_FALSE(run.UserName().empty());
    EXPECT_FALSE(run.SystemDescription().empty());
    EXPECT_GT(run.Frequency(), 0);
    LONGLONG elapsed = run.GetElapsedMs();
    EXPECT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 5000);
    run.TakeSnapshot();
    EXPECT_GT(run.Snapshot().memory.WorkingSetSize, 0u);
    RunResourceRecord delta{};
    run.GetResourceDelta(delta);
    EXPECT_EQ(52u, delta.memory.cb);
}

TEST(RunContextTest, CurrentDateTimeHasTheStoredForm) {
    std::wstring text = FormatCurrentDateTime();
    ASSERT_EQ(19u, text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t expected = i == 4 || i == 7 ? L'-' : i == 10 ? L' ' : i == 13 || i == 16 ? L':' : L'0';
        if (expected == L'0') {
            EXPECT_TRUE(std::iswdigit(text[i])) << i;
        } else {
            EXPECT_EQ(expected, text[i]) << i;
        }
    }
}

}  // namespace
