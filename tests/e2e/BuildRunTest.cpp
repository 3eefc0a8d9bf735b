// Build runs: a reference run stores what each script printed on each model, a comparison run
// judges every job against it; the pipe and page families; the dialog stopping a run or asking
// for a second one while a script pumps messages.
#include "BatchFixture.h"

namespace vb::test {
namespace {

constexpr wchar_t kWaitingScript[] =
    L"Dim i\r\nFor i = 1 To 3\r\n  If Me.StopProcess Then Exit For\r\nNext\r\nMe.Trace \"stopped at \" & i";

class BuildRunTest : public BatchFixture {
protected:
    static std::string Golden(const wchar_t* name) { return ReadFileBytes(BinDir() + L"golden\\" + name); }
    // Builds Shapes, Waiting and Text; `action` runs as the dialog's handler of a message posted
    // at the Waiting script's start.
    BOOL BuildWhileWaiting(std::function<void()> action) {
        onProgress_ = [this](const std::wstring& entry) {
            if (entry == L"script Waiting") ::PostMessageW(parent_, kPosted, 0, 0);
        };
        onPosted_ = std::move(action);
        return Build(1, {scripts_[0], scripts_[1], StoreScript(8, L"Waiting", kWaitingScript), scripts_[2]}, models_);
    }
};

// A reference run stores what each script printed on each model; comparison runs judge each job.
TEST_F(BuildRunTest, ReferenceRunStoresEachJobAndComparisonRunsJudgeEachJob) {
    EXPECT_TRUE(Build(1, scripts_, models_));

    const std::string shapes = Golden(kShapesGolden);
    const std::string text = Golden(kTextGolden);
    EXPECT_EQ((Rows{{"MODEL 300", "1", "NOP", shapes, "<null>", "0"},
                    {"MODEL 300", "2", "NOP", text, "<null>", "0"},
                    {"MODEL 300 COLOR", "1", "NOP", shapes, "<null>", "0"},
                    {"MODEL 300 COLOR", "2", "NOP", text, "<null>", "0"}}),
              StoredRows(L"FAM01"));
    EXPECT_EQ(ReadFileBytes(BinDir() + L"e2e_expected\\reference_build.log"), vb::ToUtf8(MaskedLog()));
    // No message for the global script, which is not run.
    EXPECT_EQ((std::vector<std::wstring>{L"model Model 300", L"script Shapes", L"script Text", L"model Model 300 COLOR",
                                         L"script Shapes", L"script Text"}),
              progress_);
    EXPECT_EQ(L"[MODEL 300][MODEL 300 COLOR]", ws_->GetSavedSelection(L"FAM01", TRUE));

    // The dialog hands over the texts it listed; the run reloads each one from the database, so
    // the run stands for what is stored, not for an earlier copy.
    const std::wstring variantText = std::wstring(L"Driver.SetParameter \"Variant\", \"1\"\r\n") + kTextScript;
    const std::wstring movedShapes = vb::ReplaceAll(kShapesScript, L"Rectangle 100,", L"Rectangle 110,");
    const struct {
        const char* change;
        std::wstring shapes;
        std::wstring text;
        std::vector<std::string> success;  // Shapes and Text on each model
    } runs[] = {
        {"none", kShapesScript, kTextScript, {"-1", "-1", "-1", "-1"}},
        {"the driver's output switch in Text", kShapesScript, variantText, {"-1", "0", "-1", "0"}},
        {"a rectangle moved in Shapes", movedShapes, kTextScript, {"0", "-1", "0", "-1"}},
    };
    for (const auto& run : runs) {
        StoreScript(1, L"Shapes", run.shapes);
        StoreScript(2, L"Text", run.text);
        std::vector<CScriptItem> listed = scripts_;
        EXPECT_TRUE(Build(0, listed, models_)) << run.change;
        std::vector<std::string> success;
        for (const auto& row : StoredRows(L"FAM01")) success.push_back(row[5]);
        EXPECT_EQ(run.success, success) << run.change;
        EXPECT_EQ(run.text, listed[2].DATA) << run.change;
    }
    EXPECT_TRUE(Logged(L"Loading driver [" + buildFolder_ + L"FAM01.prn]."));
}

TEST_F(BuildRunTest, PipeFamilyStoresWhatTheFileFamilyPrints) {
    for (const wchar_t* family : {L"FAM03", L"FAM05"}) {
        UseFamily(family);
        EXPECT_TRUE(Build(1, {scripts_[0], scripts_[2]}, {L"Model 300"})) << vb::ToUtf8(family);
        EXPECT_EQ((Rows{{"MODEL 300", "2", "NOP", Golden(kTextGolden), "<null>", "0"}}), StoredRows(family))
            << vb::ToUtf8(family);
    }
}

// A run broken off in the middle of a job takes its watch with it, and the page files reported
// for that job: the next run watches its own driver and stores its own pages only, even when the
// broken job had finished more pages than the next one prints.
TEST_F(BuildRunTest, PageFamilyStoresEachPageFileTheHookLibraryReported) {
    UseFamily(L"FAM09");
    const CScriptItem pages = StoreScript(
        4, L"Pages",
        L"Driver.StartDoc\r\n"
        L"Driver.StartPage\r\nDriver.TextOut 0, 0, \"page one\", 0\r\nDriver.EndPage\r\n"
        L"Driver.StartPage\r\nDriver.TextOut 0, 0, \"page two\", 0\r\nDriver.EndPage\r\n"
        L"Driver.EndDoc \"Lbl\"");
    const std::wstring brokenPage = L"Driver.StartPage\r\nDriver.TextOut 0, 0, \"broken\", 0\r\nDriver.EndPage\r\n";
    const std::wstring jam = L"Err.Raise vbObjectError + 1, \"x\", \"jam\"";
    const struct {
        const char* when;
        std::wstring script;
    } brokenJobs[] = {
        {"on its first page", L"Driver.StartDoc\r\nDriver.StartPage\r\n" + jam},
        {"after three finished pages", L"Driver.StartDoc\r\n" + brokenPage + brokenPage + brokenPage + jam},
    };
    for (const auto& broken : brokenJobs) {
        EXPECT_FALSE(Build(1, {scripts_[0], StoreScript(3, L"Broken", broken.script)}, {L"Model 300"})) << broken.when;
        ASSERT_EQ(1u, boxes_.Boxes().size()) << broken.when;
        boxes_.Clear();

        EXPECT_TRUE(Build(1, {scripts_[0], pages}, {L"Model 300"})) << broken.when;
        const Rows rows = StoredRows(L"FAM09");
        ASSERT_EQ(3u, rows.size()) << broken.when;
        EXPECT_EQ("LBL", rows[0][2]) << broken.when;
        for (size_t page = 1; page <= 2; ++page) {
            EXPECT_EQ("4", rows[page][1]) << broken.when;
            EXPECT_EQ("LBL::PRINT.TXT.PAGE" + std::to_string(page) + ".TXT", rows[page][2]) << broken.when;
            EXPECT_EQ(0u, rows[page][3].rfind("PAGE\r\n", 0)) << rows[page][3];
            EXPECT_NE(std::string::npos, rows[0][3].find(rows[page][3])) << rows[page][3];
            EXPECT_EQ(std::string::npos, rows[page][3].find("broken")) << rows[page][3];
        }
        EXPECT_NE(rows[1][3], rows[2][3]) << broken.when;
        EXPECT_TRUE(ws_->HookedFiles().empty()) << broken.when;
    }
}

// Stop asked for while a script runs ends the run once that script is done: what the run stored
// before stays, no later script runs.
TEST_F(BuildRunTest, StopReachesAScriptThroughStopProcessAndEndsTheRun) {
    EXPECT_TRUE(BuildWhileWaiting([this] { ws_->SetStop(true); }));

    EXPECT_TRUE(Logged(L"   stopped at 1\r\n"));
    EXPECT_EQ((std::vector<std::wstring>{L"model Model 300", L"script Shapes", L"script Waiting"}), progress_);
    EXPECT_EQ(1u, StoredRows(L"FAM01").size());
    EXPECT_TRUE(Logged(L"   Abort processing...\r\n"));
    EXPECT_FALSE(Logged(L"# ERROR"));
}

// The Build button answers while a script pumps messages: the run under way goes on alone.
TEST_F(BuildRunTest, RunAskedForDuringARunIsRefused) {
    BOOL inner = TRUE;
    EXPECT_TRUE(BuildWhileWaiting([&] { inner = ws_->RunBatch(1, scripts_, models_, L"", FALSE, pane_); }));

    EXPECT_FALSE(inner);
    EXPECT_TRUE(Logged(L"# ERROR 'A batch process is already running: no other one is started.'\r\n"));
    EXPECT_EQ(Log().find(L"Start processing"), Log().rfind(L"Start processing"));
    EXPECT_TRUE(Logged(L"   stopped at 4\r\n"));
    EXPECT_EQ(4u, StoredRows(L"FAM01").size());
    EXPECT_TRUE(Logged(L"   End processing...\r\n"));
}

}  // namespace
}  // namespace vb::test
