// Build runs: a reference run stores what each script printed on each model, a comparison run
// judges every job against it.
#include "BatchFixture.h"
#include "SampleScripts.h"
#include "Strings.h"

namespace vb::test {
namespace {

class BuildRunTest : public BatchFixture {
protected:
    void SetUp() override {
        UseFamily(L"FAM01");
        scripts_ = {GlobalScript(), StoreScript(1, L"Shapes", kShapesScript), StoreScript(2, L"Text", kTextScript)};
    }
    static std::string Golden(const wchar_t* name) { return ReadFileBytes(BinDir() + L"golden\\" + name); }
    std::vector<std::string> Success() const {
        std::vector<std::string> column;
        for (const auto& row : StoredRows(L"FAM01")) column.push_back(row[5]);
        return column;
    }

    std::vector<CScriptItem> scripts_;
    const std::vector<std::wstring> models_{L"Model 300", L"Model 300 COLOR"};
};

TEST_F(BuildRunTest, ReferenceRunStoresEachJobAndLogsEachStep) {
    EXPECT_TRUE(Build(1, scripts_, models_));

    const std::string shapes = Golden(kShapesGolden);
    const std::string text = Golden(kTextGolden);
    ASSERT_FALSE(shapes.empty());
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
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// The dialog hands over the texts it listed; the run reloads each one from the database, so
// the run stands for what is stored, not for an earlier copy.
TEST_F(BuildRunTest, ComparisonRunJudgesEachJobAgainstTheReference) {
    ASSERT_TRUE(Build(1, scripts_, models_));
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
        EXPECT_EQ(run.success, Success()) << run.change;
        EXPECT_EQ(run.text, listed[2].DATA) << run.change;
    }
    EXPECT_TRUE(Logged(L"Loading driver [" + buildFolder_ + L"FAM01.prn]."));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
}  // namespace vb::test
