#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

#include "ComPtr.h"
#include "EditEx.h"
#include "HeaderCtrlEx.h"
#include "OleSession.h"
#include "UniqueHandle.h"
#include "Window.h"

// The sort record of one cell.
struct LIST_ROW {
    // 1: compare by value, 0: compare by text.
    int numeric = 0;
    // The item (row) index in the list.
    int index = -1;
    std::wstring text;
    double value = 0.0;
};

// The result viewer's report list, taken over from an existing list view (a dialog template's
// control): it paints its rows itself in alternating colours, sorts by a click on a column
// title (right-aligned columns by value, others by text; each click toggles the direction),
// finds a row by the start of a cell, filters rows by a cell value and copies a cell or a row
// through its context menu, which also hides and shows columns. Whoever fills it does so with
// the ordinary list-view messages on Handle().
//
// To its parent it sends kRefillMessage when the user asks for every row again ("Display all"),
// and, for a registered editable column, LVN_ENDLABELEDIT when an in-place edit ends. While it
// changes its own selection, order or column widths it is busy, and the parent should ignore
// the item changes it hears of meanwhile.
class CListCtrlEx : public vb::Window {
public:
    // WM_USER+0x100, wParam and lParam 0: the parent refills the list with all rows; the list
    // itself reloads nothing.
    static constexpr UINT kRefillMessage = WM_USER + 0x100;
    static constexpr COLORREF kEvenRowColour = RGB(255, 255, 200);
    static constexpr COLORREF kOddRowColour = RGB(211, 237, 252);
    // Context-menu commands.
    static constexpr UINT kDisplayAllCommand = 100;
    static constexpr UINT kFilterCommand = 101;
    static constexpr UINT kCopyCellCommand = 102;
    static constexpr UINT kCopyRowCommand = 103;
    // Plus the column index: hides a shown column, shows a hidden one.
    static constexpr UINT kFirstColumnCommand = 1000;

    CListCtrlEx();
    ~CListCtrlEx() override;

    bool IsBusy() const noexcept { return busy_; }
    int FilterColumn() const noexcept { return filterColumn_; }
    int AscendingColumn() const noexcept { return ascendingColumn_; }
    CHeaderCtrlEx& Header() noexcept { return header_; }
    CEditEx& Editor() noexcept { return editor_; }
    // A left click on a cell of a registered column opens the in-place editor over it.
    void AddEditableColumn(int column);

    int ItemCount() const noexcept;
    int ColumnCount() const noexcept;
    std::wstring ItemText(int item, int column) const;
    // The column's LVCFMT_ flags; 0 for a column that does not exist.
    int ColumnFormat(int column) const noexcept;
    int ColumnWidth(int column) const noexcept;
    // The column's title; empty for a column that does not exist.
    std::wstring ColumnTitle(int column) const;

    // Cell text to sort record: a day/month/year date gets the value yyyymmdd and numeric 1;
    // any other text its leading number (',' read as '.'), numeric left as it was.
    static void ParseCell(LIST_ROW& row, int index, const std::wstring& text);
    // Ascending on the first click on a column, then descending, then ascending again; item 0
    // ends up selected and visible. A column that does not exist does nothing.
    void SortByColumn(int column);
    // Sorts ascending by the column unless it is already, then selects and shows the first row
    // whose cell begins with `text`, ignoring case; other selected rows stay selected.
    void Find(int column, const std::wstring& text);
    // Deletes from the view the rows whose cell differs from `value` (a date by its value, any
    // other text as a whole, ignoring case); an empty value asks the parent for every row.
    void FilterByValue(int column, const std::wstring& value);
    // The row's visible cells, each in double quotes, a TAB between two.
    void CopyRow(int item);
    void CopyToClipboard(const std::wstring& text);
    // Empties the combo and lists every column title in it with the column index as item data;
    // the number of columns.
    int FillColumnCombo(HWND combo);
    // `width` -1 is an automatic width; every other shown column is fitted to its cells.
    void SetColumnWidthAndFit(int column, int width);
    void SetSortArrow(int column, bool ascending);
    // The icon-sized image of a context-menu command on the menu background; none for another
    // command.
    vb::UniqueBitmap MakeMenuBitmap(UINT command) const;
    void BeginEditAt(POINT point);

protected:
    void PreSubclassWindow() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    using UniqueBrush = vb::UniqueHandle<vb::GdiObjectTraits<HBRUSH>>;

    // Sets the busy flag and stops the painting for a scope.
    class BusyScope;

    void OnNotify(const NMHDR& header);
    void OnContextMenu(POINT point);
    void OnSize();
    void OnPaint();
    void DrawItem(const DRAWITEMSTRUCT& draw);
    bool IsRightAligned(int column) const noexcept;
    // LVSCW_AUTOSIZE, or the title's width for a column without cell text.
    void FitColumn(int column);
    // The row under a client point, -1 for none.
    int ItemAt(POINT point) const noexcept;
    // The shown column under `x` in `item`'s row and that cell's rectangle; -1 for none.
    int ColumnAt(int item, int x, RECT* cell = nullptr) const;
    void SetSelected(int item) const noexcept;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(Handle(), message, wParam, lParam);
    }

    vb::OleSession ole_;
    bool busy_ = false;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    CEditEx editor_{*this};
    CHeaderCtrlEx header_;
    int filterColumn_ = 0;
    int ascendingColumn_ = -1;
    vb::UniqueBitmap menuBitmaps_[4];
    std::vector<long> editableColumns_;
    UniqueBrush evenBrush_;
    UniqueBrush oddBrush_;
    // The last text source put on the clipboard.
    vb::ComPtr<IDataObject> clipboardSource_;
};
