#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <functional>

#include "MSScriptObject.h"
#include "ScriptEngine.h"
#include "TestHostObject.h"

namespace {

PROCESS_MEMORY_COUNTERS Measure() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    return memory;
}

constexpr int kCycles = 1000;

// Runs `cycle` many times after a warm-up and expects the process's memory to stay flat within
// `tolerance` bytes (Wine counts no handles). Under Wine an engine left behind costs about 2 KB
// a cycle and a closed one about 200 bytes, far above the tolerances used here.
void ExpectFlat(const char* what, SIZE_T tolerance, const std::function<void()>& cycle) {
    constexpr int kWarmUp = 20;

    for (int i = 0; i < kWarmUp; ++i) cycle();
    const PROCESS_MEMORY_COUNTERS before = Measure();
    for (int i = 0; i < kCycles; ++i) cycle();
    const PROCESS_MEMORY_COUNTERS after = Measure();
    EXPECT_LE(after.WorkingSetSize, before.WorkingSetSize + tolerance) << what;
    EXPECT_LE(after.PagefileUsage, before.PagefileUsage + tolerance) << what;
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
