// The result viewer on a results database that real Build runs made: a snapshot, then a
// comparison with the sample driver's output switch changed in the Text script.
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "BatchFixture.h"
#include "DBOuputDlg.h"
#include "RawDatabase.h"
#include "ResourceIds.h"
#include "SampleScripts.h"
#include "UiTestSupport.h"

namespace vb::test {
namespace {

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// The pane's bytes; the pane is left empty.
std::string PaneBytes(CFilePreviewCtrl& pane) {
    CStreamFile data;
    pane.TakeFile(data);
    return data.IsOpen() && data.SeekToBegin() ? data.ReadToEnd() : std::string();
}

std::vector<std::function<void()>> g_steps;
size_t g_nextStep = 0;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_nextStep < g_steps.size()) g_steps[g_nextStep++]();
}

// Runs the viewer modally and `steps`, one after the other, from a timer of its own loop; the
// viewer ends with -2 some 20 seconds after the last step unless a step ended it.
INT_PTR RunModal(CDBOuputDlg& viewer, std::vector<std::function<void()>> steps) {
    steps.insert(steps.end(), 60, [] {});
    steps.push_back([&viewer] { viewer.EndDialog(-2); });
    g_steps = std::move(steps);
    g_nextStep = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, RunNextStep);
    INT_PTR result = viewer.DoModal();
    ::KillTimer(nullptr, timer);
    g_steps.clear();
    return result;
}

class ResultViewerTest : public BatchFixture {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        UseFamily(L"FAM01");
        std::vector<CScriptItem> scripts{GlobalScript(), StoreScript(1, L"Shapes", kShapesScript),
                                         StoreScript(2, L"Text", kTextScript)};
        ASSERT_TRUE(Build(1, scripts, models_));
        StoreScript(2, L"Text", std::wstring(L"Driver.SetParameter \"Variant\", \"1\"\r\n") + kTextScript);
        ASSERT_TRUE(Build(0, scripts, models_));
    }
    void TearDown() override { EXPECT_TRUE(boxes_.Boxes().empty()); }

    void Open() {
        ASSERT_TRUE(viewer_.Create());
        Pump();
    }
    std::vector<std::wstring> Column(int column) {
        std::vector<std::wstring> texts;
        for (int i = 0; i < viewer_.List().ItemCount(); ++i) texts.push_back(viewer_.List().ItemText(i, column));
        return texts;
    }
    // Selects one row only, as a click does, and waits for both panes to settle.
    void Select(int row) {
        HWND list = viewer_.List().Handle();
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        auto busy = [this] {
            for (CFilePreviewCtrl* pane : {&viewer_.LeftPreview(), &viewer_.RightPreview()}) {
                if (pane->IsLoading() || pane->IsSeekingDifference()) return true;
            }
            return false;
        };
        for (DWORD start = ::GetTickCount(); busy() && ::GetTickCount() - start < 10000; ::Sleep(1)) Pump();
        Pump();
        ASSERT_FALSE(busy());
    }
    const std::vector<std::wstring> models_{L"Model 300", L"Model 300 COLOR"};
    CDBOuputDlg viewer_{ws_.get(), nullptr};
};

TEST_F(ResultViewerTest, OpensOnTheFailedRowsAndListsAllAfterDisplayAll) {
    Open();
    EXPECT_TRUE(::IsZoomed(viewer_.Handle()));
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"0"}), Column(0));
    EXPECT_EQ((std::vector<std::wstring>{L"MODEL 300", L"MODEL 300 COLOR"}), Column(1));
    EXPECT_EQ((std::vector<std::wstring>{L"Text (2)", L"Text (2)"}), Column(2));
    for (int column = 0; column < 20; ++column) {
        EXPECT_EQ(column >= 4 && column <= 9, viewer_.List().ColumnWidth(column) == 0) << column;
    }

    EXPECT_EQ(1, ::SendMessageW(viewer_.Handle(), CListCtrlEx::kRefillMessage, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"-1", L"0", L"-1", L"0"}), Column(0));
    EXPECT_EQ((std::vector<std::wstring>{L"Shapes (1)", L"Text (2)", L"Shapes (1)", L"Text (2)"}), Column(2));
}

TEST_F(ResultViewerTest, SelectedRowShowsReferenceLeftAndComparisonRightWithTheDifferencesMarked) {
    Open();
    Select(1);
    // MODEL 300 COLOR with the Text script: NAME, KEY, KEY_SUB, REF_DATA, CMP_DATA, SUCCESS.
    const auto stored = StoredRows(L"FAM01").at(3);
    ASSERT_NE(stored[3], stored[4]);
    CFilePreviewCtrl& left = viewer_.LeftPreview();
    CFilePreviewCtrl& right = viewer_.RightPreview();
    // "Auto" chose text for the printer commands, on both sides.
    EXPECT_EQ(vb::kPreviewText, left.Mode());
    EXPECT_EQ(vb::kPreviewText, right.Mode());
    RECT client{};
    ::GetClientRect(left.Handle(), &client);
    EXPECT_GT(CountPixelsNear(left.Handle(), client, RGB(0, 0, 255), 16), 20);
    EXPECT_GT(CountPixelsNear(right.Handle(), client, RGB(255, 0, 0), 16), 20);
    EXPECT_EQ(stored[3], PaneBytes(left));
    EXPECT_EQ(stored[4], PaneBytes(right));
}

// A row whose data cannot be read or decoded shows no data in that pane, never the bytes of
// the row selected before.
TEST_F(ResultViewerTest, UnreadableDataShowNoDataInsteadOfThePreviousRowsData) {
    Open();
    ::SendMessageW(viewer_.Handle(), CListCtrlEx::kRefillMessage, 0, 0);
    // Changed behind the list's back: rows 0, 2 and 3 as listed.
    ASSERT_EQ("", ExecRaw(ResultsFile(L"FAM01"),
                          "UPDATE OUTPUT SET CMP_DATA = NULL WHERE NAME = 'MODEL 300' AND KEY = 1;"
                          "DELETE FROM OUTPUT WHERE NAME = 'MODEL 300 COLOR' AND KEY = 1;"
                          "UPDATE OUTPUT SET CMP_DATA = 'QUJD%%%%' WHERE NAME = 'MODEL 300 COLOR' AND KEY = 2;"));
    // Before any comparison data were shown, the reference data choose their own mode.
    Select(0);
    EXPECT_EQ(vb::kPreviewText, viewer_.LeftPreview().Mode());
    const struct {
        const char* name;
        int row;
        bool reference, comparison;  // whether each pane shows data
    } rows[] = {
        {"no comparison data", 0, true, false},
        {"row gone", 2, false, false},
        {"comparison data not Base64", 3, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Select(1);
        ASSERT_NE(0u, viewer_.RightPreview().LineCount());
        Select(row.row);
        EXPECT_EQ(row.reference, !PaneBytes(viewer_.LeftPreview()).empty());
        EXPECT_EQ(row.comparison, !PaneBytes(viewer_.RightPreview()).empty());
    }
}

TEST_F(ResultViewerTest, EnterInTheSearchWindowFindsTheRowAndKeepsItOpen) {
    HWND search = nullptr, criteria = nullptr;
    bool shownAfterEnter = false;
    std::vector<bool> selected;
    EXPECT_EQ(IDCANCEL, RunModal(viewer_, {
        [&] {
            ::SendDlgItemMessageW(viewer_.Handle(), IDC_RESULT_FIND, BM_CLICK, 0, 0);
            search = viewer_.FindDialog() ? viewer_.FindDialog()->Handle() : nullptr;
            criteria = ::GetDlgItem(search, IDC_FIND_CRITERIA);
            ::SendDlgItemMessageW(search, IDC_FIND_COLUMN, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(L"MODEL"));
            ::SetWindowTextW(criteria, L"  model 300 c");
            ::SetFocus(criteria);
            ::PostMessageW(criteria, WM_KEYDOWN, VK_RETURN, 0);
        },
        [&] {
            shownAfterEnter = ::IsWindowVisible(search);
            for (int i = 0; i < viewer_.List().ItemCount(); ++i) {
                selected.push_back(::SendMessageW(viewer_.List().Handle(), LVM_GETITEMSTATE, i, LVIS_SELECTED) != 0);
            }
            viewer_.EndDialog(IDCANCEL);
        },
    }));
    ASSERT_TRUE(search);
    EXPECT_TRUE(shownAfterEnter);
    // The search sorted by the column first, which selects the first row as well.
    EXPECT_EQ((std::vector<bool>{true, true}), selected);
}

// Not run by the tests: `scripts/screenshot.sh viewer` runs it and captures the screen while the
// viewer shows a failed item.
TEST_F(ResultViewerTest, DISABLED_ShowsAFailedItemForTheScreenshot) {
    RunModal(viewer_, {[this] { Select(1); }});
}

TEST_F(ResultViewerTest, DatabaseThatCannotBeReadOpensOnAnEmptyList) {
    const struct {
        const char* name;
        const wchar_t* family;
        bool lock;
    } rows[] = {{"family never built", L"FAM03", false}, {"locked by another program", L"FAM01", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        UseFamily(row.family);
        // Another program holding the file open for itself alone.
        vb::UniqueFile lock(row.lock ? ::CreateFileW(ResultsFile(row.family).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                     nullptr, OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE);
        ASSERT_EQ(row.lock, static_cast<bool>(lock));
        CDBOuputDlg viewer(ws_.get(), nullptr);
        ASSERT_TRUE(viewer.Create());
        EXPECT_EQ(0, viewer.List().ItemCount());
        EXPECT_EQ(1, ::SendMessageW(viewer.Handle(), CListCtrlEx::kRefillMessage, 0, 0));
        EXPECT_EQ(0, viewer.List().ItemCount());
        EXPECT_EQ(row.lock, FileExists(ResultsFile(row.family)));
    }
}

}  // namespace
}  // namespace vb::test
