#include <gtest/gtest.h>

#include <algorithm>

#include "DriverWrapper.h"
#include "FakeDriverHandler.h"
#include "MSScriptObject.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"
#include "ScriptTestSupport.h"
#include "Strings.h"
#include "TestFiles.h"

namespace {

// A script prints through the real `Driver` with the sample driver, as a batch run does.
class ScriptDriverPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            wrapper_.Load(sandbox_.AddDriver(L"FAM03.PRN"), sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
        ASSERT_TRUE(facade_.Init());
        ASSERT_TRUE(facade_.AddObject(L"Driver", wrapper_.AsDispatch()));
    }
    bool DriverHas(const wchar_t* member) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
        DISPID id = DISPID_UNKNOWN;
        return SUCCEEDED(wrapper_.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    }
    bool Logged(const std::string& entryPoint) {
        auto calls = sandbox_.Calls();
        return std::any_of(calls.begin(), calls.end(),
                           [&](const std::string& line) { return line.find(entryPoint) != std::string::npos; });
    }

    vb::MessageBoxCapture boxes_;
    vb::test::SampleDriverSandbox sandbox_;
    vb::test::FakeDriverHandler handler_;
    CDriverWrapper wrapper_{&handler_};
    CMSScriptObject facade_{nullptr};  // last: it holds the driver
};

TEST_F(ScriptDriverPrintTest, ProcedureThatPrintsATextProducesThePrintFile) {
    for (const wchar_t* member : {L"StartDoc", L"TextOut", L"EndDoc"}) {
        if (!DriverHas(member)) GTEST_SKIP() << "Driver has no " << vb::ToUtf8(member) << " member yet";
    }
    ASSERT_TRUE(wrapper_.CreateDriverDC(L"Model 300", nullptr));
    ::DeleteFileW(sandbox_.OutputFile().c_str());
    sandbox_.ClearCalls();

    ASSERT_TRUE(
        facade_.AddCode(L"Dim started, shortName\r\n"
                        L"Sub PrintLabel()\r\n"
                        L"  shortName = Driver.ShortName\r\n"
                        L"  started = Driver.StartDoc\r\n"
                        L"  Driver.TextOut 100, 200, \"Hello label\", 0\r\n"
                        L"  Driver.EndDoc\r\n"
                        L"End Sub\r\n"));
    ASSERT_TRUE(facade_.Run(L"PrintLabel")) << vb::ToUtf8(facade_.LastComError());
    EXPECT_EQ(L"FAM03.PRN", vb::test::Evaluate(facade_.Engine(), L"shortName"));
    EXPECT_TRUE(Logged("D_StartDoc"));
    EXPECT_TRUE(Logged("D_TextOut"));
    EXPECT_TRUE(Logged("D_EndDoc"));
    EXPECT_TRUE(boxes_.Boxes().empty());
    if (vb::test::Evaluate(facade_.Engine(), L"started") == L"0") {
        GTEST_SKIP() << "the sample driver does not start documents yet";
    }
    ASSERT_TRUE(vb::test::FileExists(sandbox_.OutputFile()));
    EXPECT_FALSE(vb::test::ReadFileBytes(sandbox_.OutputFile()).empty());
}

}  // namespace
