// The device database of a workspace in a program folder of the test's own: its creation, its
// scripts and the synchronisation question. What the program wrote is read back through a raw
// SQLite handle as well; the lists it fills are proven through the main dialog.
#include <gtest/gtest.h>

#include <memory>

#include "CheckListView.h"
#include "DbConnection.h"
#include "DefinitionFileWriter.h"
#include "RawDatabase.h"
#include "GlobalScript.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "SqliteHandles.h"
#include "Strings.h"
#include "TestFiles.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

namespace {

using vb::test::Rows;
using vb::test::ReadFileBytes;
using vb::test::WriteFileBytes;

class DeviceDatabaseTest : public ::testing::Test {
protected:
    std::wstring DbPath() const { return folder_ / L"Data\\Data.mdb"; }
    std::wstring DefPath() const { return folder_ / L"Devices2.def"; }
    std::unique_ptr<CWorkSpace> Open() { return std::make_unique<CWorkSpace>(folder_ / L"Vellbrook.exe"); }

    void Exec(const char* sql) const { ASSERT_EQ("", vb::test::ExecRaw(DbPath(), sql)); }
    Rows Query(const wchar_t* sql) const { return vb::test::QueryRaw(DbPath(), sql); }
    Rows Tables() const { return Query(L"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"); }

    // A hidden parent with the main dialog's script list.
    void MakeControls() {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
        const DWORD check = WS_CHILD | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY;
        scripts_ = ::CreateWindowExW(0, L"LISTBOX", L"", check, 0, 0, 200, 40, parent_, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        if (parent_) ::DestroyWindow(parent_);
    }

    vb::test::TempFolder folder_;
    vb::MessageBoxCapture boxes_;
    HWND parent_ = nullptr;
    HWND scripts_ = nullptr;
};

TEST_F(DeviceDatabaseTest, FirstStartCreatesTheWholeDatabaseAndLaterOnesOnlyWhatItLacks) {
    // What a start killed while it made the file left behind.
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Data").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(DbPath() + L".new", "half a database"));
    std::wstring global;
    BuildGlobalScript(global);
    const Rows tables = {{L"DRIVER_FAMILIES"}, {L"DRIVER_MODELS"}, {L"SCRIPTS"}};
    Open();
    EXPECT_EQ(tables, Tables());
    // Stored with single apostrophes and each line break as the four characters \r\n.
    EXPECT_EQ((Rows{{L"0", L"#Global_Script", vb::ReplaceAll(global, L"\r\n", L"\\r\\n")}}),
              Query(L"SELECT [KEY], NAME, DATA FROM SCRIPTS"));
    EXPECT_FALSE(vb::test::FileExists(DbPath() + L".new"));

    Exec("DROP TABLE DRIVER_MODELS; DELETE FROM SCRIPTS; INSERT INTO SCRIPTS VALUES (7, 'Mine', 'x')");
    Open();
    EXPECT_EQ(tables, Tables());
    EXPECT_EQ(2u, Query(L"SELECT * FROM SCRIPTS").size());
    // A global script of the tester's own is kept, even though the built-in text differs.
    Exec("UPDATE SCRIPTS SET DATA = 'Const MINE = 1' WHERE [KEY] = 0");
    Open();
    EXPECT_EQ((Rows{{L"Const MINE = 1"}}), Query(L"SELECT DATA FROM SCRIPTS WHERE [KEY] = 0"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// One box names the file and the reason; the file stays as it was and the lists stay empty.
TEST_F(DeviceDatabaseTest, AnUnusableDatabaseIsReportedOnceAndLeftAsItIs) {
    MakeControls();
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Data").c_str(), nullptr));
    enum class Kind { NoDatabase, ReadOnly, Locked, FolderIsAFile };
    const struct {
        Kind kind;
        const wchar_t* reason;
    } cases[] = {
        {Kind::NoDatabase, L"file is not a database"},
        {Kind::ReadOnly, L"attempt to write a readonly database"},
        {Kind::Locked, L"database is locked"},
        {Kind::FolderIsAFile, L"The folder [DATA] cannot be made."},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(static_cast<int>(test.kind));
        ::SendMessageW(scripts_, LB_RESETCONTENT, 0, 0);
        std::wstring file = DbPath();
        std::string bytes = test.kind == Kind::NoDatabase ? std::string(4096, 'x') : std::string();
        if (test.kind == Kind::FolderIsAFile) {
            ::DeleteFileW(DbPath().c_str());
            ::DeleteFileW((DbPath() + L"-journal").c_str());
            ASSERT_TRUE(::RemoveDirectoryW((folder_ / L"Data").c_str()));
            file = folder_ / L"Data";
            bytes = "the tester's own file";
        }
        ASSERT_TRUE(WriteFileBytes(file, bytes));
        // Writers shut out, so the database opens for reading only (a read-only attribute
        // means nothing to a test running as root).
        vb::UniqueFile reader;
        if (test.kind == Kind::ReadOnly) {
            reader.Reset(::CreateFileW(DbPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(reader);
        }
        std::wstring error;
        vb::UniqueSqliteDatabase locker;
        if (test.kind == Kind::Locked) {
            locker = CDbConnection::OpenDatabase(DbPath(), error);
            ::sqlite3_exec(locker.Get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        }

        boxes_.Clear();
        auto workspace = Open();
        EXPECT_FALSE(workspace->DeviceDatabase().IsOpen());
        EXPECT_EQ(0, workspace->LoadScriptList(vb::CheckListView(scripts_)));
        const std::wstring reason = vb::ReplaceAll(test.reason, L"DATA", folder_ / L"Data");
        ASSERT_EQ(1u, boxes_.Boxes().size());
        EXPECT_EQ(L"The device database [" + DbPath() + L"] cannot be opened:\r\n" + reason +
                      L"\r\n\r\nThe file is left as it is. The lists of families, models and scripts stay empty.",
                  boxes_.Boxes()[0].text);
        EXPECT_EQ(bytes, ReadFileBytes(file));
    }
}

TEST_F(DeviceDatabaseTest, ScriptsComeBackExactlyAndUnchangedOnesAreNotWritten) {
    auto workspace = Open();
    CScriptItem script(11);
    script.NAME = L"It's Grüße ✓";
    script.DATA = L"MsgBox \"It's\"\r\n'' two apostrophes stay two: ''''\r\na\r\n\r\nb\nc\rd & [KEY] ' 日本語\r\n";
    ASSERT_TRUE(workspace->SaveScript(script, 1));
    CScriptItem loaded(11);
    ASSERT_TRUE(workspace->LoadScript(loaded));
    EXPECT_TRUE(loaded == script);

    const std::string before = ReadFileBytes(DbPath());
    EXPECT_FALSE(workspace->SaveScript(script, 1));
    EXPECT_EQ(before, ReadFileBytes(DbPath()));
    script.DATA += L"'";
    EXPECT_TRUE(workspace->SaveScript(script, 1));
    ASSERT_TRUE(workspace->LoadScript(loaded));
    EXPECT_EQ(script.DATA, loaded.DATA);
    // The database holds the apostrophes once: they were not quoted twice.
    EXPECT_EQ((Rows{{script.NAME}}), Query(L"SELECT NAME FROM SCRIPTS WHERE [KEY] = 11"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceDatabaseTest, NewScriptsAreListedAndOnlyUserScriptsAreDeleted) {
    MakeControls();
    auto workspace = Open();
    vb::CheckListView list(scripts_);
    CScriptItem first;
    CScriptItem second;
    EXPECT_EQ(1, workspace->NewScript(list, first));
    EXPECT_EQ(2, workspace->NewScript(list, second));
    EXPECT_EQ(L"New script ID(2)", second.NAME);
    // Listed ticked and selected, keyed by its item data.
    EXPECT_EQ(L"New script ID(2)", list.GetText(1));
    EXPECT_TRUE(list.GetCheck(1) && list.GetCurSel() == 1 && list.GetItemData(1) == 2);

    // Deleting the global script is refused in the main dialog, whose tests prove it.
    CScriptItem none;
    none.NAME = L"None";
    EXPECT_FALSE(workspace->DeleteScript(none));
    EXPECT_TRUE(workspace->DeleteScript(first));
    EXPECT_EQ((Rows{{L"0"}, {L"2"}}), Query(L"SELECT [KEY] FROM SCRIPTS ORDER BY [KEY]"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// Moved aside on Yes though one model's key is too long for the database: the import reports
// that row and keeps the others.
TEST_F(DeviceDatabaseTest, TheDefinitionFileIsImportedAndMovedAsideOnlyOnYes) {
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        {
            vb::test::DefinitionFileWriter writer(DefPath());
            ASSERT_TRUE(writer.AddStrings(L"M~1", {L"X1", L"MODEL X", L"FAM01"}));
            ASSERT_TRUE(writer.AddStrings(L"M~2", {L"X2", L"MODEL Y", L"FAMILY01"}));
            ASSERT_TRUE(writer.AddStrings(L"F~1", {L"Family A", L"X1;X2"}));
            ASSERT_TRUE(writer.AddStrings(L"FAMILIES INDEX", {L"index", L"Family A"}));
        }
        ASSERT_TRUE(WriteFileBytes(DefPath() + L".old", "an older file"));
        boxes_.Clear();
        boxes_.SetAnswer(answer);
        Open();
        ASSERT_EQ(answer == IDYES ? 2u : 1u, boxes_.Boxes().size());
        EXPECT_EQ(vb::LoadResString(IDS_SYNCHRONIZE_DEVICES), boxes_.Boxes()[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), boxes_.Boxes()[0].flags);
        const bool yes = answer == IDYES;
        EXPECT_EQ(!yes, vb::test::FileExists(DefPath()));
        EXPECT_EQ(yes ? 1u : 0u, Query(L"SELECT * FROM DRIVER_MODELS WHERE NAME = 'MODEL X'").size());
        EXPECT_EQ(yes, ReadFileBytes(DefPath() + L".old") != "an older file");
    }
}

}  // namespace
