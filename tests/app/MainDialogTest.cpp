// The main dialog as it opens and closes, and its handlers: the questions before a run, what a
// run takes, the dialog while a run goes on, resetting the global script and changing the family.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <functional>
#include <set>

#include "GlobalScript.h"
#include "MainDialogFixture.h"
#include "ScriptEditor.h"

namespace vb::test {
namespace {

constexpr wchar_t kModified[] = L"The script [#Global_Script] has been modified.\r\nDo you want to save it?";
constexpr wchar_t kSaveFirst[] = L"You must save the current script,\nbefore launching the batch process.";
constexpr wchar_t kBuildQuestion[] =
    L"Many data for [F1 (Family one)] are about to be updated in database.\nAre you sure?";

// `action` runs in the dialog's handler of a run's first model progress message, inside the run.
WhenDialogGets DuringRun(HWND dialog, std::function<void()> action) {
    return {dialog, CWorkSpace::kProgressMessage, [action](WPARAM model) { return model && (action(), true); }};
}

std::set<int> EnabledControls(HWND dialog) {
    std::set<int> ids;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowEnabled(child)) ids.insert(::GetDlgCtrlID(child));
    }
    return ids;
}

TEST_F(MainDialogTest, OpensOnTheSavedFamilyAndTheGlobalScriptInAnEditorOverThePlaceholder) {
    EXPECT_EQ(folder_.Path(), WindowText(Item(IDC_PRN_FOLDER)));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog_->Handle(), IDC_MODE_COMPARE));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_STOP)));
    EXPECT_EQ(L"F1 (Family one)", WindowText(Item(IDC_FAMILY)));
    // The current model is highlighted, with the caret, though another one is ticked.
    EXPECT_EQ((std::vector<std::wstring>{L"M-100 [x]", L"M-200 <selected>"}), Entries(IDC_MODEL_LIST));
    EXPECT_EQ(1, ::SendMessageW(Item(IDC_MODEL_LIST), LB_GETCARETINDEX, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script [x] <selected>", L"Labels [x]"}), Entries(IDC_SCRIPT_LIST));
    EXPECT_EQ(0, dialog_->CurrentScript().KEY);
    EXPECT_EQ(L"#Global_Script", WindowText(Item(IDC_SCRIPT_NAME)));
    EXPECT_TRUE(::GetWindowLongW(Item(IDC_SCRIPT_NAME), GWL_STYLE) & ES_READONLY);
    ASSERT_TRUE(dialog_->Editor());
    EXPECT_FALSE(dialog_->CurrentScript().DATA.empty());
    EXPECT_EQ(dialog_->CurrentScript().DATA, dialog_->Editor()->GetText());
    RECT expected{254, 27, 254 + 592, 27 + 318};
    ::MapDialogRect(dialog_->Handle(), &expected);
    RECT actual{};
    ::GetWindowRect(dialog_->Editor()->Handle(), &actual);
    ::MapWindowPoints(nullptr, dialog_->Handle(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_TRUE(::EqualRect(&expected, &actual));
}

TEST_F(MainDialogTest, EnterDoesNotCloseTheDialog) {
    HWND name = Item(IDC_SCRIPT_NAME);
    ::SetFocus(name);
    ::PostMessageW(name, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(::IsWindow(dialog_->Handle()));
}

TEST_F(MainDialogTest, ClosingSavesTheSelectionsAndChangedScript) {
    SelectScript(L"Labels");
    ASSERT_EQ(7, dialog_->CurrentScript().KEY);
    ASSERT_TRUE(dialog_->Editor());
    vb::CheckListView(Item(IDC_SCRIPT_LIST)).SetCheck(0, false);
    dialog_->Editor()->SetText(L"Sub Main\r\n  Me.Trace \"x\"\r\nEnd Sub");
    boxes_.SetAnswer(IDYES);
    ::SendMessageW(dialog_->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(::IsWindow(dialog_->Handle()));
    EXPECT_EQ(std::vector<std::wstring>{L"The script [Labels] has been modified.\r\nDo you want to save it?"},
              BoxTexts());
    dialog_.reset();
    EXPECT_EQ(L"[LABELS]", Read(L"GENERAL", L"Scripts"));
    EXPECT_EQ(L"Labels", Read(L"GENERAL", L"ScriptName"));
    CWorkSpace reopened(ProgramFile());
    CScriptItem stored(7);
    ASSERT_TRUE(reopened.LoadScript(stored));
    EXPECT_EQ(L"Sub Main\r\n  Me.Trace \"x\"\r\nEnd Sub", stored.DATA);
}

// A save refused for want of a name says so; the tester goes back to the edit (nothing happens,
// the editor keeps it) or discards it. The stored script and its row keep their name.
TEST_F(MainDialogTest, AnEditThatCannotBeSavedIsKeptOrDiscardedOnlyAsTheTesterChooses) {
    enum class Leave { kOtherScript, kNewScript, kClose };
    const struct {
        Leave leave;
        int answer;  // to the second box: Yes goes back to the edit
        int currentKey;
    } cases[] = {
        {Leave::kOtherScript, IDYES, 7}, {Leave::kOtherScript, IDNO, 0}, {Leave::kNewScript, IDYES, 7},
        {Leave::kNewScript, IDNO, 8},    {Leave::kClose, IDYES, 7},      {Leave::kClose, IDNO, -1},
    };
    const Rows stored = QueryRaw(Database(), L"SELECT NAME, DATA FROM SCRIPTS WHERE KEY = 7");
    const std::vector<std::wstring> boxes = {
        L"The script [] has been modified.\r\nDo you want to save it?",
        L"The script [Labels] has not been saved: a script needs a name.\r\nDo you want to go back to your changes? "
        L"No discards them."};
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &test - cases);
        boxes_.SetAnswer(IDNO);
        SelectScript(L"Labels");
        ::SetWindowTextW(Item(IDC_SCRIPT_NAME), L"");
        dialog_->Editor()->SetText(L"' edited");
        const int rows = vb::CheckListView(Item(IDC_SCRIPT_LIST)).GetCount();
        boxes_.Clear();
        boxes_.QueueAnswers({IDYES, test.answer});
        switch (test.leave) {
            case Leave::kOtherScript: SelectScript(L"#Global_Script"); break;
            case Leave::kNewScript: Click(IDC_NEW_SCRIPT); break;
            case Leave::kClose: ::SendMessageW(dialog_->Handle(), WM_CLOSE, 0, 0); break;
        }
        EXPECT_EQ(boxes, BoxTexts());
        EXPECT_EQ(stored, QueryRaw(Database(), L"SELECT NAME, DATA FROM SCRIPTS WHERE KEY = 7"));
        if (test.currentKey < 0) {
            EXPECT_FALSE(::IsWindow(dialog_->Handle()));
            continue;
        }
        EXPECT_EQ(test.currentKey, dialog_->CurrentScript().KEY);
        const std::wstring labels = L"Labels [x]" + std::wstring(test.currentKey == 7 ? L" <selected>" : L"");
        EXPECT_EQ(labels, Entries(IDC_SCRIPT_LIST).at(1));
        if (test.currentKey != 7) continue;
        EXPECT_EQ(L"' edited", dialog_->Editor()->GetText());
        EXPECT_EQ(L"", WindowText(Item(IDC_SCRIPT_NAME)));
        EXPECT_EQ(rows, vb::CheckListView(Item(IDC_SCRIPT_LIST)).GetCount());
    }
}

// A Build's question and a Test run asking none are WholeBenchTest's.
TEST_F(MainDialogTest, AChangedScriptAnsweredNoOrOnlyTheGlobalScriptTickedRefusesTheRun) {
    // Either the global script is changed and its save refused, or it alone is ticked and saved.
    const struct {
        int button;
        bool onlyGlobalTicked;
        std::vector<std::wstring> boxes;
        const wchar_t* logged;  // null: the log stays empty
    } cases[] = {
        {IDC_TEST, false, {kModified, kSaveFirst}, nullptr},
        {IDC_BUILD, false, {kModified, kSaveFirst}, nullptr},
        {IDC_BUILD, true, {kBuildQuestion}, L"# ERROR 'You must select at least one driver model"},
    };
    const std::wstring stored = dialog_->CurrentScript().DATA;
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &test - cases);
        const std::wstring text = test.onlyGlobalTicked ? stored : L"' changed";
        dialog_->Editor()->SetText(text);
        vb::CheckListView(Item(IDC_SCRIPT_LIST)).SetCheck(1, !test.onlyGlobalTicked);
        ::SetWindowTextW(Item(IDC_INFO_LOG), L"");
        boxes_.Clear();
        boxes_.SetAnswer(test.onlyGlobalTicked ? IDYES : IDNO);
        Click(test.button);
        EXPECT_EQ(test.boxes, BoxTexts());
        EXPECT_TRUE(test.logged ? Logged(test.logged) : Log().empty()) << Log();
        EXPECT_EQ(text, dialog_->Editor()->GetText());
    }
    EXPECT_EQ(stored, dialog_->CurrentScript().DATA);
}

TEST_F(MainDialogTest, TestRunTakesTheHighlightedElseTheFirstTickedElseTheFirstModel) {
    const struct {
        std::vector<int> ticked;
        int highlighted;
        const wchar_t* model;
    } cases[] = {
        {{}, -1, L"M-100"},
        {{1}, -1, L"M-200"},
        {{0, 1}, -1, L"M-100"},
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

// Only the lists, the log and Stop are enabled during a run. Stop and close only set the stop
// flag, however often; a device change leaves the run alone.
TEST_F(MainDialogTest, StopOrCloseDuringARunAbortsItAndTheDialogStaysOpen) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        int times;
        const wchar_t* ending;
    } cases[] = {
        {"close twice", WM_CLOSE, 0, 2, L"Abort processing..."},
        {"stop twice", WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 2, L"Abort processing..."},
        {"device change", WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 1, L"End processing..."},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::set<int> during;
        {
            const auto run = DuringRun(dialog_->Handle(), [&] {
                during = EnabledControls(dialog_->Handle());
                for (int i = 0; i < test.times; ++i) ::SendMessageW(dialog_->Handle(), test.message, test.wParam, 0);
            });
            Click(IDC_TEST);
        }
        Pump();
        ASSERT_TRUE(::IsWindow(dialog_->Handle()));
        EXPECT_TRUE(Logged(test.ending));
        EXPECT_FALSE(::SendMessageW(Item(IDC_OUTPUT), CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_EQ((std::set<int>{IDC_MODEL_LIST, IDC_SCRIPT_LIST, IDC_INFO_LOG, IDC_STOP}), during);
        const std::set<int> after = EnabledControls(dialog_->Handle());
        EXPECT_FALSE(after.count(IDC_STOP));
        EXPECT_TRUE(after.count(IDC_TEST) && after.count(IDC_EDITOR) && after.count(IDC_FAMILY));
    }
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainDialogTest, DeletingTheGlobalScriptAsksAndOnlyResetsTheEditor) {
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
}

// The row that takes the deleted one's place is selected; the first row has none above it.
TEST_F(MainDialogTest, DeletingTheFirstRowSelectsTheFirstRemainingScript) {
    ASSERT_EQ("", ExecRaw(Database(), "INSERT INTO SCRIPTS VALUES (3, '!Draft', 'Me.Trace 1');"));
    dialog_->WorkSpace().LoadScriptList(vb::CheckListView(Item(IDC_SCRIPT_LIST)));
    SelectScript(L"!Draft");
    ASSERT_EQ(3, dialog_->CurrentScript().KEY);
    boxes_.SetAnswer(IDYES);
    Click(IDC_DELETE_SCRIPT);
    EXPECT_EQ(std::vector<std::wstring>{L"The script [!Draft] is about to be deleted.\r\nAre you sure?"}, BoxTexts());
    EXPECT_EQ((std::vector<std::wstring>{L"#Global_Script [x] <selected>", L"Labels [x]"}), Entries(IDC_SCRIPT_LIST));
    EXPECT_EQ(0, dialog_->CurrentScript().KEY);
    EXPECT_EQ(dialog_->CurrentScript().DATA, dialog_->Editor()->GetText());
    EXPECT_TRUE(QueryRaw(Database(), L"SELECT NAME FROM SCRIPTS WHERE KEY = 3").empty());
}

// A device that came or went drops the port list down, so the tester sees the new list.
TEST_F(MainDialogTest, DeviceChangeDropsThePortListDownWhenItsLengthChanged) {
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

TEST_F(MainDialogTest, ChangingTheFamilySavesTheTicksOfTheFamilyLeft) {
    vb::CheckListView(Item(IDC_MODEL_LIST)).SetCheck(1, true);
    ::SendMessageW(Item(IDC_FAMILY), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"F2"));
    ::SendMessageW(dialog_->Handle(), WM_COMMAND, MAKEWPARAM(IDC_FAMILY, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(IDC_FAMILY)));
    EXPECT_EQ(L"[M-100][M-200]", Read(L"DRIVERS", L"F1"));
    EXPECT_EQ(std::vector<std::wstring>{L"X-1 [x]"}, Entries(IDC_MODEL_LIST));
    EXPECT_EQ(L"F2 (Family two)", dialog_->WorkSpace().DriverName());
}

}  // namespace
}  // namespace vb::test
