#include <gtest/gtest.h>

#include <regex>

#include "FakeRunContextSources.h"
#include "RunContext.h"

namespace {

using vb::test::FakeSources;

LONG Signed(SIZE_T value) { return static_cast<LONG>(value); }

TEST(RunContextTest, UserAndSystemAreDescribed) {
    using Text = std::optional<std::wstring>;
    const struct {
        WORD architecture;
        Text product, build;
        bool keyPresent;
        const wchar_t* description;
    } cases[] = {
        {PROCESSOR_ARCHITECTURE_AMD64, L"Windows 10 Pro", L"19045", true, L"Windows 10 Pro (x64), build 19045"},
        {PROCESSOR_ARCHITECTURE_INTEL, L"Windows 10 Pro", L"19045", true, L"Windows 10 Pro (Win32), build 19045"},
        {PROCESSOR_ARCHITECTURE_INTEL, std::nullopt, L"19045", true, L", build 19045"},
        {PROCESSOR_ARCHITECTURE_INTEL, L"Windows 7", std::nullopt, true, L"Windows 7 (Win32)"},
        {PROCESSOR_ARCHITECTURE_INTEL, std::nullopt, std::nullopt, true, L""},
        {PROCESSOR_ARCHITECTURE_INTEL, std::nullopt, std::nullopt, false, L"Unkonown"},
    };
    for (const auto& c : cases) {
        FakeSources sources;
        sources.architecture = c.architecture;
        sources.productName = c.product;
        sources.currentBuild = c.build;
        sources.keyPresent = c.keyPresent;
        CRunContext run(&sources);
        EXPECT_EQ(c.description, run.SystemDescription());
        EXPECT_EQ(L"TESTER\x00e9", run.UserName());
    }
}

// The delta is new minus previous for the counts that change with a job; the other fields keep
// the previous snapshot's values, and the next delta is measured from this one.
TEST(RunContextTest, DeltaIsNewMinusPreviousAndMovesTheSnapshot) {
    FakeSources sources;
    CRunContext run(&sources);
    run.TakeSnapshot();
    EXPECT_EQ(52u, sources.askedSize);
    EXPECT_EQ(3000u, run.Snapshot().memory.PrivateUsage);
    EXPECT_EQ(40u, run.Snapshot().gdiObjects);
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
    EXPECT_EQ(7u, delta.memory.PageFaultCount);
    EXPECT_EQ(5000u, delta.memory.PeakWorkingSetSize);
    EXPECT_EQ(52u, delta.memory.cb);

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
    sources.counter += 9999;
    EXPECT_EQ(0, run.GetElapsedMs());
    sources.counter += 1;
    EXPECT_EQ(1, run.GetElapsedMs());
    sources.counter = 0;  // a clock that went back
    EXPECT_EQ(0, run.GetElapsedMs());

    // Forty days of ticks of an odd clock: ticks * 1000000 would not fit in 64 bits.
    sources.frequency = 3579545;
    CRunContext longRun(&sources);
    sources.counter += 40LL * 86400 * 3579545 + 3579;
    EXPECT_EQ(40LL * 86400 * 1000, longRun.GetElapsedMs());
    sources.frequency = 0;
    CRunContext noClock(&sources);
    sources.counter += 1000;
    EXPECT_EQ(0, noClock.GetElapsedMs());
}

TEST(RunContextTest, RunningSystemGivesUsableValues) {
    CRunContext run;
    EXPECT_FALSE(run.UserName().empty());
    EXPECT_FALSE(run.SystemDescription().empty());
    EXPECT_GT(run.Frequency(), 0);
    EXPECT_GE(run.GetElapsedMs(), 0);
    EXPECT_LT(run.GetElapsedMs(), 5000);
    run.TakeSnapshot();
    EXPECT_GT(run.Snapshot().memory.WorkingSetSize, 0u);
    std::wstring now = FormatCurrentDateTime();
    EXPECT_TRUE(std::regex_match(now, std::wregex(LR"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << now.size();
}

}  // namespace
