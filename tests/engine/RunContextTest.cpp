#include <gtest/gtest.h>

#include "FakeRunContextSources.h"
#include "RunContext.h"

namespace {

using vb::test::FakeSources;

// A plain 2.5 s and the resource delta are stored by the results database's tests.
TEST(RunContextTest, ElapsedMillisecondsSurviveOddClocks) {
    FakeSources sources;
    CRunContext run(&sources);
    run.StartJobClock();
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

}  // namespace
