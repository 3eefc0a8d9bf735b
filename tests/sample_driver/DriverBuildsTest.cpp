#include <gtest/gtest.h>

#include "SampleDriverLibrary.h"
#include "SampleDriverSandbox.h"

namespace {

using vb::test::SampleDriverLibrary;
using vb::test::SampleDriverSandbox;

TEST(DriverBuildsTest, EachBuildLeavesOutItsEntryPoint) {
    SampleDriverSandbox sandbox;
    SampleDriverLibrary noRealize(sandbox.AddDriver(L"FAM02.PRN", L"no_realize_driver.dll"));
    SampleDriverLibrary noEscape(sandbox.AddDriver(L"FAM03.PRN", L"no_escape_driver.dll"));
    ASSERT_TRUE(noRealize.IsLoaded());
    ASSERT_TRUE(noEscape.IsLoaded());

    EXPECT_EQ(nullptr, noRealize.D_RealizeDMW);
    EXPECT_NE(nullptr, noRealize.D_EscapeW);
    EXPECT_NE(nullptr, noEscape.D_RealizeDMW);
    EXPECT_EQ(nullptr, noEscape.D_EscapeW);
    EXPECT_NE(nullptr, noEscape.D_GetDevModeW);
}

}  // namespace
