// The result viewer's layout: the list in the top two fifths beside "Find", the display mode
// below it in the middle, the two panes sharing the rest.
#include "DBOuputDlg.h"

#include "ResourceIds.h"

namespace {

constexpr int kGap = 5;

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Moves without painting; the parent repaints both the place left and the place taken.
void MoveChild(HWND child, const RECT& to) {
    if (!child) return;
    HWND parent = ::GetParent(child);
    const RECT from = ChildRect(child);
    ::InvalidateRect(parent, &from, TRUE);
    ::SetWindowPos(child, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    ::InvalidateRect(parent, &to, TRUE);
}

// The same size at another place.
void MoveChildTo(HWND child, int left, int top) {
    if (!child) return;
    const RECT rect = ChildRect(child);
    MoveChild(child, {left, top, left + rect.right - rect.left, top + rect.bottom - rect.top});
}

int Width(const RECT& rect) { return rect.right - rect.left; }

}  // namespace

void CDBOuputDlg::OnSize(int cx, int cy) {
    HWND list = list_.Handle();
    if (!list) return;
    HWND dialog = Handle();
    RECT comboClient{};
    ::GetClientRect(displayMode_, &comboClient);
    const int half = cx / 2;
    const int top = (2 * cy) / 5 - comboClient.bottom;

    HWND find = ::GetDlgItem(dialog, IDC_RESULT_FIND);
    int findWidth = 0;
    if (find) {
        const RECT rect = ChildRect(find);
        findWidth = Width(rect);
        MoveChildTo(find, cx - kGap - findWidth, rect.top);
    }
    // The list keeps its left margin on the right (before "Find") and at the bottom.
    ResizeChild(list, cx - findWidth, top + kGap);

    if (HWND label = ::GetDlgItem(dialog, IDC_RESULT_DISPLAY_MODE_LABEL)) {
        MoveChildTo(label, half - kGap - Width(ChildRect(label)), top);
    }
    MoveChildTo(displayMode_, half, top);

    const int panesTop = (displayMode_ ? ChildRect(displayMode_).bottom : top) + kGap;
    HWND left = leftPreview_.Handle();
    HWND right = rightPreview_.Handle();
    // The left pane's margin, as the template placed it, is kept all round and between the panes.
    const int margin = left ? ChildRect(left).left : kGap;
    MoveChild(left, {margin, panesTop, half - margin / 2, cy - margin});
    MoveChild(right, {half + margin / 2, panesTop, cx - margin, cy - margin});
}
