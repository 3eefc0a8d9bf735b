// The engine object in a program folder of the test's own: configuration, selections, run log
// and the file helpers.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "HiddenLogPane.h"
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

TEST_F(WorkSpaceTest, EmptySettingsGetTheirDefaultsAndAreWrittenOnlyWhenChanged) {
    ASSERT_TRUE(WriteFileBytes(Ini(), ""));
    EXPECT_TRUE(Open()->SettingsDirty());
    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"HashCode", L"50656c6f6b"}, {L"PrnFolderRef", folder_.Path()}, {L"ModelName", L""}, {L"Output", L"FILE"}};
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

// The list form of short selections is proven through the main dialog.
TEST_F(WorkSpaceTest, ALongSelectionComesBackWholeAndNamesOnlyWholeEntries) {
    auto workspace = Open();
    std::vector<std::wstring> scripts;
    std::wstring list;
    for (int i = 0; i < 400; ++i) {
        scripts.push_back(L"Script number " + std::to_wstring(i));
        list += L"[SCRIPT NUMBER " + std::to_wstring(i) + L"]";
    }
    ASSERT_GT(list.size(), 4096u);
    workspace->SaveSelection(scripts, L"Script number 7", FALSE);
    EXPECT_EQ(list, workspace->GetSavedSelection(L"Scripts", FALSE));
    EXPECT_TRUE(CWorkSpace::IsInSelectionList(L"script number 7", list));
    EXPECT_FALSE(CWorkSpace::IsInSelectionList(L"Script number", list));
}

// A pane takes 30,000 characters unless told otherwise: a long run keeps its closing lines. The
// lines' form is compared in whole runs.
TEST_F(WorkSpaceTest, LogIsRefusedOutsideARunAndALongRunKeepsEveryLine) {
    auto workspace = Open();
    EXPECT_FALSE(workspace->Log(L"outside a run"));
    StartRun(*workspace);
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(workspace->Log(L"Processing script number " + std::to_wstring(i)));
    ASSERT_TRUE(workspace->Log(L"\r\nEnd processing..."));
    std::wstring text = PaneText();
    EXPECT_NE(std::wstring::npos, text.find(L"Processing script number 1999\r\n"));
    EXPECT_EQ(L"End processing...\r\n", text.substr(text.size() - 19));
}

// Found by fuzzing (the last three): the system finds a file for each, whose name ends the text
// as the exact test compares it.
TEST_F(WorkSpaceTest, FileTestsAreExactAndQuiet) {
    auto workspace = Open();
    StartRun(*workspace);
    ASSERT_TRUE(WriteFileBytes(folder_ / L"data.bin", "x"));
    EXPECT_TRUE(workspace->FileExists(folder_ / L"DATA.BIN"));
    const std::wstring nul(1, L'\0');
    for (const std::wstring& path : {folder_ / L"d*.bin", std::wstring(L"data.bin"), folder_ / L"missing\\data.bin",
                                     folder_ / L"\x01\x02|<>.bin", folder_ / L"*data.bin", folder_ / L"*.",
                                     folder_ / L"d*ta.bin" + nul + folder_ / L"data.bin"}) {
        EXPECT_FALSE(workspace->FileExists(path)) << vb::ToUtf8(path);
    }
    EXPECT_EQ(L"", PaneText());
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
    EXPECT_FALSE(workspace->ReadPrnSubFiles(folder_ / L"missing.txt", files));

    // A list written in the system code page is a list too.
    const std::wstring accented = folder_ / L"\u00e9tiquette page.bin";
    ASSERT_TRUE(WriteFileBytes(accented, "p"));
    ASSERT_NE(vb::ToUtf8(accented), vb::ToAnsi(accented));
    ASSERT_TRUE(WriteFileBytes(folder_ / L"ansi.txt", vb::ToAnsi(accented) + "\r\n"));
    files.clear();
    EXPECT_TRUE(workspace->ReadPrnSubFiles(folder_ / L"ansi.txt", files));
    EXPECT_EQ(std::vector<std::wstring>{accented}, files);

    // Printer data are no list, though a path be written in them: its file must not be taken.
    ASSERT_TRUE(WriteFileBytes(folder_ / L"print.txt", "DOC \"x\"\r\n" + vb::ToUtf8(folder_ / L"page1.txt")));
    files.clear();
    EXPECT_TRUE(workspace->ReadPrnSubFiles(folder_ / L"print.txt", files));
    EXPECT_TRUE(files.empty());
}

}  // namespace
