#include "ListCtrlEx.h"

#include <commctrl.h>

#include "ClipboardText.h"
#include "PopupMenu.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "Strings.h"

namespace {

constexpr int kImageSize = 16;
constexpr COLORREF kInk = RGB(40, 60, 110);
constexpr COLORREF kPaper = RGB(255, 255, 255);

using UniqueBrush = vb::UniqueHandle<vb::GdiObjectTraits<HBRUSH>>;
using UniquePen = vb::UniqueHandle<vb::GdiObjectTraits<HPEN>>;

// Menu texts are shown as given: an '&' of a cell is no mnemonic.
std::wstring MenuText(const std::wstring& text) { return vb::ReplaceAll(text, L"&", L"&&"); }

void AppendCommand(HMENU menu, UINT command, const std::wstring& text, bool enabled, HBITMAP image) {
    std::wstring shown = MenuText(text);
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_BITMAP;
    item.wID = command;
    item.dwTypeData = shown.data();
    item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    item.hbmpItem = image;
    ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &item);
}

// The commands' images: a list, a funnel, two sheets, a row of cells.
void PaintCommandImage(HDC dc, UINT command) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, kInk));
    UniqueBrush ink(::CreateSolidBrush(kInk));
    UniqueBrush paper(::CreateSolidBrush(kPaper));
    vb::ScopedSelect selectPen(dc, pen.Get());
    switch (command) {
        case CListCtrlEx::kDisplayAllCommand:
            for (int y : {3, 7, 11}) {
                RECT bar{2, y, 14, y + 2};
                ::FillRect(dc, &bar, ink.Get());
            }
            break;
        case CListCtrlEx::kFilterCommand: {
            vb::ScopedSelect brush(dc, ink.Get());
            const POINT funnel[] = {{1, 2}, {14, 2}, {9, 8}, {9, 14}, {6, 12}, {6, 8}};
            ::Polygon(dc, funnel, 6);
            break;
        }
        case CListCtrlEx::kCopyCellCommand: {
            vb::ScopedSelect brush(dc, paper.Get());
            ::Rectangle(dc, 1, 1, 10, 12);
            ::Rectangle(dc, 5, 4, 15, 15);
            break;
        }
        case CListCtrlEx::kCopyRowCommand: {
            vb::ScopedSelect brush(dc, paper.Get());
            ::Rectangle(dc, 0, 5, 16, 11);
            for (int x : {5, 10}) {
                ::MoveToEx(dc, x, 5, nullptr);
                ::LineTo(dc, x, 11);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

vb::UniqueBitmap CListCtrlEx::MakeMenuBitmap(UINT command) const {
    if (command < kDisplayAllCommand || command > kCopyRowCommand) return {};
    vb::ScopedWindowDC window(Handle());
    vb::UniqueDC memory(::CreateCompatibleDC(window.Get()));
    vb::UniqueBitmap bitmap(::CreateCompatibleBitmap(window.Get(), kImageSize, kImageSize));
    if (!memory || !bitmap) return {};
    {
        vb::ScopedSelect select(memory.Get(), bitmap.Get());
        RECT all{0, 0, kImageSize, kImageSize};
        ::FillRect(memory.Get(), &all, ::GetSysColorBrush(COLOR_MENU));
        PaintCommandImage(memory.Get(), command);
    }
    return bitmap;
}

void CListCtrlEx::OnContextMenu(POINT point) {
    Default();
    vb::UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    const int item = ItemAt(point);
    int column = 0;
    std::wstring cell;
    if (item >= 0) {
        const int under = ColumnAt(item, point.x);
        if (under >= 0) {
            column = under;
            cell = ItemText(item, under);
        }
    }
    HMENU popup = menu.Get();
    AppendCommand(popup, kDisplayAllCommand, vb::LoadResString(IDS_LIST_DISPLAY_ALL), filterColumn_ != -1,
                  menuBitmaps_[0].Get());
    AppendCommand(popup, kFilterCommand, vb::FormatResString(IDS_LIST_FILTER_ON_VALUE, {cell}), !cell.empty(),
                  menuBitmaps_[1].Get());
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendCommand(popup, kCopyCellCommand, vb::FormatResString(IDS_LIST_COPY_CELL, {cell}), !cell.empty(),
                  menuBitmaps_[2].Get());
    AppendCommand(popup, kCopyRowCommand, vb::LoadResString(IDS_LIST_COPY_ROW), item >= 0, menuBitmaps_[3].Get());
    const int columns = ColumnCount();
    if (columns > 0) ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < columns; ++i) {
        const UINT checked = ColumnWidth(i) != 0 ? MF_CHECKED : MF_UNCHECKED;
        ::AppendMenuW(popup, MF_STRING | checked, kFirstColumnCommand + static_cast<UINT>(i),
                      MenuText(ColumnTitle(i)).c_str());
    }

    POINT screen = point;
    ::ClientToScreen(Handle(), &screen);
    const auto command = static_cast<UINT>(
        vb::ShowPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, Handle()));
    if (command >= kFirstColumnCommand && command < kFirstColumnCommand + static_cast<UINT>(columns)) {
        const int chosen = static_cast<int>(command - kFirstColumnCommand);
        SetColumnWidthAndFit(chosen, ColumnWidth(chosen) != 0 ? 0 : -1);
        return;
    }
    switch (command) {
        case kDisplayAllCommand:
            FilterByValue(column, {});
            break;
        case kFilterCommand:
            FilterByValue(column, cell);
            break;
        case kCopyCellCommand:
            CopyToClipboard(cell);
            break;
        case kCopyRowCommand:
            CopyRow(item);
            break;
        default:
            break;
    }
}

void CListCtrlEx::CopyRow(int item) {
    if (item < 0 || item >= ItemCount()) return;
    std::wstring row;
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i) {
        if (ColumnWidth(i) == 0) continue;
        if (!row.empty()) row += L'\t';
        row += L'"' + ItemText(item, i) + L'"';
    }
    CopyToClipboard(row);
}

void CListCtrlEx::CopyToClipboard(const std::wstring& text) {
    if (auto source = vb::PutTextOnClipboard(Handle(), text)) clipboardSource_ = std::move(source);
}
