// Families whose output does not come from the print file alone: the pipe family and the page
// family, whose page files the hook library reports while it prints.
#include "BatchFixture.h"
#include "SampleScripts.h"
#include "Strings.h"

namespace vb::test {
namespace {

using CaptureFamiliesTest = BatchFixture;

TEST_F(CaptureFamiliesTest, PipeFamilyStoresWhatTheFileFamilyPrints) {
    const std::vector<CScriptItem> scripts{GlobalScript(), StoreScript(2, L"Text", kTextScript)};
    Rows stored;
    for (const wchar_t* family : {L"FAM03", L"FAM05"}) {
        UseFamily(family);
        EXPECT_TRUE(Build(1, std::vector<CScriptItem>(scripts), {L"Model 300"})) << vb::ToUtf8(family);
        Rows rows = StoredRows(family);
        ASSERT_EQ(1u, rows.size()) << vb::ToUtf8(family);
        stored.push_back(rows[0]);
    }
    EXPECT_EQ(ReadFileBytes(BinDir() + L"golden\\" + kTextGolden), stored[0][3]);
    EXPECT_EQ(stored[0], stored[1]);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(CaptureFamiliesTest, PageFamilyStoresEachPageFileTheHookLibraryReported) {
    UseFamily(L"FAM09");
    const CScriptItem pages = StoreScript(
        4, L"Pages",
        L"Driver.StartDoc\r\n"
        L"Driver.StartPage\r\nDriver.TextOut 0, 0, \"page one\", 0\r\nDriver.EndPage\r\n"
        L"Driver.StartPage\r\nDriver.TextOut 0, 0, \"page two\", 0\r\nDriver.EndPage\r\n"
        L"Driver.EndDoc \"Lbl\"");
    EXPECT_TRUE(Build(1, {GlobalScript(), pages}, {L"Model 300"}));

    const Rows rows = StoredRows(L"FAM09");
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("LBL", rows[0][2]);
    const std::string& printed = rows[0][3];
    for (int page = 1; page <= 2; ++page) {
        const std::string& pageData = rows[static_cast<size_t>(page)][3];
        EXPECT_EQ("LBL::PRINT.TXT.PAGE" + std::to_string(page) + ".TXT", rows[static_cast<size_t>(page)][2]);
        EXPECT_EQ(0u, pageData.rfind("PAGE\r\n", 0)) << pageData;
        EXPECT_NE(std::string::npos, printed.find(pageData)) << pageData;
    }
    EXPECT_NE(rows[1][3], rows[2][3]);
    EXPECT_TRUE(ws_->HookedFiles().empty());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
}  // namespace vb::test
