#include "ListCtrlEx.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "ComboBoxView.h"
#include "RedrawLock.h"
#include "Strings.h"
#include "WaitCursor.h"

namespace {

constexpr int kTitleCapacity = 260;

int CALLBACK CompareByRank(LPARAM first, LPARAM second, LPARAM) {
    return first < second ? -1 : first > second ? 1 : 0;
}

}  // namespace

// The flag goes up before the painting stops and down only after it resumes, so every change
// the parent hears of in between finds the list busy.
class CListCtrlEx::BusyScope {
public:
    explicit BusyScope(CListCtrlEx& list) noexcept : flag_(list.busy_), lock_(list.Handle()) {}

private:
    struct Flag {
        explicit Flag(bool& busy) noexcept : busy_(busy) { busy_ = true; }
        ~Flag() { busy_ = false; }
        bool& busy_;
    };
    Flag flag_;
    vb::RedrawLock lock_;
};

CListCtrlEx::CListCtrlEx()
    : evenBrush_(::CreateSolidBrush(kEvenRowColour)), oddBrush_(::CreateSolidBrush(kOddRowColour)) {}

CListCtrlEx::~CListCtrlEx() {
    // No message may reach the list while its members go.
    Detach();
    // A text copied from the list stays on the clipboard after OLE ends.
    if (clipboardSource_ && ::OleIsCurrentClipboard(clipboardSource_.Get()) == S_OK) ::OleFlushClipboard();
}

void CListCtrlEx::AddEditableColumn(int column) {
    if (column >= 0 && std::find(editableColumns_.begin(), editableColumns_.end(), column) == editableColumns_.end()) {
        editableColumns_.push_back(column);
    }
}

int CListCtrlEx::ItemCount() const noexcept { return Handle() ? static_cast<int>(Send(LVM_GETITEMCOUNT)) : 0; }

int CListCtrlEx::ColumnCount() const noexcept {
    HWND header = Handle() ? reinterpret_cast<HWND>(Send(LVM_GETHEADER)) : nullptr;
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring CListCtrlEx::ItemText(int item, int column) const {
    if (item < 0 || column < 0 || !Handle()) return {};
    // The list answers with the length it copied; a full buffer may mean a longer text.
    for (size_t capacity = 256;; capacity *= 4) {
        std::wstring text(capacity, L'\0');
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = text.data();
        cell.cchTextMax = static_cast<int>(capacity);
        auto length = static_cast<size_t>(Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
        if (length + 1 < capacity || capacity >= 0x100000) {
            text.resize(std::min(length, capacity - 1));
            return text;
        }
    }
}

std::wstring CListCtrlEx::ColumnTitle(int column) const {
    wchar_t title[kTitleCapacity] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = title;
    info.cchTextMax = kTitleCapacity;
    if (column < 0 || !Send(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info))) return {};
    return title;
}

int CListCtrlEx::ColumnFormat(int column) const noexcept {
    LVCOLUMNW info{};
    info.mask = LVCF_FMT;
    if (column < 0 || !Send(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info))) return 0;
    return info.fmt;
}

int CListCtrlEx::ColumnWidth(int column) const noexcept {
    return column < 0 ? 0 : static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

bool CListCtrlEx::IsRightAligned(int column) const noexcept {
    return (ColumnFormat(column) & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT;
}

void CListCtrlEx::ParseCell(LIST_ROW& row, int index, const std::wstring& text) {
    row.index = index;
    row.text = text;
    int day = 0, month = 0, year = 0;
    if (std::swscanf(text.c_str(), L"%d/%d/%d", &day, &month, &year) == 3) {
        row.numeric = 1;
        row.value = year * 10000.0 + month * 100.0 + day;
        return;
    }
    const std::wstring dotted = vb::ReplaceAll(text, L",", L".");
    const double value = std::wcstod(dotted.c_str(), nullptr);
    // "nan" reads as a number that orders against nothing; it sorts as 0 like any other text.
    row.value = std::isnan(value) ? 0.0 : value;
}

void CListCtrlEx::SortByColumn(int column) {
    if (column < 0 || column >= ColumnCount()) return;
    vb::WaitCursor wait;
    const bool ascending = ascendingColumn_ != column;
    ascendingColumn_ = ascending ? column : -1;
    // The alignment the filler gave the column says what it holds: values right, texts left.
    const bool numeric = IsRightAligned(column);
    SetSortArrow(column, ascending);

    const int count = ItemCount();
    std::vector<LIST_ROW> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) ParseCell(rows[static_cast<size_t>(i)], i, ItemText(i, column));
    // Equal keys keep their order in both directions.
    std::stable_sort(rows.begin(), rows.end(), [numeric, ascending](const LIST_ROW& a, const LIST_ROW& b) {
        if (numeric) return ascending ? a.value < b.value : a.value > b.value;
        return ascending ? a.text < b.text : a.text > b.text;
    });

    BusyScope busy(*this);
    for (size_t rank = 0; rank < rows.size(); ++rank) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = rows[rank].index;
        item.lParam = static_cast<LPARAM>(rank);
        Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    Send(LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareByRank));
    if (count > 0) {
        Send(LVM_ENSUREVISIBLE, 0, FALSE);
        SetSelected(0);
    }
}

void CListCtrlEx::SetSortArrow(int column, bool ascending) {
    // The header paints the arrow from the item flags, with or without a theme.
    HWND header = Handle() ? reinterpret_cast<HWND>(Send(LVM_GETHEADER)) : nullptr;
    if (!header) return;
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    ::InvalidateRect(header, nullptr, FALSE);
}

void CListCtrlEx::Find(int column, const std::wstring& text) {
    if (column < 0 || column >= ColumnCount()) return;
    if (ascendingColumn_ != column) {
        ascendingColumn_ = -1;
        SortByColumn(column);
    }
    if (text.empty()) return;
    vb::WaitCursor wait;
    const int length = static_cast<int>(text.size());
    const int count = ItemCount();
    for (int i = 0; i < count; ++i) {
        const std::wstring cell = ItemText(i, column);
        if (cell.size() < text.size() ||
            ::CompareStringOrdinal(cell.c_str(), length, text.c_str(), length, TRUE) != CSTR_EQUAL) {
            continue;
        }
        BusyScope busy(*this);
        Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), FALSE);
        SetSelected(i);
        // The row comes to stand just below the header.
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        Send(LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&bounds));
        Send(LVM_SCROLL, 0, bounds.top - CHeaderCtrlEx::kHeight);
        return;
    }
}

void CListCtrlEx::FilterByValue(int column, const std::wstring& value) {
    if (value.empty()) {
        filterColumn_ = -1;
        ::SendMessageW(::GetParent(Handle()), kRefillMessage, 0, 0);
        return;
    }
    if (column < 0 || column >= ColumnCount()) return;
    vb::WaitCursor wait;
    LIST_ROW filter;
    ParseCell(filter, column, value);
    filterColumn_ = column;
    for (int i = ItemCount() - 1; i >= 0; --i) {
        LIST_ROW row;
        ParseCell(row, i, ItemText(i, column));
        const bool keep = filter.numeric ? row.value == filter.value : vb::EqualsNoCase(value, row.text);
        if (!keep) Send(LVM_DELETEITEM, static_cast<WPARAM>(i));
    }
}

void CListCtrlEx::SetColumnWidthAndFit(int column, int width) {
    if (column < 0 || column >= ColumnCount()) return;
    BusyScope busy(*this);
    if (width == -1) {
        FitColumn(column);
    } else {
        Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    }
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i) {
        if (ColumnWidth(i) != 0) FitColumn(i);
    }
}

void CListCtrlEx::FitColumn(int column) {
    Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(LVSCW_AUTOSIZE, 0));
    // A column without cell text would fit to nothing and vanish from the view; its title keeps
    // it shown.
    if (ColumnWidth(column) == 0) {
        Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
    }
}

int CListCtrlEx::FillColumnCombo(HWND combo) {
    vb::ComboBoxView view(combo);
    if (!view.IsWindow()) return 0;
    view.ResetContent();
    const int count = ColumnCount();
    for (int i = count - 1; i >= 0; --i) {
        int at = view.AddString(ColumnTitle(i));
        if (at >= 0) view.SetItemData(at, i);
    }
    view.SetCurSel(0);
    return count;
}

int CListCtrlEx::ColumnAt(int item, int x, RECT* cell) const {
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i) {
        const int width = ColumnWidth(i);
        if (width == 0) continue;
        // The bounds of sub-item 0 are the whole row's.
        RECT bounds{LVIR_BOUNDS, i, 0, 0};
        if (!Send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&bounds))) continue;
        if (i == 0) bounds.right = bounds.left + width;
        if (x >= bounds.left && x < bounds.right) {
            if (cell) *cell = bounds;
            return i;
        }
    }
    return -1;
}

int CListCtrlEx::ItemAt(POINT point) const noexcept {
    LVHITTESTINFO hit{};
    hit.pt = point;
    return static_cast<int>(Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void CListCtrlEx::SetSelected(int item) const noexcept {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void CListCtrlEx::BeginEditAt(POINT point) {
    if (editableColumns_.empty()) return;
    const int item = ItemAt(point);
    if (item < 0) return;
    RECT cell{};
    const int column = ColumnAt(item, point.x, &cell);
    if (column < 0 || std::find(editableColumns_.begin(), editableColumns_.end(), column) == editableColumns_.end()) {
        return;
    }
    editor_.BeginEdit(item, column, cell);
}

void CListCtrlEx::PreSubclassWindow() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    clientWidth_ = client.right;
    clientHeight_ = client.bottom;
    for (UINT i = 0; i < 4; ++i) menuBitmaps_[i] = MakeMenuBitmap(kDisplayAllCommand + i);
    if (HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER))) {
        header_.Attach(header);
        // The list lays its header out again, now 45 pixels high.
        Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
}

LRESULT CListCtrlEx::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN: {
            LRESULT result = Default();
            BeginEditAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return result;
        }
        case WM_RBUTTONDOWN:
            OnContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_SIZE: {
            LRESULT result = Default();
            OnSize();
            return result;
        }
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_NOTIFY:
            if (lParam) OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return Default();
        default:
            break;
    }
    return Default();
}

void CListCtrlEx::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != header_.Handle()) return;
    if (header.code == HDN_ITEMCLICKW || header.code == HDN_ITEMCLICKA) {
        SortByColumn(reinterpret_cast<const NMHEADERW&>(header).iItem);
    }
}

void CListCtrlEx::OnSize() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const bool grew = client.right > clientWidth_ || client.bottom > clientHeight_;
    clientWidth_ = client.right;
    clientHeight_ = client.bottom;
    if (grew) ::InvalidateRect(Handle(), nullptr, TRUE);
}
