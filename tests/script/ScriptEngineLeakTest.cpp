#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <functional>

#include "MSScriptObject.h"
#include "ScriptEngine.h"
#include "TestHostObject.h"

namespace {

struct ProcessCounts {
    DWORD handles = 0;
    SIZE_T workingSet = 0;
    SIZE_T pagefile = 0;
};

ProcessCounts Measure() {
    ProcessCounts counts;
    ::GetProcessHandleCount(::GetCurrentProcess(), &counts.handles);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    counts.workingSet = memory.WorkingSetSize;
    counts.pagefile = memory.PagefileUsage;
    return counts;
}

constexpr int kCycles = 1000;

// Runs `cycle` many times after a warm-up and expects the process's handles and memory to stay
// flat within `tolerance` bytes. Under Wine an engine left behind costs about 2 KB a cycle and
// a closed one about 200 bytes, far above the tolerances used here.
void ExpectFlat(const char* what, SIZE_T tolerance, const std::function<void()>& cycle) {
    constexpr int kWarmUp = 20;
    constexpr DWORD kHandleTolerance = 8;

    for (int i = 0; i < kWarmUp; ++i) cycle();
    const ProcessCounts before = Measure();
    for (int i = 0; i < kCycles; ++i) cycle();
    const ProcessCounts after = Measure();

    std::printf("%s, %d cycles: handles %lu -> %lu, working set %lu -> %lu KB, pagefile %lu -> %lu KB\n", what, kCycles,
                before.handles, after.handles, static_cast<unsigned long>(before.workingSet / 1024),
                static_cast<unsigned long>(after.workingSet / 1024), static_cast<unsigned long>(before.pagefile / 1024),
                static_cast<unsigned long>(after.pagefile / 1024));
    EXPECT_LE(after.handles, before.handles + kHandleTolerance) << what;
    EXPECT_LE(after.workingSet, before.workingSet + tolerance) << what;
    EXPECT_LE(after.pagefile, before.pagefile + tolerance) << what;
}

// Every reset closes and frees the scripting engine, its site, the host-object wrappers and
// what the script held. The script keeps to scalar globals and raises no error: Wine's engine
// itself keeps global arrays and a little of every error after it is closed.
TEST(ScriptEngineLeakTest, FacadeResetManyTimesLeavesNothingBehind) {
    vb::test::TestHostObject me;
    vb::test::TestHostObject driver;
    CMSScriptObject facade(nullptr);
    ASSERT_TRUE(facade.Init());
    int cycles = 0;
    ExpectFlat("facade", 64 * 1024, [&] {
        ++cycles;
        facade.Reset();
        ASSERT_TRUE(facade.AddObject(L"Me", me.AsDispatch()));
        ASSERT_TRUE(facade.AddObject(L"Driver", driver.AsDispatch()));
        ASSERT_TRUE(facade.AddCode(L"Dim kept\r\nSub Work()\r\n  Set kept = Driver\r\n  Driver.Touch\r\nEnd Sub\r\n"));
        ASSERT_TRUE(facade.Run(L"Work"));
        ASSERT_TRUE(facade.ExecuteStatement(L"kept.Touch"));
    });
    facade.Reset();
    EXPECT_EQ(2 * cycles, driver.touches);
    EXPECT_EQ(1u, me.References());
    EXPECT_EQ(1u, driver.References());
}

// Wine keeps about 60 bytes of each compile error, hence the larger tolerance.
TEST(ScriptEngineLeakTest, EnginesClosedByASyntaxErrorAreFreedToo) {
    ScriptEngine engine;
    ExpectFlat("closed engine", 128 * 1024, [&] {
        ASSERT_TRUE(FAILED(engine.AddCode(L"Sub (")));
        ASSERT_TRUE(engine.HasEngine());
        engine.Reset();
    });
}

}  // namespace
