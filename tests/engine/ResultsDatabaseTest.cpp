// The results database through the engine object: what a Build run's job ends store and what a
// failed store leaves, checked on the file with a raw SQLite handle. Storing, judging and reading
// back text jobs is proven by whole Build runs and the result viewer's tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <tuple>

#include "FakeRunContextSources.h"
#include "HiddenLogPane.h"
#include "RawDatabase.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"
#include "Strings.h"
#include "TestFiles.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

namespace {

using vb::test::FileExists;
using vb::test::WriteFileBytes;
using vb::test::DecodedColumn;
using vb::test::Rows;

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

    COutputKey& Key() { return ws_->RunContext().key; }
    std::wstring Out(const std::wstring& name) const { return folder_ / (L"Output\\" + name); }
    std::wstring Pane() const { return pane_.Text(); }
    // Writes `bytes` as a job's print file and stores the job.
    BOOL StoreJob(const std::string& bytes) {
        EXPECT_TRUE(WriteFileBytes(ws_->PrintFilePath(), bytes));
        return ws_->StoreOutput(ws_->PrintFilePath());
    }
    Rows Query(const wchar_t* sql) const { return vb::test::QueryRaw(ws_->ResultsDatabasePath(), sql); }

    vb::test::TempFolder folder_;
    vb::MessageBoxCapture boxes_;
    vb::test::HiddenLogPane pane_;
    std::unique_ptr<CWorkSpace> ws_;
};

// A job end of a Build run: the files its print file lists, then the print file, then the extra
// data; then a job whose output is the settings file. Only what the driver left in Output\ is
// deleted once stored; the print file stays.
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
    // The job that names the settings file as its output, in any letter case.
    ASSERT_TRUE(WriteFileBytes(Out(L"USER.INI"), "[Model 300]\r\n"));
    ws_->OnPrintEvent(CDriverHandler::kJobEnded, L"#file_profile#", L"");

    Rows rows = Query(L"SELECT KEY_SUB, REF_DATA, REF_DRV_VERSION FROM OUTPUT ORDER BY KEY_SUB");
    for (auto& row : rows) row[1] = vb::FromUtf8(DecodedColumn(row[1]));
    const std::wstring version = L"2.5.17.301";
    EXPECT_EQ((Rows{{L"#FILE_PROFILE#", L"[Model 300]\r\n", version}, {L"SUB", vb::FromUtf8(list), version},
                    {L"SUB::EXTDATA", L"extra text", version}, {L"SUB::OUTSIDE.BIN", L"outside.bin", version},
                    {L"SUB::PAGE1.BIN", L"page1.bin", version}, {L"SUB::PAGE2.BIN", L"page2.bin", version}}),
              rows);
    std::vector<bool> kept;
    for (const std::wstring& file : listed) kept.push_back(FileExists(file));
    EXPECT_EQ((std::vector<bool>{false, true, true, false}), kept);
    EXPECT_TRUE(FileExists(ws_->PrintFilePath()));
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

// A user and a system text too long for their columns, which a statement must survive, a clock
// that ran 2.5 s and counts that fell since the last snapshot.
TEST_F(ResultsDatabaseTest, RunTextsAreQuotedCutAndMeasured) {
    vb::test::FakeSources system;
    system.userName = L"o'brien" + std::wstring(30, L'x');
    system.productName = std::wstring(51, L'S');
    CRunContext run(&system);
    run.TakeSnapshot();
    system.counter += 25000000;
    system.gdi -= 3;
    system.privateBytes -= 4096;
    run.key = Key();
    RunResourceRecord delta{};
    run.GetResourceDelta(delta);
    ASSERT_TRUE(WriteFileBytes(Out(L"item.bin"), "item"));
    ASSERT_TRUE(ws_->StoreOutputItem(Out(L"item.bin"), run, delta));
    EXPECT_EQ((Rows{{L"O'BRIEN" + std::wstring(25, L'X'), std::wstring(51, L'S') + L" (x64), build", L"2500", L"-3",
                     L"-4096"}}),
              Query(L"SELECT REF_USER, REF_SYSTEM, REF_DURATION, REF_GDI_OBJ, REF_MEM_USAGE FROM OUTPUT"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// A row that may already hold the other run's data is rewritten once per store, its data with it.
TEST_F(ResultsDatabaseTest, EachStoreWritesItsRowOnce) {
    Query(L"CREATE TABLE writes (kind TEXT)");
    Query(L"CREATE TRIGGER inserted AFTER INSERT ON OUTPUT BEGIN INSERT INTO writes VALUES ('insert'); END");
    Query(L"CREATE TRIGGER updated AFTER UPDATE ON OUTPUT BEGIN INSERT INTO writes VALUES ('update'); END");
    ASSERT_TRUE(StoreJob("same data"));
    Key().reference = FALSE;
    ASSERT_TRUE(StoreJob("same data"));
    EXPECT_EQ((Rows{{L"insert"}, {L"update"}}), Query(L"SELECT kind FROM writes ORDER BY rowid"));
    EXPECT_EQ((Rows{{L"c2FtZSBkYXRh", L"c2FtZSBkYXRh", L"-1"}}),
              Query(L"SELECT REF_DATA, CMP_DATA, SUCCESS FROM OUTPUT"));
}

// Every size class of the last group (no padding, "==", "=") stores exactly its Base64 text in
// both data columns: as many bytes as characters, nothing after them.
TEST_F(ResultsDatabaseTest, StoredDataAreExactlyTheirBase64Text) {
    const wchar_t* const tails[] = {L"", L"YQ==", L"YWI="};  // of "", "a", "ab"
    for (size_t size : {1, 2, 3, 4, 5, 6, 300, 301, 302}) {
        std::string bytes;
        std::wstring base64;
        for (size_t i = 0; i < size; ++i) bytes.push_back("abc"[i % 3]);
        for (size_t i = 0; i < size / 3; ++i) base64 += L"YWJj";
        base64 += tails[size % 3];
        const std::wstring subItem = L"S" + std::to_wstring(size);
        Key().SetSubItem(subItem.c_str());
        Key().reference = TRUE;
        ASSERT_TRUE(StoreJob(bytes));
        Key().reference = FALSE;
        ASSERT_TRUE(StoreJob(bytes));
        const std::wstring length = std::to_wstring(base64.size());
        EXPECT_EQ((Rows{{length, length, length, length, base64, base64, L"-1"}}),
                  Query((L"SELECT length(CAST(REF_DATA AS BLOB)), length(REF_DATA), length(CAST(CMP_DATA AS BLOB)), "
                         L"length(CMP_DATA), REF_DATA, CMP_DATA, SUCCESS FROM OUTPUT WHERE KEY_SUB = '" +
                         subItem + L"'")
                            .c_str()))
            << size;
    }
}

// Rows stored while the store bound the encoder's whole buffer end in NULs: they read without
// them, so a new capture of the same bytes still compares equal, and a different one does not.
TEST_F(ResultsDatabaseTest, StoredDataEndingInNulsReadAsTheirText) {
    ASSERT_TRUE(StoreJob("ref"));
    ASSERT_EQ("", vb::test::ExecRaw(ws_->ResultsDatabasePath(),
                                    "UPDATE OUTPUT SET REF_DATA = CAST(x'636D566D0000' AS TEXT)"));
    ASSERT_EQ((Rows{{L"6"}}), Query(L"SELECT length(CAST(REF_DATA AS BLOB)) FROM OUTPUT"));
    std::wstring read;
    EXPECT_TRUE(ws_->GetOutputData(read, Key()));
    EXPECT_EQ(L"cmVm", read);

    Key().reference = FALSE;
    ASSERT_TRUE(StoreJob("ref"));
    EXPECT_EQ((Rows{{L"4", L"-1"}}), Query(L"SELECT length(CAST(CMP_DATA AS BLOB)), SUCCESS FROM OUTPUT"));
    ASSERT_TRUE(StoreJob("rEf"));
    EXPECT_EQ((Rows{{L"0"}}), Query(L"SELECT SUCCESS FROM OUTPUT"));
}

// A database the program makes starts with 16 KB pages; a file that was there keeps its own.
TEST_F(ResultsDatabaseTest, NewDatabasesGetLargePagesAndOldOnesKeepTheirs) {
    ASSERT_TRUE(StoreJob("data"));
    EXPECT_EQ((Rows{{L"4096"}}), Query(L"PRAGMA page_size"));
    const std::wstring fresh = folder_ / L"Data\\FRESH.mdb";
    ASSERT_TRUE(ws_->OpenResultsDatabase(fresh));
    EXPECT_EQ((Rows{{L"16384", L"ok"}}),
              vb::test::QueryRaw(fresh, L"SELECT * FROM pragma_page_size, pragma_integrity_check"));
    ASSERT_TRUE(StoreJob("data"));
    EXPECT_EQ((Rows{{L"ZGF0YQ=="}}), vb::test::QueryRaw(fresh, L"SELECT REF_DATA FROM OUTPUT"));
}

TEST_F(ResultsDatabaseTest, RefusedWriteLeavesTheDatabaseAsItWas) {
    ASSERT_TRUE(StoreJob("old data"));
    const Rows before = Query(L"SELECT * FROM OUTPUT");
    Query(L"CREATE TRIGGER refuse_update BEFORE UPDATE ON OUTPUT BEGIN SELECT RAISE(ABORT, 'refused'); END");
    Query(L"CREATE TRIGGER refuse_insert BEFORE INSERT ON OUTPUT BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(StoreJob("new data"));
    Key().SetSubItem(L"other");
    EXPECT_FALSE(StoreJob("new data"));
    EXPECT_EQ(before, Query(L"SELECT * FROM OUTPUT"));
    // Each failed statement is shown; the data are bound to it, not spelled out in it.
    ASSERT_EQ(2u, boxes_.Boxes().size());
    EXPECT_NE(std::wstring::npos, boxes_.Boxes()[0].text.find(L"[REF_DATA] = ?,[REF_DURATION]"));
    EXPECT_NE(std::wstring::npos, boxes_.Boxes()[1].text.find(L"', ?, "));
}

TEST_F(ResultsDatabaseTest, UnreadableCaptureStoresNothing) {
    ASSERT_TRUE(WriteFileBytes(Out(L"locked.bin"), "data"));
    vb::UniqueFile lock(::CreateFileW(Out(L"locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Key().SetSubItem(L"locked");
    EXPECT_FALSE(ws_->StoreOutputItem(Out(L"locked.bin"), ws_->RunContext(), RunResourceRecord{}));
    EXPECT_EQ((Rows{{L"0"}}), Query(L"SELECT COUNT(*) FROM OUTPUT"));
}

}  // namespace
