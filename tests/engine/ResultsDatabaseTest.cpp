// The results database through the engine object: what a Build run's print jobs store, how a
// comparison is judged and what is read back, checked on the file with a raw SQLite handle.
#include <gtest/gtest.h>
#include <windows.h>
#include <sqlite3.h>

#include <memory>
#include <regex>
#include <tuple>

#include "Base64.h"
#include "FakeRunContextSources.h"
#include "HiddenLogPane.h"
#include "NotepadStubFolder.h"
#include "RawDatabase.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"
#include "SqliteHandles.h"
#include "Strings.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace {

using vb::test::FileExists;
using vb::test::ReadFileBytes;
using vb::test::WriteFileBytes;
using Rows = std::vector<std::vector<std::string>>;

class ResultsDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws_ = std::make_unique<CWorkSpace>(folder_ / L"Vellbrook.exe");
        ws_->SetDriverName(L"FAM09 (Page family)");
        // An empty file is a database without tables: opening gives it its table.
        ASSERT_TRUE(CWorkSpace::EnsureFolderPath(ws_->ResultsDatabasePath()));
        ASSERT_TRUE(WriteFileBytes(ws_->ResultsDatabasePath(), ""));
        ASSERT_TRUE(ws_->OpenResultsDatabase(ws_->ResultsDatabasePath()));
        ASSERT_TRUE(CWorkSpace::EnsureFolderPath(ws_->PrintFilePath()));
        ws_->SetLogWindow(pane_.Edit());
        Key().KEY = 7;
        Key().SetModel(L" model o'neil ");
        Key().SetSubItem(L"");
        Key().reference = TRUE;
    }
    void TearDown() override { ws_.reset(); }

    COutputKey& Key() { return ws_->RunContext().key; }
    std::wstring Out(const std::wstring& name) const { return folder_ / (L"Output\\" + name); }
    std::wstring Pane() const { return pane_.Text(); }
    // Writes `bytes` as a job's print file and stores the job.
    BOOL StoreJob(const std::string& bytes) {
        EXPECT_TRUE(WriteFileBytes(ws_->PrintFilePath(), bytes));
        return ws_->StoreOutput(ws_->PrintFilePath());
    }
    Rows Query(const std::string& sql) const {
        Rows rows;
        for (const auto& row : vb::test::QueryRaw(ws_->ResultsDatabasePath(), vb::FromUtf8(sql))) {
            rows.emplace_back();
            for (const auto& cell : row) rows.back().push_back(vb::ToUtf8(cell));
        }
        return rows;
    }
    static std::string Decoded(const std::string& base64) {
        std::string bytes;
        CBase64::DecodeText(base64.data(), base64.size(), bytes);
        return bytes;
    }

    vb::test::TempFolder folder_;
    vb::MessageBoxCapture boxes_;
    vb::test::HiddenLogPane pane_;
    std::unique_ptr<CWorkSpace> ws_;
};

TEST_F(ResultsDatabaseTest, ComparisonIsJudgedOnTheWholeStoredText) {
    std::string binary;
    for (int i = 0; i < 512; ++i) binary += static_cast<char>(i * 7);
    const struct {
        BOOL reference;
        std::string data;
        const char* success;
    } runs[] = {{TRUE, binary, "0"}, {FALSE, binary, "-1"}, {TRUE, binary + "x", "0"}, {FALSE, binary + "x", "-1"}};
    for (const auto& run : runs) {
        Key().reference = run.reference;
        ASSERT_TRUE(StoreJob(run.data));
        EXPECT_EQ((Rows{{run.success}}), Query("SELECT SUCCESS FROM OUTPUT")) << run.data.size();
    }
    Rows row = Query("SELECT NAME, KEY, KEY_SUB, CMP_DATA, REF_DATE FROM OUTPUT");
    ASSERT_EQ(1u, row.size());
    EXPECT_EQ("MODEL O'NEIL 7 NOP", row[0][0] + " " + row[0][1] + " " + row[0][2]);
    EXPECT_EQ(binary + "x", Decoded(row[0][3]));
    EXPECT_TRUE(std::regex_match(row[0][4], std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << row[0][4];
    std::wstring read;
    ASSERT_TRUE(ws_->GetOutputData(read, Key()));
    EXPECT_EQ(row[0][3], vb::ToUtf8(read));
}

// A job end of a Build run: the files its print file lists, then the print file, then the extra
// data. Only what the driver left in Output\ is deleted once stored; the print file stays.
TEST_F(ResultsDatabaseTest, JobEndStoresListedFilesPrintFileAndExtraData) {
    vb::test::SampleDriverSandbox sandbox;
    ASSERT_TRUE(ws_->Driver().Load(sandbox.AddDriver(L"FAM01.PRN"), ws_->PrintFilePath(), Out(L"USER.INI"), FALSE));
    const std::wstring listed[] = {Out(L"page1.bin"), Out(L"font.ttf"), folder_ / L"outside.bin", Out(L"page2.bin")};
    std::string list;
    for (const std::wstring& file : listed) {
        ASSERT_TRUE(WriteFileBytes(file, vb::ToUtf8(file.substr(file.rfind(L'\\') + 1))));
        list += vb::ToUtf8(file) + "\r\n";
    }
    ASSERT_TRUE(WriteFileBytes(ws_->PrintFilePath(), list));
    ws_->OnPrintEvent(CDriverHandler::kJobEnded, L"Sub", L"extra text");

    Rows rows = Query("SELECT KEY_SUB, REF_DATA, REF_DRV_VERSION FROM OUTPUT ORDER BY KEY_SUB");
    for (auto& row : rows) row[1] = Decoded(row[1]);
    const std::string version = "2.5.17.301";
    EXPECT_EQ((Rows{{"SUB", list, version}, {"SUB::EXTDATA", "extra text", version},
                    {"SUB::OUTSIDE.BIN", "outside.bin", version}, {"SUB::PAGE1.BIN", "page1.bin", version},
                    {"SUB::PAGE2.BIN", "page2.bin", version}}),
              rows);
    std::vector<bool> kept;
    for (const std::wstring& file : listed) kept.push_back(FileExists(file));
    EXPECT_EQ((std::vector<bool>{false, true, true, false}), kept);
    EXPECT_TRUE(FileExists(ws_->PrintFilePath()));
    ws_->Driver().Unload();
}

// A job end of a Test run stores nothing: a copy named after the sub-item goes to the output
// (here a file port). That a stale copy is never sent in its place is proven end to end.
TEST_F(ResultsDatabaseTest, TestRunJobEndSendsACopyAndStoresNothing) {
    EXPECT_EQ(L"C:\\o\\print_A_B_C_D_E_F_G_H_I_J.txt", CWorkSpace::CopyNameFor(L"C:\\o\\print.txt", L"A\\B/C:D*E?F\"G<H>I|J"));
    EXPECT_EQ(L"C:\\o\\printA", CWorkSpace::CopyNameFor(L"C:\\o\\print", L"A"));
    vb::test::NotepadStubFolder notepad;  // a file port is shown in Notepad once sent
    vb::test::SampleDriverSandbox sandbox;
    ASSERT_TRUE(ws_->Driver().Load(sandbox.AddDriver(L"FAM01.PRN"), ws_->PrintFilePath(), Out(L"USER.INI"), FALSE));
    Key().KEY = -1;
    const std::wstring port = folder_ / L"port.out";
    ws_->SetOutput(port);
    const std::wstring copy = CWorkSpace::CopyNameFor(ws_->PrintFilePath(), L"A:B");
    ASSERT_TRUE(WriteFileBytes(copy, "stale copy of an earlier job"));
    ASSERT_TRUE(WriteFileBytes(ws_->PrintFilePath(), "this job"));
    ws_->OnPrintEvent(CDriverHandler::kJobEnded, L"A:B", L"extra");
    EXPECT_EQ("this job", ReadFileBytes(port));
    EXPECT_EQ("extra", ReadFileBytes(copy + L".ext"));
    EXPECT_TRUE(Query("SELECT * FROM OUTPUT").empty());
    ws_->Driver().Unload();
}

TEST_F(ResultsDatabaseTest, HugeDataIsLoggedAboveItsLimit) {
    // n bytes give (n * 4 + 8) / 3 bytes of text: 204,800 is the limit, 204,801 above it.
    for (const auto& [bytes, subItem, logged] :
         {std::tuple(153598, L"EXACT", false), std::tuple(153599, L"ABOVE", true)}) {
        Key().SetSubItem(subItem);
        ASSERT_TRUE(StoreJob(std::string(bytes, 'z')));
        std::wstring line = std::wstring(L"   Huge data on Script(7) / ") + subItem + L" / 200 kb)\r\n";
        EXPECT_EQ(logged, Pane().find(line) != std::wstring::npos) << Pane();
    }
}

// A user and a system text too long for their columns, which a statement must survive, and a
// clock that ran 2.5 s.
TEST_F(ResultsDatabaseTest, RunTextsAreQuotedCutAndMeasured) {
    vb::test::FakeSources system;
    system.userName = L"o'brien" + std::wstring(30, L'x');
    system.productName = std::wstring(51, L'S');
    CRunContext run(&system);
    system.counter += 25000000;
    run.key = Key();
    RunResourceRecord delta{};
    delta.gdiObjects = static_cast<DWORD>(-3);
    delta.userObjects = 2;
    delta.memory.PrivateUsage = static_cast<SIZE_T>(-4096);
    ASSERT_TRUE(WriteFileBytes(Out(L"item.bin"), "item"));
    ASSERT_TRUE(ws_->StoreOutputItem(Out(L"item.bin"), run, delta));
    EXPECT_EQ((Rows{{"O'BRIEN" + std::string(25, 'X'), std::string(51, 'S') + " (x64), build", "2500", "-3", "2", "-4096"}}),
              Query("SELECT REF_USER, REF_SYSTEM, REF_DURATION, REF_GDI_OBJ, REF_USR_OBJ, REF_MEM_USAGE FROM OUTPUT"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ResultsDatabaseTest, FailedDataWriteLeavesTheDatabaseAsItWas) {
    ASSERT_TRUE(StoreJob("old data"));
    const Rows before = Query("SELECT * FROM OUTPUT");
    Query("CREATE TRIGGER refuse BEFORE UPDATE OF REF_DATA ON OUTPUT WHEN NEW.REF_DATA <> '' "
          "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(StoreJob("new data"));
    Key().SetSubItem(L"other");
    EXPECT_FALSE(StoreJob("new data"));
    EXPECT_EQ(before, Query("SELECT * FROM OUTPUT"));
    EXPECT_NE(std::wstring::npos, Pane().find(L"# ERROR 'The output data of [OTHER] were not stored: refused'"));
}

TEST_F(ResultsDatabaseTest, EmptyCapturesCompareEqualUnreadableOnesStoreNothing) {
    for (BOOL reference : {TRUE, FALSE}) {
        Key().reference = reference;
        EXPECT_FALSE(StoreJob(""));  // stored, but without data
    }
    EXPECT_EQ((Rows{{"", "", "-1"}}), Query("SELECT REF_DATA, CMP_DATA, SUCCESS FROM OUTPUT"));

    ASSERT_TRUE(WriteFileBytes(Out(L"locked.bin"), "data"));
    vb::UniqueFile lock(::CreateFileW(Out(L"locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Key().SetSubItem(L"locked");
    EXPECT_FALSE(ws_->StoreOutputItem(Out(L"locked.bin"), ws_->RunContext(), RunResourceRecord{}));
    EXPECT_EQ((Rows{{"1"}}), Query("SELECT COUNT(*) FROM OUTPUT"));
}

}  // namespace
