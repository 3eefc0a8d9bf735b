// The engine object in a program folder of the test's own: configuration, selections, run log,
// hook notifications and the file helpers.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "HiddenLogPane.h"
#include "HookLibrary.h"
#include "NotifyWindow.h"
#include "Resources.h"
#include "Strings.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace {

using vb::test::ReadFileBytes;
using vb::test::WriteFileBytes;

class WorkSpaceTest : public ::testing::Test {
protected:
    std::wstring ProgramFile() const { return folder_ / L"Vellbrook.exe"; }
    std::wstring Ini() const { return folder_ / L"Vellbrook.ini"; }
    std::unique_ptr<CWorkSpace> Open() { return std::make_unique<CWorkSpace>(ProgramFile()); }
    std::wstring IniValue(const wchar_t* section, const wchar_t* key) const {
        wchar_t value[256] = {};
        ::GetPrivateProfileStringW(section, key, L"<missing>", value, 256, Ini().c_str());
        return value;
    }

    void StartRun(CWorkSpace& workspace) { workspace.SetLogWindow(pane_.Edit()); }
    std::wstring PaneText() const { return pane_.Text(); }

    vb::test::TempFolder folder_;
    vb::MessageBoxCapture boxes_;
    vb::test::HiddenLogPane pane_;
};

TEST_F(WorkSpaceTest, EmptySettingsGetEveryDefaultAndAreWrittenOnceAtTheEnd) {
    ASSERT_TRUE(WriteFileBytes(Ini(), ""));
    {
        auto workspace = Open();
        EXPECT_EQ(1, workspace->Version());
        EXPECT_EQ(L"50656c6f6b", workspace->HashCode());
        EXPECT_EQ(folder_.Path(), workspace->PrnFolder());
        EXPECT_EQ(folder_.Path(), workspace->PrnFolderRef());
        EXPECT_EQ(L"FILE", workspace->Output());
        EXPECT_TRUE(workspace->SettingsDirty());
    }
    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"Version", L"1"},       {L"HashCode", L"50656c6f6b"}, {L"PrnFolder", folder_.Path()},
        {L"PrnFolderRef", folder_.Path()}, {L"DriverName", L""}, {L"ModelName", L""},
        {L"ScriptName", L""},     {L"Output", L"FILE"}};
    for (const auto& [key, value] : expected) EXPECT_EQ(value, IniValue(L"GENERAL", key)) << key;

    // Nothing changed in a second life: the file keeps its bytes.
    std::string before = ReadFileBytes(Ini());
    {
        auto workspace = Open();
        EXPECT_FALSE(workspace->SettingsDirty());
        workspace->SetPrnFolder(folder_.Path().substr(0, folder_.Path().size() - 1));  // the same, without '\'
        workspace->SetOutput(L"FILE");
        EXPECT_FALSE(workspace->SettingsDirty());
    }
    EXPECT_EQ(before, ReadFileBytes(Ini()));
}

TEST_F(WorkSpaceTest, OddValuesAreReadSafely) {
    std::string longModel(6000, 'M');
    ASSERT_TRUE(WriteFileBytes(Ini(), "[GENERAL]\r\nVersion=abc\r\nPrnFolder=D:\\builds\r\nPrnFolderRef=\r\nModelName=" +
                                          longModel + "\r\n"));
    auto workspace = Open();
    EXPECT_EQ(1, workspace->Version());
    EXPECT_EQ(L"D:\\builds\\", workspace->PrnFolder());
    EXPECT_EQ(L"", workspace->PrnFolderRef());
    EXPECT_EQ(longModel.size(), workspace->ModelName().size());
}

TEST_F(WorkSpaceTest, SelectionsRoundTripInTheirListForm) {
    auto workspace = Open();
    workspace->SetDriverName(L"AB (Family name)");
    workspace->SaveSelection({L"Model a", L"Model B"}, L"Model B", TRUE);
    EXPECT_EQ(L"[MODEL A][MODEL B]", IniValue(L"DRIVERS", L"AB"));
    EXPECT_EQ(L"Model B", workspace->ModelName());
    std::wstring saved = workspace->GetSavedSelection(L"AB", TRUE);
    EXPECT_TRUE(CWorkSpace::IsInSelectionList(L"model a", saved));
    EXPECT_FALSE(CWorkSpace::IsInSelectionList(L"Model", saved));
    EXPECT_FALSE(CWorkSpace::IsInSelectionList(L"", saved));
    EXPECT_EQ(L"", CWorkSpace::FamilyKey(L"AB Family"));

    // A long selection comes back whole.
    std::vector<std::wstring> scripts;
    std::wstring list;
    for (int i = 0; i < 400; ++i) {
        scripts.push_back(L"Script number " + std::to_wstring(i));
        list += L"[SCRIPT NUMBER " + std::to_wstring(i) + L"]";
    }
    ASSERT_GT(list.size(), 4096u);
    workspace->SaveSelection(scripts, L"Script number 7", FALSE);
    EXPECT_EQ(list, workspace->GetSavedSelection(L"Scripts", FALSE));
    EXPECT_EQ(L"", workspace->GetSavedSelection(L"", FALSE));
}

// A pane takes 30,000 characters unless told otherwise: a long run keeps its closing lines.
TEST_F(WorkSpaceTest, LogLinesCarryTheTimeAndALongRunKeepsEveryLine) {
    auto workspace = Open();
    EXPECT_FALSE(workspace->Log(L"outside a run"));
    StartRun(*workspace);
    EXPECT_TRUE(workspace->Log(L"100% done"));
    EXPECT_TRUE(workspace->Log(L"\r\nEnd processing..."));
    EXPECT_TRUE(workspace->LogError(L"5: Access is denied."));
    std::wregex expected(
        L"\\d\\d:\\d\\d:\\d\\d   100% done\r\n\r\n\\d\\d:\\d\\d:\\d\\d   End processing...\r\n"
        L"\r\n\\d\\d:\\d\\d:\\d\\d   # ERROR '5: Access is denied.'\r\n");
    EXPECT_TRUE(std::regex_match(PaneText(), expected)) << PaneText();

    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(workspace->Log(L"Processing script number " + std::to_wstring(i)));
    ASSERT_TRUE(workspace->Log(L"\r\nEnd processing..."));
    std::wstring text = PaneText();
    EXPECT_NE(std::wstring::npos, text.find(L"Processing script number 1999\r\n"));
    EXPECT_EQ(L"End processing...\r\n", text.substr(text.size() - 19));
}

// The hook library watches the files this program creates and reports them to a window, whose
// handler passes them to the workspace: each logged, and listed once, but for the print file,
// which is stored under its own key.
TEST_F(WorkSpaceTest, HookNotificationsAreLoggedAndCreatedFilesListed) {
    auto workspace = Open();
    StartRun(*workspace);
    vb::test::NotifyWindow window;
    window.onNotify = [&](WPARAM code) { workspace->OnHookNotify(code, 0); };
    ASSERT_GE(LatchwireStart(window.Get(), L"", (vb::test::BinDir() + L"engine_tests.exe").c_str(), 0), 0);
    std::wstring created = folder_ / L"a%d.bin";
    ASSERT_TRUE(CWorkSpace::EnsureFolderPath(workspace->PrintFilePath()));
    for (const std::wstring& path : {created, created, workspace->PrintFilePath()}) {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        ::CloseHandle(file);
    }
    LatchwireStop();

    ASSERT_EQ(std::vector<std::wstring>{created}, workspace->HookedFiles());
    EXPECT_NE(std::wstring::npos, PaneText().find(L">> CreateFile: '" + created + L"'.\r\n"));
    EXPECT_TRUE(workspace->OnHookNotify(kLatchwireInfo, 0));
    std::wstring before = PaneText();
    EXPECT_FALSE(workspace->OnHookNotify(7, 0));  // no code of the library's: not logged
    EXPECT_EQ(before, PaneText());
}

TEST_F(WorkSpaceTest, FileTestsAreExactAndQuiet) {
    auto workspace = Open();
    StartRun(*workspace);
    ASSERT_TRUE(WriteFileBytes(folder_ / L"data.bin", "x"));
    EXPECT_TRUE(workspace->FileExists(folder_ / L"DATA.BIN"));
    EXPECT_FALSE(workspace->FileExists(folder_ / L"d*.bin"));
    EXPECT_FALSE(workspace->FileExists(L"data.bin"));
    EXPECT_FALSE(workspace->FileExists(folder_ / L"missing\\data.bin"));
    EXPECT_FALSE(workspace->FileExists(folder_ / L"\x01\x02|<>.bin"));
    EXPECT_EQ(L"", PaneText());
}

// Found by fuzzing: the system finds a file for each, whose name ends the text as the exact
// test compares it.
TEST_F(WorkSpaceTest, PathsTheSystemReadsOtherwiseAreNoFile) {
    auto workspace = Open();
    ASSERT_TRUE(WriteFileBytes(folder_ / L"data.bin", "x"));
    EXPECT_FALSE(workspace->FileExists(folder_ / L"*data.bin"));
    EXPECT_FALSE(workspace->FileExists(folder_ / L"*."));
    EXPECT_FALSE(workspace->FileExists(folder_ / L"d*ta.bin" + std::wstring(1, L'\0') + folder_ / L"data.bin"));
}

// A tester's file where a folder belongs is kept: the path fails instead.
TEST_F(WorkSpaceTest, FolderPathIsMadeButNeverReplacesAFile) {
    EXPECT_TRUE(CWorkSpace::EnsureFolderPath(folder_ / L"a\\b\\print.txt"));
    DWORD attributes = ::GetFileAttributesW((folder_ / L"a\\b").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(vb::test::FileExists(folder_ / L"a\\b\\print.txt"));
    ASSERT_TRUE(WriteFileBytes(folder_ / L"c", "in the way"));
    EXPECT_FALSE(CWorkSpace::EnsureFolderPath(folder_ / L"c\\d\\print.txt"));
    EXPECT_EQ("in the way", vb::test::ReadFileBytes(folder_ / L"c"));
    EXPECT_FALSE(CWorkSpace::EnsureFolderPath(L""));
}

TEST_F(WorkSpaceTest, PrintFileListsItsSubFiles) {
    auto workspace = Open();
    StartRun(*workspace);
    for (const wchar_t* name : {L"page1.txt", L"page2.txt", L"font.ttf"}) ASSERT_TRUE(WriteFileBytes(folder_ / name, "p"));
    std::string list = vb::ToUtf8(folder_ / L"page1.txt") + "  \r\n" + vb::ToUtf8(folder_ / L"font.ttf") + "\r\n" +
                       vb::ToUtf8(folder_ / L"page1.txt") + "\r\nnot a file\r\n" + vb::ToUtf8(folder_ / L"page2.txt");
    ASSERT_TRUE(WriteFileBytes(folder_ / L"list.txt", list));
    std::vector<std::wstring> files;
    EXPECT_TRUE(workspace->ReadPrnSubFiles(folder_ / L"list.txt", files));
    EXPECT_EQ((std::vector<std::wstring>{folder_ / L"page1.txt", folder_ / L"page2.txt"}), files);
    EXPECT_NE(std::wstring::npos, PaneText().find(L"\x25B2 Invalid PRN sub file [not a file].\r\n"));

    // Printer data are no list.
    ASSERT_TRUE(WriteFileBytes(folder_ / L"print.txt", "DOC \"x\"\r\n" + vb::ToUtf8(folder_ / L"page1.txt")));
    files.clear();
    EXPECT_TRUE(workspace->ReadPrnSubFiles(folder_ / L"print.txt", files));
    EXPECT_TRUE(files.empty());
    EXPECT_FALSE(workspace->ReadPrnSubFiles(folder_ / L"missing.txt", files));
}

}  // namespace
