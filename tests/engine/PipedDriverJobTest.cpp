// The sample driver's pipe family through the driver wrapper, captured by the pipe list the way
// the engine captures it, against the same job printed to a file by another family.
#include <gtest/gtest.h>

#include <string>

#include "DispatchClient.h"
#include "DriverWrapper.h"
#include "FakeDriverHandler.h"
#include "PipeList.h"
#include "SampleDriverSandbox.h"

namespace {

using vb::Variant;

// Opens the pipes the wrapper asks for and appends what they collected to the print file at
// each job's end.
class CapturingHandler : public vb::test::FakeDriverHandler {
public:
    explicit CapturingHandler(std::wstring printFile) : printFile_(std::move(printFile)) {}

    BOOL OpenPipe(const std::wstring& name) override { return pipes.Open(name) != INVALID_HANDLE_VALUE; }
    BOOL OnPrintEvent(int code, const std::wstring& text, const std::wstring& extra) override {
        if (code == kJobEnded) pipes.Flush(printFile_);
        return FakeDriverHandler::OnPrintEvent(code, text, extra);
    }

    CPipeList pipes;

private:
    std::wstring printFile_;
};

class PipedDriverJobTest : public ::testing::Test {
protected:
    // Loads the family's copy of the driver and opens a device for a model.
    void Open(CDriverWrapper& wrapper, const std::wstring& family) {
        ASSERT_TRUE(wrapper.Load(sandbox_.AddDriver(family), sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
        ASSERT_TRUE(wrapper.CreateDriverDC(L"Model 300", nullptr));
    }
    // A job of several kilobytes, more than the pipe holds at once, as a script prints it.
    std::string PrintJob(const std::wstring& family) {
        ::DeleteFileW(sandbox_.OutputFile().c_str());
        CapturingHandler handler(sandbox_.OutputFile());
        CDriverWrapper wrapper(&handler);
        Open(wrapper, family);
        vb::test::DispatchClient driver(wrapper.AsDispatch());
        // Started over before its end: the file family empties its print file, so the pipe
        // family must drop what it held as well.
        EXPECT_EQ(1, V_I4(driver.Call(L"StartDoc").Get()));
        driver.Call(L"TextOut", {Variant(0L), Variant(0L), Variant(std::wstring(L"dropped")), Variant(0L)});
        EXPECT_EQ(1, V_I4(driver.Call(L"StartDoc").Get()));
        for (long line = 0; line < 60; ++line) {
            driver.Call(L"TextOut", {Variant(100L), Variant(line * 50), Variant(std::wstring(L"Line ") + std::to_wstring(line)),
                                     Variant(0L)});
        }
        driver.Call(L"CodeOut", {Variant(500L), Variant(700L), Variant(std::wstring(L"12345")), Variant(0L)});
        driver.Call(L"Rectangle", {Variant(100L), Variant(200L), Variant(1100L), Variant(1200L)});
        EXPECT_EQ(1, V_I4(driver.Call(L"EndDoc").Get()));
        return vb::test::ReadFileBytes(sandbox_.OutputFile());
    }

    vb::test::SampleDriverSandbox sandbox_;
};

TEST_F(PipedDriverJobTest, ThePipedJobIsTheJobAFileFamilyPrints) {
    const std::string printed = PrintJob(L"FAM03.PRN");
    ASSERT_GT(printed.size(), 2048u);
    EXPECT_EQ(printed, PrintJob(L"fam05.prn"));
}

TEST_F(PipedDriverJobTest, StartDocFailsWithoutAPipeServer) {
    vb::test::FakeDriverHandler handler;
    CDriverWrapper wrapper(&handler);
    Open(wrapper, L"FAM05.PRN");
    vb::test::DispatchClient driver(wrapper.AsDispatch());
    EXPECT_EQ(0, V_I4(driver.Call(L"StartDoc").Get()));
    EXPECT_EQ(4, V_I4(driver.Call(L"GetLastError").Get()));
}

}  // namespace
