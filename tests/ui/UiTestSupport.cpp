#include "UiTestSupport.h"

#include <commctrl.h>

#include <cstdlib>
#include <utility>

namespace {

TestDialog* g_guarded = nullptr;

void CALLBACK EndGuardedDialog(HWND, UINT, UINT_PTR, DWORD) {
    if (g_guarded) g_guarded->EndDialog(-2);
}

}  // namespace

BOOL TestDialog::OnInitDialog() {
    BOOL result = CStdDialog::OnInitDialog();
    if (onInit) onInit(*this);
    return result;
}

LRESULT TestDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP || !onPosted) return CStdDialog::OnMessage(message, wParam, lParam);
    onPosted(*this);
    return 0;
}

void TestDialog::OnOK() {
    handled.push_back(IDOK);
    CStdDialog::OnOK();
}

void TestDialog::OnCancel() {
    handled.push_back(IDCANCEL);
    if (onCancel) onCancel(*this);
    CStdDialog::OnCancel();
}

void OpenShown(TestDialog& dialog) {
    ASSERT_TRUE(dialog.Create());
    ::ShowWindow(dialog.Handle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(dialog.Handle());
}

INT_PTR RunModalGuarded(TestDialog& dialog) {
    TestDialog* outer = std::exchange(g_guarded, &dialog);
    UINT_PTR timer = ::SetTimer(nullptr, 0, 5000, EndGuardedDialog);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_guarded = outer;
    return result;
}

int CountPixelsNear(HWND window, const RECT& area, COLORREF colour, int tolerance) {
    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
    vb::ScopedWindowDC dc(window);
    auto close = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            COLORREF pixel = ::GetPixel(dc.Get(), x, y);
            count += close(GetRValue(pixel), GetRValue(colour)) && close(GetGValue(pixel), GetGValue(colour)) &&
                     close(GetBValue(pixel), GetBValue(colour));
        }
    }
    return count;
}

void UiTest::SetUp() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
}
