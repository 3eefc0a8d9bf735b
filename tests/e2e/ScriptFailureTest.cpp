// Scripts that fail in a Build run: the host's error is shown, the run stops where it is and
// ends through the one clean-up, and the next run works.
#include "BatchFixture.h"
#include "SampleScripts.h"

namespace vb::test {
namespace {

class ScriptFailureTest : public BatchFixture {
protected:
    void SetUp() override {
        UseFamily(L"FAM01");
        first_ = StoreScript(1, L"First", kShapesScript);
        third_ = StoreScript(3, L"Third", kTextScript);
    }
    // The run stopped at the error: aborted, with the shown error as its last line.
    void ExpectAbortedWithTheBox() {
        ASSERT_EQ(1u, boxes_.Boxes().size());
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.Boxes()[0].flags & MB_ICONMASK);
        const std::wstring ending =
            L"   Abort processing...\r\n\r\nhh:mm:ss   # ERROR '" + boxes_.Boxes()[0].text + L"'\r\n";
        EXPECT_EQ(ending, MaskedEnding(ending));
        EXPECT_FALSE(ws_->Driver().IsLoaded());
        EXPECT_FALSE(ws_->ResultsDatabase().IsOpen());
    }
    CScriptItem first_;
    CScriptItem third_;
    const std::vector<std::wstring> models_{L"Model 300", L"Model 203"};
};

TEST_F(ScriptFailureTest, FailingSecondScriptOfThreeStopsTheRun) {
    const CScriptItem second =
        StoreScript(2, L"Second", L"Dim n\r\nn = 1\r\n  Err.Raise vbObjectError + 9, \"stock\", \"Out of labels\"");
    EXPECT_FALSE(Build(1, {GlobalScript(), first_, second, third_}, models_));

    ExpectAbortedWithTheBox();
    const std::wstring& shown = boxes_.Boxes()[0].text;
    EXPECT_NE(std::wstring::npos, shown.find(L" - Character: 3\r\n - Error: Out of labels\r\n - Code: 80040009\r\n"))
        << vb::ToUtf8(shown);
    EXPECT_EQ((std::vector<std::wstring>{L"model Model 300", L"script First", L"script Second"}), progress_);
    EXPECT_FALSE(Logged(L"[Third]"));
    EXPECT_EQ(1u, StoredRows(L"FAM01").size());

    ExpectGoodBuild({GlobalScript(), first_, third_}, models_, 4, "after the failed script");
}

// Code that does not compile is not added at all: no procedure of the run exists, so none runs.
TEST_F(ScriptFailureTest, ScriptThatDoesNotCompileStopsTheRunBeforeAnyModel) {
    const CScriptItem broken = StoreScript(2, L"Broken", L"If Then\r\nEnd");
    EXPECT_FALSE(Build(1, {GlobalScript(), first_, broken, third_}, models_));

    ExpectAbortedWithTheBox();
    EXPECT_FALSE(Logged(L"Creating DC"));
    EXPECT_TRUE(progress_.empty());
    EXPECT_TRUE(StoredRows(L"FAM01").empty());

    ExpectGoodBuild({GlobalScript(), first_, StoreScript(2, L"Broken", L"' mended"), third_}, models_, 4,
                    "after the mended script");
}

}  // namespace
}  // namespace vb::test
