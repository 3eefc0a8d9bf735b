// Runs that fail: the refusals of the batch, each logged as an error of its own without a box
// of the batch's own, and scripts that fail, whose host error is shown and stops the run where
// it is. Either way the run ends through the one clean-up, and the next run works.
#include <sqlite3.h>

#include "BatchFixture.h"
#include "DbConnection.h"
#include "ScriptTestSupport.h"

namespace vb::test {
namespace {

using FailuresTest = BatchFixture;

TEST_F(FailuresTest, EachRefusalIsLoggedAndTheNextRunWorks) {
    vb::UniqueSqliteDatabase lock;  // another program holding the database for writing: nobody can read it
    const std::wstring testersFile = program_ / L"Output";  // where the print file's folder belongs
    bool blocked = false;
    const std::wstring kNothingSelected = L"You must select at least one driver model and also\r\nat least one script "
                                          L"(different than [#Global_Script] because it's always added).";
    const struct {
        const char* name;
        std::function<void()> cause;
        std::vector<std::wstring> models;
        size_t scripts;
        std::wstring error;
        std::wstring box;  // what the driver wrapper's own box says, if it shows one
    } cases[] = {
        // First, while no run has made the folder.
        {"a file where the print file's folder belongs",
         [&] { blocked = WriteFileBytes(testersFile, "notes"); }, {L"Model 300"}, 3,
         L"The folder of the print file cannot be created:\r\n<program>\\Output", L""},
        {"no model", [] {}, {}, 3, kNothingSelected, L""},
        {"no script", [] {}, {L"Model 300"}, 0, kNothingSelected, L""},
        {"a driver that does not load", [this] { UseFamily(L"FAM02", L"unloadable_driver.dll"); }, {L"Model 300"}, 3,
         L"The device driver cannot be loaded:\r\n<reference>\\FAM02.prn.",
         L"cannot be loaded.\nCheck module dependencies."},
        {"a driver that is missing", [this] { ws_->SetDriverName(L"FAM07 (Missing family)"); }, {L"Model 300"}, 3,
         L"The device driver cannot be loaded:\r\n<reference>\\FAM07.prn.", L"cannot be found."},
        // The sample driver opens every model it is given a name for.
        {"a model the driver cannot open", [] {}, {L"Model 300", L""}, 3,
         L"The device context for the model [] cannot be created.", L""},
        {"a locked database",
         [&] {
             std::wstring error;
             lock = CDbConnection::OpenDatabase(ResultsFile(L"FAM01"), error);
             ASSERT_EQ(SQLITE_OK, ::sqlite3_exec(lock.Get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
         },
         {L"Model 300"}, 3, L"The database cannot be opened:\r\n<program>\\Data\\FAM01.mdb", L""},
    };
    for (const auto& refusal : cases) {
        SCOPED_TRACE(refusal.name);
        refusal.cause();
        std::vector<CScriptItem> scripts(scripts_.begin(), scripts_.begin() + static_cast<long>(refusal.scripts));
        EXPECT_FALSE(Build(1, scripts, refusal.models));

        const std::wstring ending = ErrorEnding(L"End", refusal.error + L"\r\n\r\nThe batch process is aborted.");
        EXPECT_EQ(ending, MaskedEnding(ending));
        if (refusal.models.empty() || refusal.scripts == 0) {
            EXPECT_EQ(L"\r\nhh:mm:ss" + ending, MaskedLog());  // nothing before
        }
        ASSERT_EQ(refusal.box.empty() ? 0u : 1u, boxes_.Boxes().size());
        EXPECT_TRUE(refusal.box.empty() || boxes_.Boxes()[0].text.find(refusal.box) != std::wstring::npos);
        lock.Reset();
        if (blocked) {  // the run kept the tester's file
            EXPECT_EQ("notes", ReadFileBytes(testersFile));
            ::DeleteFileW(testersFile.c_str());
            blocked = false;
        }
        UseFamily(L"FAM01");
        ExpectGoodBuild({L"Model 300"}, 2, refusal.name);
    }
}

// The script's error is shown in a box and ends the log; the run stops where it is; the next
// run gets a fresh engine with both host objects and none of the failed script's state. A Test
// run executes its script under `Option Explicit`; code that does not compile is not added at
// all, so no procedure of the run exists and none runs.
TEST_F(FailuresTest, FailedScriptStopsTheRunAndTheNextRunWorks) {
    const std::wstring raising =
        L"Dim leftover\r\nleftover = 5\r\n  Err.Raise vbObjectError + 7, \"label\", \"Label stock is empty\"";
    // A Build run's lines count through the text of every script of the run.
    const std::wstring raised =
        L" - Character: 3\r\n - Error: Label stock is empty\r\n - Code: 80040007\r\n - Source: label";
    const struct {
        const char* name;
        bool test;  // a Test run of the script alone, else a Build run with it second of three
        std::wstring text;
        std::wstring shown;  // a part of the box's text
        std::vector<std::wstring> progress;
        size_t rows;
    } cases[] = {
        {"raised in a Test run", true, raising, L"VB Script error:\r\n - Line: 3\r\n" + raised,
         {L"model Model 300"}, 0},
        {"undeclared in a Test run", true, L"Dim declared\r\nundeclared = 2", L" - Line: 2\r\n - Character: 1\r\n",
         {L"model Model 300"}, 0},
        {"raised in a Build run", false, raising, raised,
         {L"model Model 300", L"script Shapes", L"script Failing"}, 1},
        {"not compiling in a Build run", false, L"If Then\r\nEnd", L"compilation error", {}, 0},
    };
    for (const auto& failure : cases) {
        SCOPED_TRACE(failure.name);
        ::DeleteFileW(ResultsFile(L"FAM01").c_str());
        const CScriptItem failing = StoreScript(5, L"Failing", failure.text);
        EXPECT_FALSE(failure.test ? TestRun(failing, L"Model 300")
                                  : Build(1, {scripts_[0], scripts_[1], failing, scripts_[2]}, models_));

        ASSERT_EQ(1u, boxes_.Boxes().size());
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.Boxes()[0].flags & MB_ICONMASK);
        EXPECT_NE(std::wstring::npos, boxes_.Boxes()[0].text.find(failure.shown)) << ToUtf8(boxes_.Boxes()[0].text);
        const std::wstring ending = ErrorEnding(L"Abort", boxes_.Boxes()[0].text);
        EXPECT_EQ(ending, MaskedEnding(ending));
        EXPECT_EQ(failure.progress, progress_);
        EXPECT_EQ(failure.rows, StoredRows(L"FAM01").size());
        EXPECT_EQ(2u, ws_->Script().Engine().NamedObjectCount());
        EXPECT_EQ(L"Empty", Evaluate(ws_->Script().Engine(), L"TypeName(leftover)"));

        ExpectGoodBuild(models_, 4, failure.name);
    }
}

}  // namespace
}  // namespace vb::test
