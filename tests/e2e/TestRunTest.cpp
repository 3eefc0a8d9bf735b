// Test runs: one script on one model, its text executed as a statement, each job sent to the
// output port and nothing stored.
#include "BatchFixture.h"
#include "SampleScripts.h"
#include "ScriptTestSupport.h"
#include "Strings.h"

namespace vb::test {
namespace {

class TestRunTest : public BatchFixture {
protected:
    void SetUp() override {
        UseFamily(L"FAM01");
        ws_->SetOutput(port_);
    }
    // The lines that tell what went to the port.
    std::vector<std::wstring> Sent() const {
        std::vector<std::wstring> lines;
        const std::wstring log = Log();
        const std::wstring mark = L"Sending data (";
        for (size_t at = log.find(mark); at != std::wstring::npos; at = log.find(mark, at + 1)) {
            lines.push_back(log.substr(at, log.find(L"\r\n", at) - at));
        }
        return lines;
    }
    std::wstring SentLine(const std::wstring& file) const {
        return L"Sending data (" + std::to_wstring(ReadFileBytes(file).size()) + L" bytes) to [" + port_ + L"]...";
    }

    const std::wstring port_ = program_ / L"port.prn";
};

TEST_F(TestRunTest, EachJobGoesToThePortAndNothingIsStored) {
    const CScriptItem twoJobs = StoreScript(
        3, L"Two jobs",
        L"Driver.StartDoc\r\nDriver.TextOut 0, 0, \"first\", 0\r\nDriver.EndDoc \"A\"\r\n"
        L"Driver.StartDoc\r\nDriver.TextOut 0, 0, \"second label\", 0\r\nDriver.EndDoc \"B/C\"");
    EXPECT_TRUE(TestRun(twoJobs, L"Model 300"));

    const std::wstring first = OutputPath(L"print_A.txt");
    const std::wstring second = OutputPath(L"print_B_C.txt");
    ASSERT_NE(ReadFileBytes(first), ReadFileBytes(second));
    EXPECT_EQ((std::vector<std::wstring>{SentLine(first), SentLine(second)}), Sent());
    EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(port_));
    EXPECT_EQ(NotepadStubFolder::Expected(port_), NotepadStubFolder::Record(port_));
    EXPECT_EQ((std::vector<std::wstring>{L"model Model 300"}), progress_);
    EXPECT_FALSE(FileExists(ResultsFile(L"FAM01")));
    EXPECT_EQ(L"", ws_->GetSavedSelection(L"FAM01", TRUE));

    // A job whose print file is gone: the copy an earlier job left under the same name must not
    // go out in its place.
    const CScriptItem lostJob = StoreScript(4, L"Lost job", L"Me.DoCommand 0\r\nMe.DoCommand 1, \"A\"");
    EXPECT_TRUE(TestRun(lostJob, L"Model 300"));
    EXPECT_FALSE(FileExists(first));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Logged(first + L" cannot be read: 2: ")) << vb::ToUtf8(Log());
    EXPECT_TRUE(Logged(L"End processing...\r\n"));

    // A script may keep its jobs from the port; the next run sends again.
    const CScriptItem quiet =
        StoreScript(5, L"Quiet", std::wstring(L"Me.UsesOutput = False\r\n") + kTextScript);
    EXPECT_TRUE(TestRun(quiet, L"Model 300"));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(TestRun(twoJobs, L"Model 300"));
    EXPECT_EQ(2u, Sent().size());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// The global script's code comes first in a text of its own, so a tested script can start with
// `Option Explicit`; the global script tested alone runs as it stands.
TEST_F(TestRunTest, OnlyATestedScriptRunsUnderOptionExplicit) {
    StoreScript(0, L"#Global_Script", L"loose = 1\r\nMe.Trace \"global ran \" & loose");
    EXPECT_TRUE(TestRun(GlobalScript(), L"Model 300"));
    EXPECT_TRUE(Logged(L"   Testing VB script [#Global_Script].\r\n"));
    EXPECT_TRUE(Logged(L"   global ran 1\r\n"));

    EXPECT_FALSE(TestRun(StoreScript(6, L"Loose", L"Dim declared\r\nundeclared = 2"), L"Model 300"));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_NE(std::wstring::npos, boxes_.Boxes()[0].text.find(L" - Line: 2\r\n - Character: 1\r\n"))
        << vb::ToUtf8(boxes_.Boxes()[0].text);
}

TEST_F(TestRunTest, FailedScriptIsReportedAndTheHostPreparedAgain) {
    const CScriptItem raising = StoreScript(
        7, L"Raising",
        L"Dim leftover\r\nleftover = 5\r\n  Err.Raise vbObjectError + 7, \"label\", \"Label stock is empty\"");
    EXPECT_FALSE(TestRun(raising, L"Model 300"));

    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.Boxes()[0].flags & MB_ICONMASK);
    const std::wstring error = L"VB Script error:\r\n - Line: 3\r\n - Character: 3\r\n"
                               L" - Error: Label stock is empty\r\n - Code: 80040007\r\n - Source: label";
    EXPECT_EQ(error, boxes_.Boxes()[0].text);
    const std::wstring tail = L"   Abort processing...\r\n\r\nhh:mm:ss   # ERROR '" + error + L"'\r\n";
    EXPECT_EQ(tail, MaskedEnding(tail));
    // A fresh engine with both host objects, and none of the failed script's state.
    EXPECT_EQ(2u, ws_->Script().Engine().NamedObjectCount());
    EXPECT_EQ(L"Empty", Evaluate(ws_->Script().Engine(), L"TypeName(leftover)"));

    EXPECT_TRUE(TestRun(StoreScript(2, L"Text", kTextScript), L"Model 300"));
    EXPECT_TRUE(Logged(L"End processing...\r\n"));
    EXPECT_FALSE(Logged(L"# ERROR"));
}

}  // namespace
}  // namespace vb::test
