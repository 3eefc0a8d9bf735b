#include <windows.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <string>

#include "ResourceIds.h"
#include "UiTestSupport.h"

namespace {

using ButtonExTest = UiTest;

// The plain push button of the test dialog as a further icon button, with the OK icon.
void OpenWithExtraIconButton(TestDialog& dialog) {
    dialog.onInit = [](TestDialog& self) {
        self.SubclassButton(IDC_TEST_BUTTON);
        self.SetButtonIcon(IDC_TEST_BUTTON, IDI_BUTTON_OK);
    };
    OpenShown(dialog);
}

void MouseOver(HWND button) { ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }

TEST_F(ButtonExTest, ThemeStateAndContentOffsetFollowTheButtonState) {
    struct Row {
        const char* name;
        int id;
        bool mouseOver, space, disable;
        int state;
        LONG offset;
    };
    const Row rows[] = {
        {"normal", IDC_TEST_BUTTON, false, false, false, PBS_NORMAL, 0},
        {"default push button", IDOK, false, false, false, PBS_DEFAULTED, 0},
        {"mouse over", IDC_TEST_BUTTON, true, false, false, PBS_HOT, 0},
        {"space with the mouse elsewhere", IDC_TEST_BUTTON, false, true, false, PBS_PRESSED, 1},
        {"pressed under the mouse", IDC_TEST_BUTTON, true, true, false, PBS_HOT, 1},
        {"disabled under the mouse", IDC_TEST_BUTTON, true, false, true, PBS_DISABLED, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestDialog dialog;
        OpenWithExtraIconButton(dialog);
        HWND handle = dialog.Item(row.id);
        if (row.mouseOver) MouseOver(handle);
        if (row.space) ::SendMessageW(handle, WM_KEYDOWN, VK_SPACE, 0);
        if (row.disable) ::EnableWindow(handle, FALSE);
        EXPECT_EQ(dialog.Button(row.id)->ThemeState(), row.state);
        RECT content = dialog.Button(row.id)->ContentRect();
        EXPECT_EQ(content.left, 2 + row.offset);
        EXPECT_EQ(content.top, 3 + row.offset);
    }
}

TEST_F(ButtonExTest, CaptionKeepsAtMost259Characters) {
    const std::wstring text = std::wstring(200, L'a') + std::wstring(100, L'b');
    for (bool beforeSubclassing : {true, false}) {
        SCOPED_TRACE(beforeSubclassing ? "control text at subclassing" : "WM_SETTEXT afterwards");
        TestDialog dialog;
        dialog.onInit = [&](TestDialog& self) {
            if (beforeSubclassing) ::SetWindowTextW(self.Item(IDC_TEST_BUTTON), text.c_str());
            self.SubclassButton(IDC_TEST_BUTTON);
            if (!beforeSubclassing) ::SetWindowTextW(self.Item(IDC_TEST_BUTTON), text.c_str());
        };
        OpenShown(dialog);
        EXPECT_EQ(dialog.Button(IDC_TEST_BUTTON)->Caption(), text.substr(0, 259));
    }
}

// Caption pixels of `colour` below the icon: the count with the caption less the count with an
// empty one, so a face that happens to have that colour does not count.
int CaptionPixels(TestDialog& dialog, COLORREF colour) {
    CButtonEx* button = dialog.Button(IDC_TEST_BUTTON);
    RECT area = button->ContentRect();
    area.top += button->IconSize().cy;
    int withCaption = CountPixelsNear(button->Handle(), area, colour, 24);
    std::wstring caption = button->Caption();
    ::SetWindowTextW(button->Handle(), L"");
    int without = CountPixelsNear(button->Handle(), area, colour, 24);
    ::SetWindowTextW(button->Handle(), caption.c_str());
    return withCaption - without;
}

TEST_F(ButtonExTest, HotAndDisabledCaptionsArePaintedInTheirColours) {
    constexpr COLORREF kBlue = 0xFF0000;
    TestDialog dialog;
    OpenWithExtraIconButton(dialog);
    HWND button = dialog.Item(IDC_TEST_BUTTON);
    EXPECT_EQ(CaptionPixels(dialog, kBlue), 0);
    MouseOver(button);
    EXPECT_GE(CaptionPixels(dialog, kBlue), 8);

    // Disabled under the mouse: the caption is light grey and the icon greyed (OR-ed with light
    // grey), so nothing in the content is darker than 0xC0 in any channel, yet the caption is
    // there in that grey.
    ::EnableWindow(button, FALSE);
    EXPECT_EQ(CaptionPixels(dialog, kBlue), 0);
    EXPECT_GE(CaptionPixels(dialog, 0xC0C0C0), 8);
    RECT content = dialog.Button(IDC_TEST_BUTTON)->ContentRect();
    LONG pixels = (content.right - content.left) * (content.bottom - content.top);
    EXPECT_EQ(CountPixelsNear(button, content, RGB(0xE0, 0xE0, 0xE0), 0x20), pixels);
}

TEST_F(ButtonExTest, ClassicFaceIsPaintedWhenThemesAreOff) {
    TestDialog dialog;
    OpenWithExtraIconButton(dialog);
    HWND button = dialog.Item(IDC_TEST_BUTTON);
    // A sub-application name and class list that match no theme class; empty ones would mean
    // "back to the default" under Wine.
    ::SetWindowTheme(button, L" ", L" ");
    RECT client{};
    ::GetClientRect(button, &client);
    RECT corner{client.right - 1, client.bottom - 1, client.right, client.bottom};
    EXPECT_EQ(CountPixelsNear(button, corner, ::GetSysColor(COLOR_3DDKSHADOW), 0), 1);
    RECT face{4, client.bottom / 2, 5, client.bottom / 2 + 1};
    EXPECT_EQ(CountPixelsNear(button, face, ::GetSysColor(COLOR_BTNFACE), 0), 1);
}

}  // namespace
