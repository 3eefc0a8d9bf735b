#include <windows.h>

#include <array>
#include <string>

#include "ScreenDpi.h"
#include "UiTestSupport.h"

namespace {

using StdDialogTest = UiTest;

BOOL CALLBACK CountWrongFonts(HWND window, LPARAM wrong) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    bool right = handle && ::GetObjectW(handle, sizeof(font), &font) && font.lfHeight == -12 &&
                 font.lfWeight == 400 && font.lfQuality == CLEARTYPE_QUALITY;
    *reinterpret_cast<int*>(wrong) += right ? 0 : 1;
    return TRUE;
}

TEST_F(StdDialogTest, EveryWindowInTheDialogGetsTheDialogFont) {
    TestDialog dialog;
    OpenShown(dialog);
    // The five controls and the combo's own edit, a level further down.
    ASSERT_NE(::FindWindowExW(dialog.Item(IDC_TEST_COMBO), nullptr, L"Edit", nullptr), nullptr);
    int wrong = 0;
    ::EnumChildWindows(dialog.Handle(), CountWrongFonts, reinterpret_cast<LPARAM>(&wrong));
    EXPECT_EQ(wrong, 0);
    // The icon buttons draw their captions bold at -14 from it.
    LOGFONTW caption{};
    ASSERT_TRUE(::GetObjectW(dialog.Button(IDOK)->CaptionFont(), sizeof(caption), &caption));
    EXPECT_EQ(caption.lfHeight, -14);
    EXPECT_EQ(caption.lfWeight, 700);
    EXPECT_EQ(caption.lfQuality, CLEARTYPE_QUALITY);
}

TEST_F(StdDialogTest, OkAndCancelCarryTheirIconsScaledByThePixelsPerInchOfEachAxis) {
    struct Row {
        int dpiX, dpiY;
        LONG width, height;
    };
    for (Row row : {Row{96, 96, 48, 48}, Row{144, 120, 72, 60}, Row{120, 192, 60, 96}}) {
        SCOPED_TRACE(std::to_string(row.dpiX) + " x " + std::to_string(row.dpiY));
        vb::PixelsPerInch previous = vb::SetScreenPixelsPerInch({row.dpiX, row.dpiY});
        TestDialog dialog;
        OpenShown(dialog);
        vb::SetScreenPixelsPerInch(previous);
        // Each painted icon shows its disc's colour near the top: green for OK, red for Cancel.
        for (auto [id, disc] : {std::pair{IDOK, RGB(0x1E, 0x9A, 0x3C)}, std::pair{IDCANCEL, RGB(0xC8, 0x32, 0x2D)}}) {
            CButtonEx* button = dialog.Button(id);
            EXPECT_EQ(button->IconSize().cx, row.width);
            EXPECT_EQ(button->IconSize().cy, row.height);
            RECT content = button->ContentRect();
            LONG x = (content.left + content.right) / 2, y = content.top + row.height / 6;
            EXPECT_EQ(CountPixelsNear(dialog.Item(id), {x, y, x + 1, y + 1}, disc, 40), 1);
        }
    }
}

using Edges = std::array<LONG, 4>;

Edges RectInDialog(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST_F(StdDialogTest, ResizeChildKeepsTheMarginAndCancelInTheCornerWithoutCoveringItsPredecessor) {
    // In a 400 x 300 client, Cancel (80 wide, 10 from the top) goes to 310..390 unless OK, the
    // control before it, reaches past that with its own top margin (12) added.
    for (LONG okRight : {200, 320}) {
        TestDialog dialog;
        OpenShown(dialog);
        HWND label = dialog.Item(IDC_TEST_LABEL), cancel = dialog.Item(IDCANCEL);
        ::SetWindowPos(label, nullptr, 8, 40, 50, 50, SWP_NOZORDER);
        ::SetWindowPos(dialog.Item(IDOK), nullptr, okRight - 60, 12, 60, 30, SWP_NOZORDER);
        ::SetWindowPos(cancel, nullptr, 100, 10, 80, 30, SWP_NOZORDER);
        dialog.ResizeChild(label, 400, 300);
        EXPECT_EQ(RectInDialog(label), (Edges{8, 40, 392, 292}));
        LONG left = okRight == 200 ? 310 : 332;
        EXPECT_EQ(RectInDialog(cancel), (Edges{left, 10, left + 80, 40}));
    }
}

// Enter reaches the modal dialog's OK handler and Escape the modeless one's Cancel handler (Escape
// on a modal dialog: the next test).
TEST_F(StdDialogTest, ModalLoopServesTheKeysOfARegisteredModelessDialog) {
    TestDialog modeless;
    OpenShown(modeless);
    TestDialog modal;
    modal.onInit = [&](TestDialog& self) {
        ::PostMessageW(modeless.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(self.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    };
    EXPECT_EQ(RunModalGuarded(modal), IDOK);
    EXPECT_EQ(modal.handled, std::vector<UINT>{IDOK});
    EXPECT_EQ(modeless.handled, std::vector<UINT>{IDCANCEL});
    // Ending a modeless dialog destroys its window, and the object lets go of it.
    EXPECT_EQ(modeless.Handle(), nullptr);
}

TEST_F(StdDialogTest, DialogOpenedFromAnIconButtonShowsItsIconAndDisablesTheOwnerWhileItRuns) {
    INT_PTR innerResult = 0;
    BOOL ownerEnabledDuring = TRUE, ownerEnabledAfter = FALSE;
    HICON buttonIcon = nullptr, innerSmallIcon = nullptr;
    TestDialog outer;
    outer.onInit = [](TestDialog& self) { ::PostMessageW(self.Handle(), WM_APP, 0, 0); };
    outer.onPosted = [&](TestDialog& self) {
        buttonIcon = reinterpret_cast<HICON>(::SendMessageW(self.Item(IDOK), BM_GETIMAGE, IMAGE_ICON, 0));
        TestDialog inner(self.Item(IDOK));
        inner.onInit = [](TestDialog& in) { ::PostMessageW(in.Handle(), WM_KEYDOWN, VK_ESCAPE, 0); };
        inner.onCancel = [&](TestDialog& in) {
            ownerEnabledDuring = ::IsWindowEnabled(self.Handle());
            innerSmallIcon = reinterpret_cast<HICON>(::SendMessageW(in.Handle(), WM_GETICON, ICON_SMALL, 0));
        };
        innerResult = RunModalGuarded(inner);
        ownerEnabledAfter = ::IsWindowEnabled(self.Handle());
        self.EndDialog(IDOK);
    };
    EXPECT_EQ(RunModalGuarded(outer), IDOK);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(ownerEnabledAfter);
    ASSERT_NE(buttonIcon, nullptr);
    EXPECT_EQ(innerSmallIcon, buttonIcon);
}

}  // namespace
