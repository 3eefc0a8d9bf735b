#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "ListCtrlEx.h"
#include "PopupMenu.h"
#include "UiTestSupport.h"

namespace {

constexpr int kListId = 1018;

struct Column {
    const wchar_t* title;
    bool right;
};
using Rows = std::vector<std::vector<std::wstring>>;

// A top-level window with a report list over which a CListCtrlEx is attached; it records what
// the list tells its parent.
class ListHost : public vb::Window {
public:
    ListHost(const std::vector<Column>& columns, const Rows& rows) {
        WNDCLASSW type{};
        type.lpfnWndProc = ::DefWindowProcW;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"VbListTestHost";
        ::RegisterClassW(&type);
        HWND frame = ::CreateWindowExW(0, type.lpszClassName, L"List", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 640,
                                       400, nullptr, nullptr, type.hInstance, nullptr);
        Attach(frame);
        HWND view = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 10, 600,
                                      340, frame, reinterpret_cast<HMENU>(kListId), type.hInstance, nullptr);
        ::SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        list.Attach(view);
        for (size_t c = 0; c < columns.size(); ++c) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = columns[c].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
            column.cx = 100;
            column.pszText = const_cast<wchar_t*>(columns[c].title);
            ListView_InsertColumn(view, c, &column);
        }
        for (size_t r = 0; r < rows.size(); ++r) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.pszText = const_cast<wchar_t*>(rows[r][0].c_str());
            ListView_InsertItem(view, &item);
            for (size_t c = 1; c < rows[r].size(); ++c) {
                ListView_SetItemText(view, r, c, const_cast<wchar_t*>(rows[r][c].c_str()));
            }
        }
        ::SetForegroundWindow(frame);
        ::UpdateWindow(frame);
    }
    ~ListHost() override {
        HWND frame = Handle();
        Detach();
        ::DestroyWindow(frame);
    }

    HWND View() const { return list.Handle(); }
    std::vector<std::wstring> Texts(int column) const {
        std::vector<std::wstring> texts;
        for (int i = 0; i < list.ItemCount(); ++i) texts.push_back(list.ItemText(i, column));
        return texts;
    }
    POINT CellPoint(int item, int column) const {
        RECT cell{LVIR_BOUNDS, column, 0, 0};
        ::SendMessageW(View(), LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell));
        return {column == 0 ? cell.left + 5 : (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    bool Selected(int item) const {
        return ::SendMessageW(View(), LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED;
    }

    CListCtrlEx list;
    int refills = 0;
    int changesWhileIdle = 0;
    std::vector<std::optional<std::wstring>> edits;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 0x100) {  // "Display all", as the result viewer answers it
            ++refills;
            return 1;
        }
        if (message == WM_NOTIFY) {
            const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
            if (info->hdr.code == LVN_ENDLABELEDITW) {
                edits.push_back(info->item.pszText ? std::optional<std::wstring>(info->item.pszText) : std::nullopt);
            }
            if (info->hdr.code == LVN_ITEMCHANGED && !list.IsBusy()) ++changesWhileIdle;
        }
        return vb::Window::OnMessage(message, wParam, lParam);
    }
};

// The context menu as shown, and the command the stand-in picks.
struct MenuEntry {
    UINT id;
    std::wstring text;
    bool enabled, checked;
};
std::vector<MenuEntry> g_menu;
UINT g_pick = 0;

BOOL WINAPI PickFromMenu(HMENU menu, UINT, int, int, int, HWND, const RECT*) {
    g_menu.clear();
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[300] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 300;
        ::GetMenuItemInfoW(menu, i, TRUE, &info);
        if (!(info.fType & MFT_SEPARATOR)) {
            g_menu.push_back({info.wID, text, !(info.fState & MFS_GRAYED), (info.fState & MFS_CHECKED) != 0});
        }
    }
    return static_cast<BOOL>(g_pick);
}

class ListCtrlExTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        previousMenu_ = vb::SetTrackPopupMenuFunction(PickFromMenu);
    }
    void TearDown() override { vb::SetTrackPopupMenuFunction(previousMenu_); }

    // A right click at `point` that picks `command`. The list view waits for the button to come
    // up before its context menu, so the release is queued first.
    static void ContextMenu(ListHost& host, POINT point, UINT command) {
        g_pick = command;
        ::PostMessageW(host.View(), WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        ::SendMessageW(host.View(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    }
    static const MenuEntry* Entry(UINT id) {
        for (const auto& entry : g_menu) {
            if (entry.id == id) return &entry;
        }
        return nullptr;
    }

private:
    vb::TrackPopupMenuFunction previousMenu_ = nullptr;
};

std::wstring ReadClipboard() {
    std::wstring text = L"<none>";
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

TEST_F(ListCtrlExTest, HeaderIs45PixelsHighWithGradientItemsAndRowsInAlternateColours) {
    ListHost host({{L"Model", false}, {L"Size", true}}, {{L"a", L"1"}, {L"b", L"2"}});
    HWND header = host.list.Header().Handle();
    RECT headerRect{};
    ::GetClientRect(header, &headerRect);
    EXPECT_EQ(headerRect.bottom, 45);
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageW(host.View(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    EXPECT_GE(row.top, 45);

    ::SetCursorPos(-100, -100);
    RECT top{5, 1, 95, 2}, bottom{5, 44, 95, 45};
    EXPECT_EQ(CountPixelsNear(header, top, RGB(255, 255, 255), 8), 90);
    EXPECT_EQ(CountPixelsNear(header, bottom, CHeaderCtrlEx::kGradientBottom, 8), 90);
    // The mouse over the second item turns its bottom light blue.
    POINT over{150, 5};
    ::ClientToScreen(header, &over);
    ::SetCursorPos(over.x, over.y);
    EXPECT_EQ(CountPixelsNear(header, {105, 44, 195, 45}, CHeaderCtrlEx::kGradientBottomHot, 8), 90);

    for (int item : {0, 1}) {
        RECT cell{row.left + 60, row.top + 1 + item * (row.bottom - row.top), row.left + 90, 0};
        cell.bottom = cell.top + 1;
        COLORREF colour = item == 0 ? RGB(255, 255, 200) : RGB(211, 237, 252);
        EXPECT_EQ(CountPixelsNear(host.View(), cell, colour, 4), 30) << "row " << item;
    }
}

TEST_F(ListCtrlExTest, HeaderClicksSortByTheColumnAlignmentAndToggleTheDirection) {
    // Column 0 texts, 1 numbers, 2 dates, 3 texts that include a date-like one.
    const Rows rows = {{L"b", L"10", L"2/1/2015", L"b"},
                       {L"B", L"9", L"31/12/2014", L"1/1/2000"},
                       {L"a", L"1,5", L"1/1/2015", L"a"}};
    struct Case {
        const char* name;
        std::vector<int> clicks;
        int column;
        std::vector<std::wstring> order;
        int arrow;
    };
    const Case cases[] = {
        {"texts by code unit", {0}, 0, {L"B", L"a", L"b"}, HDF_SORTUP},
        {"numbers", {1}, 1, {L"1,5", L"9", L"10"}, HDF_SORTUP},
        {"dates as yyyymmdd", {2}, 2, {L"31/12/2014", L"1/1/2015", L"2/1/2015"}, HDF_SORTUP},
        {"a date in a text column is a text", {3}, 3, {L"1/1/2000", L"a", L"b"}, HDF_SORTUP},
        {"second click descends", {1, 1}, 1, {L"10", L"9", L"1,5"}, HDF_SORTDOWN},
        {"third click ascends", {1, 1, 1}, 1, {L"1,5", L"9", L"10"}, HDF_SORTUP},
        {"another column starts ascending", {1, 2}, 2, {L"31/12/2014", L"1/1/2015", L"2/1/2015"}, HDF_SORTUP},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ListHost host({{L"T", false}, {L"N", true}, {L"D", true}, {L"M", false}}, rows);
        HWND header = host.list.Header().Handle();
        for (int click : test.clicks) {
            RECT item{};
            ::SendMessageW(header, HDM_GETITEMRECT, click, reinterpret_cast<LPARAM>(&item));
            LPARAM at = MAKELPARAM((item.left + item.right) / 2, 20);
            ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::SendMessageW(header, WM_LBUTTONUP, 0, at);
        }
        EXPECT_EQ(host.Texts(test.column), test.order);
        for (int c = 0; c < 4; ++c) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            ::SendMessageW(header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(&item));
            EXPECT_EQ(item.fmt & (HDF_SORTUP | HDF_SORTDOWN), c == test.column ? test.arrow : 0) << "column " << c;
        }
        EXPECT_TRUE(host.Selected(0));
        EXPECT_EQ(host.changesWhileIdle, 0);
    }
}

TEST_F(ListCtrlExTest, FilterRemovesRowsFromTheViewAndDisplayAllAsksTheParent) {
    ListHost host({{L"Name", false}, {L"Ok", false}},
                  {{L"a&b", L"Yes"}, {L"c", L"yes"}, {L"a&b", L"No"}, {L"%s", L"YES"}});
    // A cell with an ampersand is shown as typed and filters by its own text.
    ContextMenu(host, host.CellPoint(0, 0), CListCtrlEx::kFilterCommand);
    ASSERT_NE(Entry(CListCtrlEx::kFilterCommand), nullptr);
    // The viewer's first fill holds only the failed rows: all rows are offered from the start.
    EXPECT_TRUE(Entry(CListCtrlEx::kDisplayAllCommand)->enabled);
    EXPECT_EQ(Entry(CListCtrlEx::kFilterCommand)->text, L"Filtering data on the value [a&&b]");
    EXPECT_EQ(host.Texts(1), (std::vector<std::wstring>{L"Yes", L"No"}));
    EXPECT_EQ(host.list.FilterColumn(), 0);
    EXPECT_EQ(host.refills, 0);

    ContextMenu(host, {5, 300}, CListCtrlEx::kDisplayAllCommand);
    EXPECT_EQ(host.refills, 1);
    EXPECT_EQ(host.list.FilterColumn(), -1);
    EXPECT_FALSE(Entry(CListCtrlEx::kFilterCommand)->enabled);
    EXPECT_FALSE(Entry(CListCtrlEx::kCopyRowCommand)->enabled);

    // The first row differs too: every row is looked at, the first included.
    ListHost yes({{L"Name", false}, {L"Ok", false}}, {{L"d", L"No"}, {L"a", L"Yes"}, {L"c", L"yes"}, {L"%s", L"YES"}});
    yes.list.FilterByValue(1, L"Yes");
    EXPECT_EQ(yes.Texts(0), (std::vector<std::wstring>{L"a", L"c", L"%s"}));
}

TEST_F(ListCtrlExTest, HidingAColumnSetsWidthZeroAndShowingItFitsIt) {
    for (bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty list" : "filled list");
        ListHost host({{L"Name", false}, {L"Size", true}, {L"Note", false}},
                      empty ? Rows{} : Rows{{L"a", L"12345678901234567890", L""}});
        const UINT sizeColumn = CListCtrlEx::kFirstColumnCommand + 1;
        ContextMenu(host, {5, 300}, sizeColumn);
        EXPECT_TRUE(Entry(sizeColumn)->checked);
        EXPECT_EQ(host.list.ColumnWidth(1), 0);
        // A shown column without cell text stays shown when the others are fitted.
        EXPECT_GT(host.list.ColumnWidth(2), 0);
        ContextMenu(host, {5, 300}, sizeColumn);
        EXPECT_FALSE(Entry(sizeColumn)->checked);
        EXPECT_GT(host.list.ColumnWidth(1), 0);
        EXPECT_NE(host.list.ColumnWidth(1), 100);
    }
}

TEST_F(ListCtrlExTest, CopyingTheRowPutsItsShownCellsQuotedOnTheClipboard) {
    {
        ListHost host({{L"A", false}, {L"B", false}, {L"C", false}}, {{L"x", L"y"}, {L"A", L"B", L"hidden"}});
        ::SendMessageW(host.View(), LVM_SETCOLUMNWIDTH, 2, 0);
        ContextMenu(host, host.CellPoint(1, 1), CListCtrlEx::kCopyRowCommand);
        EXPECT_EQ(ReadClipboard(), L"\"A\"\t\"B\"");
        ContextMenu(host, host.CellPoint(0, 1), CListCtrlEx::kCopyCellCommand);
        EXPECT_EQ(Entry(CListCtrlEx::kCopyCellCommand)->text, L"Copy [y]");
    }
    // The copy outlives the list.
    EXPECT_EQ(ReadClipboard(), L"y");
}

TEST_F(ListCtrlExTest, CellEditorTakesDigitsOnlyInANumberColumnAndEndsAsTheKeyOrTheFocusSays) {
    const struct {
        const char* name;
        WPARAM key;  // 0: the focus goes elsewhere
        std::optional<std::wstring> notified;
        std::wstring cell;
    } cases[] = {
        {"Escape", VK_ESCAPE, std::nullopt, L"12"},
        {"Enter", VK_RETURN, L"123", L"123"},
        {"Tab", VK_TAB, L"123", L"123"},
        {"focus elsewhere", 0, L"123", L"123"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ListHost host({{L"Name", false}, {L"Size", true}}, {{L"a", L"12"}});
        host.list.AddEditableColumn(1);
        POINT cell = host.CellPoint(0, 1);
        ::SendMessageW(host.View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.x, cell.y));
        ::SendMessageW(host.View(), WM_LBUTTONUP, 0, MAKELPARAM(cell.x, cell.y));
        CEditEx& editor = host.list.Editor();
        ASSERT_TRUE(editor.IsEditing());
        EXPECT_EQ(editor.SubItem(), 1);
        EXPECT_NE(CEditEx::Hook(), nullptr);
        EXPECT_TRUE(::GetWindowLongW(editor.Handle(), GWL_STYLE) & ES_RIGHT);
        ::SendMessageW(editor.Handle(), EM_SETSEL, 2, 2);
        for (wchar_t typed : {L'x', L'3'}) ::SendMessageW(editor.Handle(), WM_CHAR, typed, 0);
        if (test.key) {
            ::SendMessageW(editor.Handle(), WM_KEYDOWN, test.key, 0);
        } else {
            ::SetFocus(host.Handle());
        }
        EXPECT_FALSE(editor.IsEditing());
        EXPECT_FALSE(::IsWindowVisible(editor.Handle()));
        EXPECT_EQ(host.edits, (std::vector<std::optional<std::wstring>>{test.notified}));
        EXPECT_EQ(host.list.ItemText(0, 1), test.cell);
        MSG posted{};
        EXPECT_EQ(::PeekMessageW(&posted, host.View(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) != FALSE,
                  test.key == VK_TAB);
    }
    EXPECT_EQ(CEditEx::Hook(), nullptr);
}

TEST_F(ListCtrlExTest, EmptyListsAndColumnsOutOfRangeChangeNothing) {
    ListHost empty({{L"Name", false}}, {});
    ListHost filled({{L"Name", false}}, {{L"b"}, {L"a"}});
    filled.list.AddEditableColumn(5);
    for (ListHost* host : {&empty, &filled}) {
        CListCtrlEx& list = host->list;
        list.SortByColumn(0);
        list.SortByColumn(7);
        list.Find(-1, L"a");
        list.Find(9, L"[*%s");
        list.FilterByValue(9, L"b");
        list.SetColumnWidthAndFit(9, 0);
        list.CopyRow(5);
        list.Editor().BeginEdit(0, 5, {0, 0, 10, 10});
        ContextMenu(*host, {5, 300}, CListCtrlEx::kCopyRowCommand);
        EXPECT_FALSE(list.Editor().IsEditing());
        EXPECT_EQ(list.ColumnTitle(3), L"");
    }
    EXPECT_EQ(filled.Texts(0), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(empty.list.FillColumnCombo(nullptr), 0);
}

}  // namespace
