#include "CheckListView.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace vb {

namespace {

constexpr UINT_PTR kSubclassId = 0x56424C43;

struct CheckMarks {
    std::vector<bool> checked;
};

LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* marks = reinterpret_cast<CheckMarks*>(data);
    switch (message) {
        case LB_ADDSTRING:
        case LB_INSERTSTRING: {
            LRESULT index = ::DefSubclassProc(list, message, wParam, lParam);
            if (index < 0 || static_cast<size_t>(index) > marks->checked.size()) return index;
            try {
                marks->checked.insert(marks->checked.begin() + index, false);
            } catch (...) {
                // An entry without a mark would shift every later mark: take the entry back.
                ::DefSubclassProc(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
                return LB_ERRSPACE;
            }
            return index;
        }
        case LB_DELETESTRING: {
            LRESULT left = ::DefSubclassProc(list, message, wParam, lParam);
            if (left != LB_ERR && wParam < marks->checked.size()) {
                marks->checked.erase(marks->checked.begin() + static_cast<std::ptrdiff_t>(wParam));
            }
            return left;
        }
        case LB_RESETCONTENT:
            marks->checked.clear();
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(list, CheckListProc, kSubclassId);
            delete marks;
            break;
        default:
            break;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

CheckMarks* MarksOf(HWND list) noexcept {
    DWORD_PTR data = 0;
    if (!list || !::GetWindowSubclass(list, CheckListProc, kSubclassId, &data)) return nullptr;
    return reinterpret_cast<CheckMarks*>(data);
}

}  // namespace

CheckListView::CheckListView(HWND list) : list_(list) {
    if (!IsWindow() || MarksOf(list_)) return;
    auto marks = std::make_unique<CheckMarks>();
    // Entries added before the first view start unchecked.
    marks->checked.resize(static_cast<size_t>(std::max(GetCount(), 0)));
    if (::SetWindowSubclass(list_, CheckListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(marks.get()))) {
        marks.release();  // the window owns it now and frees it at WM_NCDESTROY
    }
}

std::wstring CheckListView::GetText(int index) const {
    LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
    return text;
}

bool CheckListView::GetCheck(int index) const noexcept {
    const CheckMarks* marks = MarksOf(list_);
    return marks && index >= 0 && static_cast<size_t>(index) < marks->checked.size() &&
           marks->checked[static_cast<size_t>(index)];
}

bool CheckListView::SetCheck(int index, bool checked) const noexcept {
    CheckMarks* marks = MarksOf(list_);
    if (!marks || index < 0 || static_cast<size_t>(index) >= marks->checked.size()) return false;
    if (marks->checked[static_cast<size_t>(index)] == checked) return true;
    marks->checked[static_cast<size_t>(index)] = checked;
    RECT item{};
    if (Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
        ::InvalidateRect(list_, &item, FALSE);
    }
    return true;
}

}  // namespace vb
