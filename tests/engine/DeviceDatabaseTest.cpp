// The device database of a workspace in a program folder of the test's own: its creation, its
// scripts, the synchronisation question and the lists filled into real controls. What the
// program wrote is read back through a raw SQLite handle as well.
#include <gtest/gtest.h>

#include <memory>

#include "CheckListView.h"
#include "ComboBoxView.h"
#include "DbConnection.h"
#include "DefinitionFileWriter.h"
#include "RawDatabase.h"
#include "GlobalScript.h"
#include "HexString.h"
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

    // A hidden parent with the main dialog's three controls.
    void MakeControls() {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
        combo_ = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 200, parent_, nullptr,
                                   nullptr, nullptr);
        const DWORD check = WS_CHILD | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY;
        models_ = ::CreateWindowExW(0, L"LISTBOX", L"", check, 0, 0, 200, 40, parent_, nullptr, nullptr, nullptr);
        scripts_ = ::CreateWindowExW(0, L"LISTBOX", L"", check, 0, 0, 200, 40, parent_, nullptr, nullptr, nullptr);
    }
    // Each entry's text, then " [x]" when checked, " <selected>" and its item data when not 0.
    static std::vector<std::wstring> Entries(vb::CheckListView list) {
        std::vector<std::wstring> entries;
        for (int i = 0; i < list.GetCount(); ++i) {
            LPARAM data = list.GetItemData(i);
            entries.push_back(list.GetText(i) + (list.GetCheck(i) ? L" [x]" : L"") +
                              (list.GetCurSel() == i ? L" <selected>" : L"") +
                              (data ? L" =" + std::to_wstring(data) : L""));
        }
        return entries;
    }
    void TearDown() override {
        if (parent_) ::DestroyWindow(parent_);
    }

    vb::test::TempFolder folder_;
    vb::MessageBoxCapture boxes_;
    HWND parent_ = nullptr;
    HWND combo_ = nullptr;
    HWND models_ = nullptr;
    HWND scripts_ = nullptr;
};

TEST_F(DeviceDatabaseTest, FirstStartCreatesTheWholeDatabaseUnderItsName) {
    // What a start killed while it made the file left behind.
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Data").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(DbPath() + L".new", "half a database"));
    std::wstring global;
    BuildGlobalScript(global);
    Open();
    EXPECT_EQ((Rows{{L"DRIVER_FAMILIES"}, {L"DRIVER_MODELS"}, {L"SCRIPTS"}}), Tables());
    // Stored with single apostrophes and each line break as the four characters \r\n.
    EXPECT_EQ((Rows{{L"0", L"#Global_Script", vb::ReplaceAll(global, L"\r\n", L"\\r\\n")}}),
              Query(L"SELECT [KEY], NAME, DATA FROM SCRIPTS"));
    EXPECT_FALSE(vb::test::FileExists(DbPath() + L".new"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceDatabaseTest, AnExistingDatabaseGetsOnlyWhatItLacks) {
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Data").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(DbPath(), ""));
    Exec("CREATE TABLE SCRIPTS ([KEY] INTEGER, NAME TEXT, DATA TEXT); INSERT INTO SCRIPTS VALUES (7, 'Mine', 'x')");
    Open();
    EXPECT_EQ((Rows{{L"DRIVER_FAMILIES"}, {L"DRIVER_MODELS"}, {L"SCRIPTS"}}), Tables());
    EXPECT_EQ(2u, Query(L"SELECT * FROM SCRIPTS").size());

    // A global script of the tester's own is kept, even though the built-in text differs.
    Exec("UPDATE SCRIPTS SET DATA = 'Const MINE = 1' WHERE [KEY] = 0");
    Open();
    EXPECT_EQ((Rows{{L"Const MINE = 1"}}), Query(L"SELECT DATA FROM SCRIPTS WHERE [KEY] = 0"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceDatabaseTest, AnUnusableDatabaseLeavesTheListsEmptyWithoutABox) {
    MakeControls();
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Data").c_str(), nullptr));
    enum class Kind { NoDatabase, ReadOnly, Locked };
    for (Kind kind : {Kind::NoDatabase, Kind::ReadOnly, Kind::Locked}) {
        SCOPED_TRACE(static_cast<int>(kind));
        ::SendMessageW(scripts_, LB_RESETCONTENT, 0, 0);
        ASSERT_TRUE(WriteFileBytes(DbPath(), kind == Kind::NoDatabase ? std::string(4096, 'x') : std::string()));
        // Writers shut out, so the database opens for reading only (a read-only attribute
        // means nothing to a test running as root).
        vb::UniqueFile reader;
        if (kind == Kind::ReadOnly) {
            reader.Reset(::CreateFileW(DbPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(reader);
        }
        std::wstring error;
        vb::UniqueSqliteDatabase locker;
        if (kind == Kind::Locked) {
            locker = CDbConnection::OpenDatabase(DbPath(), error);
            ::sqlite3_exec(locker.Get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        }

        auto workspace = Open();
        EXPECT_FALSE(workspace->DeviceDatabase().IsOpen());
        EXPECT_EQ(0, workspace->LoadScriptList(vb::CheckListView(scripts_)));
        EXPECT_EQ(0, ::SendMessageW(scripts_, LB_GETCOUNT, 0, 0));
        for (const auto& box : boxes_.Boxes()) ADD_FAILURE() << vb::ToUtf8(box.text);
        boxes_.Clear();
    }
}

TEST_F(DeviceDatabaseTest, ScriptsComeBackExactlyAndUnchangedOnesAreNotWritten) {
    auto workspace = Open();
    const std::pair<const wchar_t*, const wchar_t*> scripts[] = {
        {L"It's mine", L"MsgBox \"It's\"\r\n' a comment\r\n"},
        {L"Doubled ''", L"'' two apostrophes stay two: ''''\r\nx = 1"},
        {L"Lines", L"a\r\n\r\nb\nc\rd\r\n"},
        {L"Operators", L"s = \"a\" & 'b' + \"c\" & [KEY]"},
        {L"Grüße ✓", L"' Ünïcödé 日本語 ✓\r\nDim ß"},
    };
    int key = 10;
    for (const auto& [name, data] : scripts) {
        SCOPED_TRACE(vb::ToUtf8(name));
        CScriptItem script(++key);
        script.NAME = name;
        script.DATA = data;
        ASSERT_TRUE(workspace->SaveScript(script, 1));
        CScriptItem loaded(key);
        ASSERT_TRUE(workspace->LoadScript(loaded));
        EXPECT_TRUE(loaded == script);

        const std::string before = ReadFileBytes(DbPath());
        EXPECT_FALSE(workspace->SaveScript(script, 1));
        EXPECT_EQ(before, ReadFileBytes(DbPath()));

        script.DATA += L"'";
        EXPECT_TRUE(workspace->SaveScript(script, 1));
        ASSERT_TRUE(workspace->LoadScript(loaded));
        EXPECT_EQ(script.DATA, loaded.DATA);
    }
    // The database holds the apostrophes once: they were not quoted twice.
    EXPECT_EQ((Rows{{L"It's mine"}}), Query(L"SELECT NAME FROM SCRIPTS WHERE [KEY] = 11"));
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
    EXPECT_EQ(101u, second.DATA.size());
    EXPECT_EQ((std::vector<std::wstring>{L"New script ID(1) [x] =1", L"New script ID(2) [x] <selected> =2"}),
              Entries(list));

    CScriptItem global(0);
    ASSERT_TRUE(workspace->LoadScript(global));
    CScriptItem none;
    none.NAME = L"None";
    EXPECT_FALSE(workspace->DeleteScript(global));
    EXPECT_FALSE(workspace->DeleteScript(none));
    EXPECT_TRUE(workspace->DeleteScript(first));
    EXPECT_EQ((Rows{{L"0"}, {L"2"}}), Query(L"SELECT [KEY] FROM SCRIPTS ORDER BY [KEY]"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceDatabaseTest, HexTextBothWays) {
    const std::pair<std::wstring, std::wstring> toHex[] = {
        {L"Pelok", L"50656c6f6b"}, {L"", L""}, {L"\x00e9\n", L"e90a"}, {L"\x0100Z", L"1005a"}};
    for (const auto& [text, hex] : toHex) {
        EXPECT_EQ(hex, vb::ConvertHexString(text, TRUE));
        if (text.empty() || text[0] < 0x100) {
            EXPECT_EQ(text, vb::ConvertHexString(hex, FALSE));
        }
    }
    // Pairs that are no hexadecimal are skipped; an odd last digit is read alone.
    EXPECT_EQ(L"AB\x0004", vb::ConvertHexString(L"41zz424", FALSE));
}

TEST_F(DeviceDatabaseTest, TheDefinitionFileIsImportedAndMovedAsideOnlyOnYes) {
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        {
            vb::test::DefinitionFileWriter writer(DefPath());
            ASSERT_TRUE(writer.AddStrings(L"M~1", {L"X1", L"MODEL X", L"FAM01"}));
            ASSERT_TRUE(writer.AddStrings(L"F~1", {L"Family A", L"X1"}));
            ASSERT_TRUE(writer.AddStrings(L"FAMILIES INDEX", {L"index", L"Family A"}));
        }
        ASSERT_TRUE(WriteFileBytes(DefPath() + L".old", "an older file"));
        boxes_.Clear();
        boxes_.SetAnswer(answer);
        Open();
        ASSERT_EQ(1u, boxes_.Boxes().size());
        EXPECT_EQ(vb::LoadResString(IDS_SYNCHRONIZE_DEVICES), boxes_.Boxes()[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), boxes_.Boxes()[0].flags);
        const bool yes = answer == IDYES;
        EXPECT_EQ(!yes, vb::test::FileExists(DefPath()));
        EXPECT_EQ(yes ? 1u : 0u, Query(L"SELECT * FROM DRIVER_MODELS WHERE NAME = 'MODEL X'").size());
        EXPECT_EQ(yes, ReadFileBytes(DefPath() + L".old") != "an older file");
    }
}

TEST_F(DeviceDatabaseTest, ListsShowTheDatabaseWithTheSavedTicks) {
    MakeControls();
    auto workspace = Open();
    Exec("INSERT INTO DRIVER_FAMILIES VALUES ('F1', 'Family one'), ('F2', 'Family two');"
         "INSERT INTO DRIVER_MODELS VALUES ('F1', 'M a', 'FAM A: A1\\r\\nFAM B: B''s', 2),"
         "('F1', 'M b', NULL, 1), ('F2', 'M c', '', 1);"
         "INSERT INTO SCRIPTS VALUES (5, 'zeta', ''), (3, 'Alpha', '')");

    vb::ComboBoxView combo(combo_);
    workspace->LoadFamilyList(combo, L"F2");
    EXPECT_EQ(L"F1 (Family one)", combo.GetText(0));
    EXPECT_EQ(1, combo.GetCurSel());
    workspace->LoadFamilyList(combo, L"F9 (New family)");
    EXPECT_EQ(3, combo.GetCount());
    EXPECT_EQ(L"F9 (New family)", combo.GetText(combo.GetCurSel()));

    vb::CheckListView models(models_);
    workspace->SetDriverName(L"F1 (Family one)");
    workspace->SaveSelection({L"M b"}, L"M b", TRUE);
    std::map<std::wstring, std::wstring> catalogs;
    workspace->LoadModelList(models, &catalogs);
    EXPECT_EQ((std::vector<std::wstring>{L"M a", L"M b [x] <selected>"}), Entries(models));
    EXPECT_EQ(L"FAM A: A1\r\nFAM B: B's", catalogs[L"M a"]);
    EXPECT_EQ(catalogs[L"M a"], workspace->GetModelCatalog(L"M a"));
    EXPECT_EQ(L"", workspace->GetModelCatalog(L"M c"));
    workspace->SetDriverName(L"F1");
    workspace->LoadModelList(models, nullptr);
    EXPECT_EQ(0, models.GetCount());

    // Nothing saved: everything ticked, the global script selected.
    vb::CheckListView scripts(scripts_);
    EXPECT_EQ(3, workspace->LoadScriptList(scripts));
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script [x] <selected>", L"Alpha [x] =3", L"zeta [x] =5"}),
              Entries(scripts));
    workspace->SaveSelection({L"zeta"}, L"zeta", FALSE);
    workspace->LoadScriptList(scripts);
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script", L"Alpha =3", L"zeta [x] <selected> =5"}), Entries(scripts));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
