// The whole bench through its main dialog, as a tester goes through it: a snapshot Build, a
// comparison Build after the driver's output changed, the failed items in the result viewer, a
// Test run to a file port, and a waiting script stopped by Stop and by closing the dialog.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <regex>
#include <utility>

#include "../e2e/SampleScripts.h"
#include "MainDialogFixture.h"
#include "NotepadStubFolder.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "Strings.h"

namespace vb::test {
namespace {

constexpr wchar_t kVariantOn[] = L"Driver.SetParameter \"Variant\", \"1\"\r\n";
// Waits for Stop, at most ten seconds, so a stop that never comes fails the test instead of
// hanging it.
constexpr wchar_t kWaitingScript[] =
    L"Dim start\r\nstart = Timer\r\nDo Until Me.StopProcess\r\n    If Timer - start > 10 Then Exit Do\r\nLoop\r\n"
    L"If Me.StopProcess Then Me.Trace \"Stop seen\"";

// Calls `action` from the dialog's own handling of each `message` until it answers true: inside
// a run for the progress message, inside the viewer's modal loop for a timer of the dialog.
class WhenDialogGets {
public:
    WhenDialogGets(HWND dialog, UINT message, std::function<bool(WPARAM)> action)
        : dialog_(dialog), message_(message), action_(std::move(action)) {
        ::SetWindowSubclass(dialog_, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~WhenDialogGets() { ::RemoveWindowSubclass(dialog_, &Proc, 1); }
    WhenDialogGets(const WhenDialogGets&) = delete;
    WhenDialogGets& operator=(const WhenDialogGets&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<WhenDialogGets*>(data);
        if (message == self->message_ && self->action_ && self->action_(wParam)) self->action_ = {};
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    HWND dialog_;
    UINT message_;
    std::function<bool(WPARAM)> action_;
};

struct OwnedWindowSearch {
    HWND owner;
    int id;
    HWND found;
};

BOOL CALLBACK MatchOwnedWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedWindowSearch*>(data);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window) &&
        ::GetDlgItem(window, search->id)) {
        search->found = window;
    }
    return TRUE;
}

// The visible window that `owner` owns and that holds control `id`, or null.
HWND OwnedWindowWith(HWND owner, int id) {
    OwnedWindowSearch search{owner, id, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// "<OK> <Model> <Script>" for each row of a result list.
std::vector<std::wstring> ListRows(HWND list) {
    auto cell = [list](int row, int column) {
        wchar_t text[256] = L"";
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 256;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return std::wstring(text);
    };
    std::vector<std::wstring> rows;
    for (int row = 0; row < ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
        rows.push_back(cell(row, 0) + L" " + cell(row, 1) + L" " + cell(row, 2));
    }
    return rows;
}

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

    // As a click: a radio button gets its check, a button reaches the dialog's handler.
    void Click(int id) const { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void SelectScript(const std::wstring& name) const {
        vb::CheckListView list(Item(IDC_SCRIPT_LIST));
        list.SetCurSel(list.FindStringExact(name));
        ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_SCRIPT_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list.Handle()));
    }
    // A port that is a file, as a local port of the spooler may be.
    void ChoosePort(const std::wstring& path) const {
        HWND ports = Item(IDC_OUTPUT);
        ::SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
        ::SendMessageW(ports, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(path.c_str()));
        ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_OUTPUT, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(ports));
    }
    // The viewer's rows as it opened; it is closed as the Close box does.
    std::vector<std::wstring> ViewerRows() const {
        constexpr UINT_PTR kTimer = 77;
        std::vector<std::wstring> rows;
        {
            WhenDialogGets opened(dialog_->Handle(), WM_TIMER, [&](WPARAM timer) {
                HWND viewer = timer == kTimer ? OwnedWindowWith(dialog_->Handle(), IDC_RESULT_LIST) : nullptr;
                if (!viewer) return false;
                rows = ListRows(::GetDlgItem(viewer, IDC_RESULT_LIST));
                ::SendMessageW(viewer, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return true;
            });
            ::SetTimer(dialog_->Handle(), kTimer, 50, nullptr);
            Click(IDC_VIEW);
            ::KillTimer(dialog_->Handle(), kTimer);
        }
        return rows;
    }
    std::wstring Log() const { return WindowText(Item(IDC_INFO_LOG)); }
    bool Logged(const std::wstring& text) const { return Log().find(text) != std::wstring::npos; }
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

    MessageBoxCapture boxes_{IDYES};
    NotepadStubFolder notepad_;
};

TEST_F(WholeBenchTest, SnapshotComparisonViewTestStopAndClose) {
    // A snapshot of both scripts on both models, from the reference folder.
    Click(IDC_MODE_SNAPSHOT);
    vb::CheckListView(Item(IDC_MODEL_LIST)).SetCheck(1, true);
    Click(IDC_BUILD);
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

    // The viewer opens on the failed items only.
    EXPECT_EQ((std::vector<std::wstring>{L"0 M-100 Text (8)", L"0 M-200 Text (8)"}), ViewerRows());

    // A Test run of Text on the first highlighted model sends its job to the port.
    const std::wstring port = folder_ / L"port.prn";
    ChoosePort(port);
    Click(IDC_TEST);
    EXPECT_TRUE(Logged(L"Creating DC with model [M-100]."));
    EXPECT_EQ(variant, ReadFileBytes(port));
    EXPECT_TRUE(Logged(L"Sending data (" + std::to_wstring(variant.size()) + L" bytes) to [" + port + L"]..."));
    EXPECT_EQ(NotepadStubFolder::Expected(port), NotepadStubFolder::Record(port));

    // A new script that waits for Stop, tested: Stop ends it, and so does closing the dialog,
    // which stays open.
    Click(IDC_NEW_SCRIPT);
    dialog_->Editor()->SetText(kWaitingScript);
    const struct {
        const char* name;
        HWND target;
        UINT message;
    } stops[] = {{"Stop", Item(IDC_STOP), BM_CLICK}, {"close", dialog_->Handle(), WM_CLOSE}};
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.name);
        {
            // Posted: the script's Me.StopProcess lets the dialog take it.
            WhenDialogGets running(dialog_->Handle(), CWorkSpace::kProgressMessage, [&](WPARAM model) {
                return model && ::PostMessageW(stop.target, stop.message, 0, 0);
            });
            Click(IDC_TEST);
        }
        Pump();
        ASSERT_TRUE(::IsWindow(dialog_->Handle()));
        EXPECT_TRUE(Logged(L"   Stop seen\r\n"));
        EXPECT_TRUE(Logged(L"   Abort processing...\r\n"));
        EXPECT_TRUE(::IsWindowEnabled(Item(IDC_BUILD)));
    }

    EXPECT_EQ(compared, Stored());
    const std::wstring build = L"Many data for [F1 (Family one)] are about to be updated in database.\nAre you sure?";
    auto saving = [](const std::wstring& name) {
        return L"The script [" + name + L"] has been modified.\r\nDo you want to save it?";
    };
    std::vector<std::wstring> asked;
    for (const CapturedBox& box : boxes_.Boxes()) asked.push_back(box.text);
    EXPECT_EQ((std::vector<std::wstring>{build, saving(L"Text"), build, saving(L"New script ID(9)")}), asked);
}

}  // namespace
}  // namespace vb::test
