#include "FillListFromRowset.h"

#include <commctrl.h>

#include <string>

#include "DbConnection.h"
#include "RedrawLock.h"
#include "Variant.h"

namespace {

// Full-row select and one-click activation, and nothing else.
constexpr DWORD kListStyle = LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;

// A date of 0 is no date; a value without a text form (a null) shows as an empty cell.
std::wstring CellText(const vb::Variant& value) {
    if (value.Type() == VT_DATE && V_DATE(value.Get()) == 0) return {};
    return vb::ToText(*value.Get()).value_or(std::wstring());
}

void SetColumn(HWND list, int index, int count, int width, std::wstring title, int format) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
    column.cx = width;
    column.pszText = title.data();
    column.fmt = format;
    if (index < count) {
        ::SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    } else {
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    }
    if (index == 0) {
        // The first column of a list stays left-aligned when it is inserted; asking again
        // aligns it.
        column.mask = LVCF_FMT;
        ::SendMessageW(list, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        column.fmt |= format;
        ::SendMessageW(list, LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    }
}

void SetCell(HWND list, int row, int column, std::wstring text) {
    LVITEMW item{};
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = text.data();
    if (column == 0) {
        item.mask = LVIF_TEXT;
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace

void FillListFromRowset(CDbConnection& connection, HWND list, LPCWSTR sql) {
    if (!list || !::IsWindow(list) || !sql || !*sql || !connection.IsOpen()) return;
    if (!connection.Execute(sql, 0)) return;
    const int columns = connection.GetColumnCount();
    {
        vb::RedrawLock lock(list);
        ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
        auto headerCount = [header] {
            return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        };
        while (headerCount() > columns && ::SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
        }
        ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListStyle);

        RECT client{};
        ::GetClientRect(list, &client);
        const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
        const int count = headerCount();
        for (int i = 0; i < columns; ++i) {
            DBTYPE type = connection.GetColumnType(i + 1);
            int format = type == DBTYPE_BSTR || type == DBTYPE_WSTR ? LVCFMT_LEFT : LVCFMT_RIGHT;
            // The last column takes what the others leave.
            int columnWidth = i + 1 < columns ? width / columns : width - width / columns * (columns - 1);
            SetColumn(list, i, count, columnWidth, connection.GetColumnName(i + 1), format);
        }
        for (int row = 0; connection.LastResult() == S_OK; ++row) {
            for (int i = 0; i < columns; ++i) SetCell(list, row, i, CellText(connection.GetValue(i + 1)));
            connection.MoveNext();
        }
        connection.Close();
    }
}
