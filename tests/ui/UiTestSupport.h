#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ButtonEx.h"
#include "StdDialog.h"
#include "UiTestIds.h"

// The test dialog with hooks: `onInit` runs after the standard opening, `onPosted` when WM_APP
// arrives (to act from inside the dialog's own loop), `onCancel` before Cancel ends it; OK and
// Cancel are recorded in `handled`.
class TestDialog : public CStdDialog {
public:
    explicit TestDialog(HWND parent = nullptr) : CStdDialog(IDD_TEST_DIALOG, parent) {}

    std::function<void(TestDialog&)> onInit, onPosted, onCancel;
    std::vector<UINT> handled;

    HWND Item(int id) const { return ::GetDlgItem(Handle(), id); }
    CButtonEx* Button(int id) const { return dynamic_cast<CButtonEx*>(vb::Window::FromHandle(Item(id))); }

protected:
    BOOL OnInitDialog() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
};

// Opens the dialog modeless, shown and painted.
void OpenShown(TestDialog& dialog);
// Runs the dialog modally; one still open after five seconds ends with -2, so a broken loop
// fails the test instead of hanging it.
INT_PTR RunModalGuarded(TestDialog& dialog);

// Pixels of `window`'s client area inside `area`, freshly painted on the screen, whose channels
// are each within `tolerance` of `colour`.
int CountPixelsNear(HWND window, const RECT& area, COLORREF colour, int tolerance);

// Common controls as the program's start-up prepares them.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
};
