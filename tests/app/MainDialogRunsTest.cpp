// The main dialog's handlers: the questions before a run, what a run takes, the dialog while a
// run goes on, deleting scripts, changing the family and devices coming and going.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <functional>
#include <set>
#include <utility>

#include "GlobalScript.h"
#include "MainDialogFixture.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "ScriptEditor.h"

namespace vb::test {
namespace {

constexpr wchar_t kModified[] = L"The script [#Global_Script] has been modified.\r\nDo you want to save it?";
constexpr wchar_t kSaveFirst[] = L"You must save the current script,\nbefore launching the batch process.";
constexpr wchar_t kBuildQuestion[] =
    L"Many data for [F1 (Family one)] are about to be updated in database.\nAre you sure?";

// `action` runs in the dialog's handler of a run's first model progress message, inside the run.
class DuringRun {
public:
    DuringRun(HWND dialog, std::function<void()> action) : dialog_(dialog), action_(std::move(action)) {
        ::SetWindowSubclass(dialog_, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~DuringRun() { ::RemoveWindowSubclass(dialog_, &Proc, 1); }
    DuringRun(const DuringRun&) = delete;
    DuringRun& operator=(const DuringRun&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<DuringRun*>(data);
        if (message == CWorkSpace::kProgressMessage && wParam && self->action_) std::exchange(self->action_, {})();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    HWND dialog_;
    std::function<void()> action_;
};

class MainDialogRunsTest : public MainDialogTest {
protected:
    void Click(int id) const {
        ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    void SelectScript(int row) const {
        vb::CheckListView(Item(IDC_SCRIPT_LIST)).SetCurSel(row);
        ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_SCRIPT_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(Item(IDC_SCRIPT_LIST)));
    }
    std::wstring Log() const { return WindowText(Item(IDC_INFO_LOG)); }
    bool Logged(const std::wstring& text) const { return Log().find(text) != std::wstring::npos; }
    std::vector<std::wstring> BoxTexts() const {
        std::vector<std::wstring> texts;
        for (const CapturedBox& box : boxes_.Boxes()) texts.push_back(box.text);
        return texts;
    }
    std::set<int> EnabledControls() const {
        std::set<int> ids;
        for (HWND child = ::GetWindow(dialog_->Handle(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::IsWindowEnabled(child)) ids.insert(::GetDlgCtrlID(child));
        }
        return ids;
    }

    MessageBoxCapture boxes_{IDNO};
};

TEST_F(MainDialogRunsTest, TestRunsAskNothingAndBuildRunsAskFirstAfterTheSaveCheck) {
    const struct {
        int button;
        bool edited;
        std::vector<std::wstring> boxes;  // answered No
        bool runs;
    } cases[] = {
        {IDC_TEST, false, {}, true},
        {IDC_BUILD, false, {kBuildQuestion}, false},
        {IDC_TEST, true, {kModified, kSaveFirst}, false},
        {IDC_BUILD, true, {kModified, kSaveFirst}, false},
    };
    const std::wstring stored = dialog_->CurrentScript().DATA;
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.button << (test.edited ? " edited" : ""));
        const std::wstring text = test.edited ? L"' changed" : stored;
        dialog_->Editor()->SetText(text);
        ::SetWindowTextW(Item(IDC_INFO_LOG), L"");
        boxes_.Clear();
        Click(test.button);
        EXPECT_EQ(test.boxes, BoxTexts());
        EXPECT_EQ(test.runs, Logged(L"Start processing..."));
        EXPECT_EQ(text, dialog_->Editor()->GetText());
    }
    EXPECT_EQ(stored, dialog_->CurrentScript().DATA);
}

TEST_F(MainDialogRunsTest, TestRunTakesTheHighlightedElseTheFirstTickedElseTheFirstModel) {
    const struct {
        std::vector<int> ticked;
        int highlighted;
        const wchar_t* model;
    } cases[] = {
        {{}, -1, L"M-100"},
        {{1}, -1, L"M-200"},
        {{0}, 1, L"M-200"},
    };
    vb::CheckListView models(Item(IDC_MODEL_LIST));
    for (const auto& test : cases) {
        SCOPED_TRACE(test.model);
        ::SendMessageW(models.Handle(), LB_SETSEL, FALSE, -1);
        for (int row = 0; row < models.GetCount(); ++row) models.SetCheck(row, false);
        for (int row : test.ticked) models.SetCheck(row, true);
        if (test.highlighted >= 0) ::SendMessageW(models.Handle(), LB_SETSEL, TRUE, test.highlighted);
        Click(IDC_TEST);
        EXPECT_TRUE(Logged(std::wstring(L"Creating DC with model [") + test.model + L"]."));
        EXPECT_EQ(Log().find(L"Creating DC"), Log().rfind(L"Creating DC"));
        EXPECT_TRUE(Logged(L"End processing..."));
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainDialogRunsTest, BuildWithOnlyTheGlobalScriptTickedIsRefusedInTheLog) {
    vb::CheckListView(Item(IDC_SCRIPT_LIST)).SetCheck(1, false);
    boxes_.SetAnswer(IDYES);
    Click(IDC_BUILD);
    EXPECT_EQ(std::vector<std::wstring>{kBuildQuestion}, BoxTexts());
    EXPECT_TRUE(Logged(L"# ERROR 'You must select at least one driver model and also\r\n"));
    EXPECT_FALSE(Logged(L"Creating DC"));
}

TEST_F(MainDialogRunsTest, OnlyTheListsTheLogAndStopAreEnabledDuringARun) {
    std::set<int> during;
    {
        DuringRun run(dialog_->Handle(), [&] { during = EnabledControls(); });
        Click(IDC_TEST);
    }
    EXPECT_EQ((std::set<int>{IDC_MODEL_LIST, IDC_SCRIPT_LIST, IDC_INFO_LOG, IDC_STOP}), during);
    const std::set<int> after = EnabledControls();
    EXPECT_FALSE(after.count(IDC_STOP));
    EXPECT_TRUE(after.count(IDC_EDITOR) && after.count(IDC_FAMILY) && after.count(IDC_BUILD));
}

// Stop and close only set the stop flag, however often; a device change leaves the run alone.
TEST_F(MainDialogRunsTest, StopOrCloseDuringARunAbortsItAndTheDialogStaysOpen) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        int times;
        const wchar_t* ending;
    } cases[] = {
        {"close", WM_CLOSE, 0, 1, L"Abort processing..."},
        {"close twice", WM_CLOSE, 0, 2, L"Abort processing..."},
        {"stop twice", WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 2, L"Abort processing..."},
        {"device change", WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 1, L"End processing..."},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        {
            DuringRun run(dialog_->Handle(), [&] {
                for (int i = 0; i < test.times; ++i) ::SendMessageW(dialog_->Handle(), test.message, test.wParam, 0);
            });
            Click(IDC_TEST);
        }
        Pump();
        ASSERT_TRUE(::IsWindow(dialog_->Handle()));
        EXPECT_TRUE(Logged(test.ending));
        EXPECT_FALSE(::SendMessageW(Item(IDC_OUTPUT), CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_TRUE(::IsWindowEnabled(Item(IDC_TEST)));
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainDialogRunsTest, DeletingTheFirstRowSelectsTheFirstRemainingScript) {
    ASSERT_EQ("", ExecRaw(Database(), "INSERT INTO SCRIPTS VALUES (3, '!Draft', 'Me.Trace 1');"));
    dialog_->WorkSpace().LoadScriptList(vb::CheckListView(Item(IDC_SCRIPT_LIST)));
    SelectScript(0);
    ASSERT_EQ(3, dialog_->CurrentScript().KEY);
    boxes_.SetAnswer(IDYES);
    Click(IDC_DELETE_SCRIPT);
    EXPECT_EQ(std::vector<std::wstring>{L"The script [!Draft] is about to be deleted.\r\nAre you sure?"}, BoxTexts());
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script [x] <selected>", L"Labels [x]"}), Entries(IDC_SCRIPT_LIST));
    EXPECT_EQ(0, dialog_->CurrentScript().KEY);
    EXPECT_EQ(dialog_->CurrentScript().DATA, dialog_->Editor()->GetText());
    EXPECT_EQ(L"#Global_Script", WindowText(Item(IDC_SCRIPT_NAME)));
    EXPECT_TRUE(QueryRaw(Database(), L"SELECT NAME FROM SCRIPTS WHERE KEY = 3").empty());
}

TEST_F(MainDialogRunsTest, DeletingTheGlobalScriptAsksAndOnlyResetsTheEditor) {
    std::wstring reset;
    BuildGlobalScript(reset);
    const Rows stored = QueryRaw(Database(), L"SELECT DATA FROM SCRIPTS WHERE KEY = 0");
    const struct {
        int answer;
        std::wstring text;
    } cases[] = {{IDNO, L"' mine"}, {IDYES, reset}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.answer);
        dialog_->Editor()->SetText(L"' mine");
        boxes_.Clear();
        boxes_.SetAnswer(test.answer);
        Click(IDC_DELETE_SCRIPT);
        EXPECT_EQ(std::vector<std::wstring>{L"The script [#Global_Script] is about to be resetted.\r\nAre you sure?"},
                  BoxTexts());
        EXPECT_EQ(test.text, dialog_->Editor()->GetText());
        EXPECT_EQ(2, vb::CheckListView(Item(IDC_SCRIPT_LIST)).GetCount());
        EXPECT_TRUE(::GetWindowLongW(Item(IDC_SCRIPT_NAME), GWL_STYLE) & ES_READONLY);
    }
    EXPECT_EQ(stored, QueryRaw(Database(), L"SELECT DATA FROM SCRIPTS WHERE KEY = 0"));
    // Any other script's name can be changed.
    SelectScript(1);
    EXPECT_FALSE(::GetWindowLongW(Item(IDC_SCRIPT_NAME), GWL_STYLE) & ES_READONLY);
}

TEST_F(MainDialogRunsTest, ChangingTheFamilySavesTheTicksOfTheFamilyLeft) {
    vb::CheckListView(Item(IDC_MODEL_LIST)).SetCheck(1, true);
    ::SendMessageW(Item(IDC_FAMILY), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"F2"));
    ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_FAMILY, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(IDC_FAMILY)));
    EXPECT_EQ(L"[M-100][M-200]", Read(L"DRIVERS", L"F1"));
    EXPECT_EQ(std::vector<std::wstring>{L"X-1 [x]"}, Entries(IDC_MODEL_LIST));
    EXPECT_EQ(L"F2 (Family two)", dialog_->WorkSpace().DriverName());
}

TEST_F(MainDialogRunsTest, DeviceChangeDropsThePortListDownWhenItsLengthChanged) {
    const struct {
        WPARAM event;
        bool portGone;
        bool dropped;
    } cases[] = {
        {DBT_DEVNODES_CHANGED, true, true},
        {DBT_DEVNODES_CHANGED, false, false},
        {DBT_DEVICEARRIVAL, true, false},
    };
    HWND ports = Item(IDC_OUTPUT);
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.event << (test.portGone ? " port gone" : ""));
        dialog_->WorkSpace().FillPortList(ports);
        if (test.portGone) ::SendMessageW(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"USB099 Unplugged"));
        ::SendMessageW(dialog_->Handle(), WM_DEVICECHANGE, test.event, 0);
        EXPECT_EQ(test.dropped, ::SendMessageW(ports, CB_GETDROPPEDSTATE, 0, 0) != FALSE);
        ::SendMessageW(ports, CB_SHOWDROPDOWN, FALSE, 0);
    }
}

}  // namespace
}  // namespace vb::test
