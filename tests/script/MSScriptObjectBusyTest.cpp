#include <gtest/gtest.h>

#include "MSScriptObject.h"
#include "ScriptTestSupport.h"
#include "TestHostObject.h"

namespace {

// A script that calls back into the host (as Me.StopProcess does by pumping messages) must not
// start another statement, code, object or listing while the facade drives the engine; running
// a procedure stays allowed and gives the flag back as it found it.
TEST(MSScriptObjectBusyTest, OnlyARunMayStartWhileBusy) {
    vb::test::TestHostObject driver;
    vb::test::TestHostObject other;
    CMSScriptObject facade(nullptr);
    ASSERT_TRUE(facade.Init());
    ASSERT_TRUE(facade.AddObject(L"Driver", driver.AsDispatch()));
    ASSERT_TRUE(
        facade.AddCode(L"Dim state\r\nSub Outer()\r\n  Driver.Touch\r\nEnd Sub\r\n"
                       L"Sub Inner()\r\n  state = \"ran\"\r\nEnd Sub\r\n"));
    std::vector<std::wstring> refused;
    bool busyAfterInnerRun = false;
    driver.onTouch = [&] {
        std::vector<std::wstring> properties;
        std::vector<std::wstring> methods;
        if (facade.ExecuteStatement(L"state = 1")) refused.push_back(L"statement ran");
        if (facade.AddCode(L"Sub Late()\r\nEnd Sub")) refused.push_back(L"code added");
        if (facade.AddObject(L"Other", other.AsDispatch())) refused.push_back(L"object added");
        if (facade.GetObjectMembers(L"Driver", properties, methods, nullptr)) refused.push_back(L"members listed");
        if (!facade.Run(L"Inner")) refused.push_back(L"run refused");
        busyAfterInnerRun = facade.IsBusy();
    };

    EXPECT_TRUE(facade.Run(L"Outer"));
    EXPECT_TRUE(facade.ExecuteStatement(L"Driver.Touch"));
    EXPECT_EQ(std::vector<std::wstring>{}, refused);
    EXPECT_TRUE(busyAfterInnerRun);
    EXPECT_FALSE(facade.IsBusy());
    EXPECT_EQ(L"ran", vb::test::Evaluate(facade.Engine(), L"state"));
    EXPECT_EQ(1u, facade.Engine().NamedObjectCount());

    // A reset is never refused.
    facade.SetBusy(true);
    facade.Reset();
    EXPECT_TRUE(facade.HasEngine());
    facade.SetBusy(false);
}

}  // namespace
