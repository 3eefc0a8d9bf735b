// The whole bench through its main dialog, as a tester goes through it: a snapshot Build, a
// comparison Build after the driver's output changed, the failed items in the result viewer and
// a Test run to a file port. Stopping a run is MainDialogTest's.
#include <windows.h>
#include <commctrl.h>

#include <regex>

#include "../e2e/SampleScripts.h"
#include "MainDialogFixture.h"
#include "NotepadStubFolder.h"
#include "Strings.h"

namespace vb::test {
namespace {

constexpr wchar_t kVariantOn[] = L"Driver.SetParameter \"Variant\", \"1\"\r\n";

using StoredRows = std::vector<std::vector<std::string>>;

// The family's driver in the reference folder too, and the fixture's script replaced by two
// that print what the sample driver's golden files hold.
class WholeBenchTest : public MainDialogTest {
protected:
    void SetUp() override {
        const std::wstring reference = folder_ / L"Reference\\";
        ::CreateDirectoryW(reference.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW((BinDir() + L"sample_driver.dll").c_str(), (reference + L"F1.prn").c_str(), FALSE));
        ::WritePrivateProfileStringW(L"GENERAL", L"PrnFolderRef", reference.c_str(), Ini().c_str());
        MainDialogTest::SetUp();
        if (HasFatalFailure()) return;
        boxes_.SetAnswer(IDYES);
        const struct {
            int key;
            const wchar_t* name;
            const wchar_t* text;
        } scripts[] = {{7, L"Shapes", kShapesScript}, {8, L"Text", kTextScript}};
        for (const auto& script : scripts) {
            CScriptItem item(script.key);
            item.NAME = script.name;
            item.DATA = script.text;
            ASSERT_TRUE(dialog_->WorkSpace().SaveScript(item, 1));
        }
        dialog_->WorkSpace().LoadScriptList(vb::CheckListView(Item(IDC_SCRIPT_LIST)));
        SelectScript(L"#Global_Script");
    }

    // A port that is a file, as a local port of the spooler may be.
    void ChoosePort(const std::wstring& path) const {
        HWND ports = Item(IDC_OUTPUT);
        ::SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
        ::SendMessageW(ports, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(path.c_str()));
        ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_OUTPUT, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(ports));
    }
    // How many rows the viewer listed as it opened (which rows, the viewer's own tests say); it is
    // closed as the Close box does.
    LRESULT ViewerRows() const {
        constexpr UINT_PTR kTimer = 77;
        LRESULT rows = -1;
        {
            WhenDialogGets opened(dialog_->Handle(), WM_TIMER, [&](WPARAM timer) {
                // The viewer's template keeps the default caption.
                HWND viewer = timer == kTimer ? ::FindWindowW(L"#32770", L"Dialog") : nullptr;
                if (!viewer || ::GetWindow(viewer, GW_OWNER) != dialog_->Handle()) return false;
                rows = ::SendDlgItemMessageW(viewer, IDC_RESULT_LIST, LVM_GETITEMCOUNT, 0, 0);
                ::SendMessageW(viewer, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return true;
            });
            ::SetTimer(dialog_->Handle(), kTimer, 50, nullptr);
            Click(IDC_VIEW);
            ::KillTimer(dialog_->Handle(), kTimer);
        }
        return rows;
    }
    std::wstring MaskedLog() const {
        const std::wstring text = vb::ReplaceAll(Log(), folder_.Path(), L"<program>\\");
        return std::regex_replace(text, std::wregex(L"\\d\\d:\\d\\d:\\d\\d   "), L"hh:mm:ss   ");
    }
    // NAME, KEY, REF_DATA and CMP_DATA decoded, SUCCESS.
    StoredRows Stored() const {
        StoredRows rows;
        const Rows raw = QueryRaw(folder_ / L"Data\\F1.mdb", L"SELECT NAME, KEY, REF_DATA, CMP_DATA, SUCCESS FROM "
                                                             L"OUTPUT ORDER BY NAME, KEY, KEY_SUB");
        for (const auto& row : raw) {
            rows.push_back({ToUtf8(row[0]), ToUtf8(row[1]), DecodedColumn(row[2]), DecodedColumn(row[3]), ToUtf8(row[4])});
        }
        return rows;
    }

    NotepadStubFolder notepad_;
};

TEST_F(WholeBenchTest, SnapshotComparisonViewAndTest) {
    // A snapshot of both scripts on both models, from the reference folder.
    Click(IDC_MODE_SNAPSHOT);
    EXPECT_EQ(folder_ / L"Reference\\", WindowText(Item(IDC_PRN_FOLDER)));
    vb::CheckListView(Item(IDC_MODEL_LIST)).SetCheck(1, true);
    Click(IDC_BUILD);
    // Each model done stays highlighted; the script row selected before the run is selected again.
    EXPECT_EQ((std::vector<std::wstring>{L"M-100 [x] <selected>", L"M-200 [x] <selected>"}), Entries(IDC_MODEL_LIST));
    EXPECT_EQ(L"#Global_Script [x] <selected>", Entries(IDC_SCRIPT_LIST).at(0));
    EXPECT_EQ(ReadFileBytes(BinDir() + L"app_expected\\snapshot_build.log"), vb::ToUtf8(MaskedLog()));
    const std::string shapes = ReadFileBytes(BinDir() + L"golden\\" + kShapesGolden);
    const std::string text = ReadFileBytes(BinDir() + L"golden\\" + kTextGolden);
    ASSERT_FALSE(shapes.empty());
    EXPECT_EQ((StoredRows{{"M-100", "7", shapes, "<null>", "0"},
                          {"M-100", "8", text, "<null>", "0"},
                          {"M-200", "7", shapes, "<null>", "0"},
                          {"M-200", "8", text, "<null>", "0"}}),
              Stored());

    // The driver's output switch on in Text, saved when Build asks: only Text fails.
    SelectScript(L"Text");
    dialog_->Editor()->SetText(kVariantOn + std::wstring(kTextScript));
    Click(IDC_MODE_COMPARE);
    Click(IDC_BUILD);
    EXPECT_TRUE(Logged(L"Loading driver [" + (folder_ / L"F1.prn]")));
    std::string variant = text;
    variant.insert(variant.find("\r\n", variant.find("SETUP")) + 2, "VARIANT \"1\"\r\n");
    const StoredRows compared = Stored();
    EXPECT_EQ((StoredRows{{"M-100", "7", shapes, shapes, "-1"},
                          {"M-100", "8", text, variant, "0"},
                          {"M-200", "7", shapes, shapes, "-1"},
                          {"M-200", "8", text, variant, "0"}}),
              compared);

    // The viewer opens on the two failed items only.
    EXPECT_EQ(2, ViewerRows());

    // A Test run of Text sends its job to the port.
    const std::wstring port = folder_ / L"port.prn";
    ChoosePort(port);
    Click(IDC_TEST);
    EXPECT_EQ(variant, ReadFileBytes(port));
    EXPECT_TRUE(Logged(L"Sending data (" + std::to_wstring(variant.size()) + L" bytes) to [" + port + L"]..."));
    EXPECT_EQ(NotepadStubFolder::Expected(port), NotepadStubFolder::Record(port));

    EXPECT_EQ(compared, Stored());
    // Each Build asks its question, after the changed script's save question; the Test run asks nothing.
    const std::wstring build = L"Many data for [F1 (Family one)] are about to be updated in database.\nAre you sure?";
    const std::wstring save = L"The script [Text] has been modified.\r\nDo you want to save it?";
    EXPECT_EQ((std::vector<std::wstring>{build, save, build}), BoxTexts());
}

}  // namespace
}  // namespace vb::test
