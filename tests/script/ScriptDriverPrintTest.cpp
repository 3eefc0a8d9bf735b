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
    EXPECT_EQ(L"1", vb::test::Evaluate(facade_.Engine(), L"started"));
    EXPECT_EQ("DOC \"CDriverWrapper\"\r\n"
              "SETUP dpi=300x300 paper=800x800 labels=1x1 label=800x800 copies=1\r\n"
              "OBJECT TEXT_OBJECT_1\r\n"
              "TEXT 12,24 \"Hello label\" color=000000 bk=2:FFFFFF\r\n"
              "END TEXT_2\r\n"
              "END DOC\r\n",
              vb::test::ReadFileBytes(sandbox_.OutputFile()));
}

}  // namespace
