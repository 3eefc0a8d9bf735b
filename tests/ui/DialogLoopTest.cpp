#include <windows.h>

#include "UiTestSupport.h"

namespace {

using DialogLoopTest = UiTest;

TEST_F(DialogLoopTest, PostedEnterAndEscapeReachTheirHandlers) {
    struct Row {
        WPARAM key;
        INT_PTR result;
    };
    for (Row row : {Row{VK_RETURN, IDOK}, Row{VK_ESCAPE, IDCANCEL}}) {
        SCOPED_TRACE(row.key);
        TestDialog dialog;
        dialog.onInit = [&](TestDialog& self) { ::PostMessageW(self.Handle(), WM_KEYDOWN, row.key, 0); };
        EXPECT_EQ(RunModalGuarded(dialog), row.result);
        EXPECT_EQ(dialog.handled, std::vector<UINT>{static_cast<UINT>(row.result)});
    }
}

TEST_F(DialogLoopTest, ModalLoopServesTheKeysOfARegisteredModelessDialog) {
    TestDialog modeless;
    OpenShown(modeless);
    TestDialog modal;
    modal.onInit = [&](TestDialog& self) {
        ::PostMessageW(modeless.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(self.Handle(), WM_APP, 0, 0);
    };
    modal.onPosted = [](TestDialog& self) { self.EndDialog(IDOK); };
    EXPECT_EQ(RunModalGuarded(modal), IDOK);
    EXPECT_EQ(modeless.handled, std::vector<UINT>{IDCANCEL});
    // Ending a modeless dialog destroys its window, and the object lets go of it.
    EXPECT_EQ(modeless.Handle(), nullptr);
}

// A control that handles its own notifications.
class NotificationProbe : public vb::Window {
public:
    UINT message = 0;
    UINT code = 0;

protected:
    bool OnReflectedMessage(UINT reflected, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        message = reflected;
        code = reflected == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->code : HIWORD(wParam);
        result = 1234;
        return true;
    }
};

TEST_F(DialogLoopTest, NotificationsGoBackToTheControlThatSentThem) {
    TestDialog dialog;
    OpenShown(dialog);
    HWND button = dialog.Item(IDC_TEST_BUTTON);
    NotificationProbe probe;
    ASSERT_TRUE(probe.Attach(button));

    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(probe.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(probe.code, static_cast<UINT>(BN_CLICKED));

    NMHDR header{button, IDC_TEST_BUTTON, NM_RCLICK};
    LRESULT result = ::SendMessageW(dialog.Handle(), WM_NOTIFY, IDC_TEST_BUTTON, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(probe.message, static_cast<UINT>(WM_NOTIFY));
    EXPECT_EQ(probe.code, static_cast<UINT>(NM_RCLICK));
    EXPECT_EQ(result, 1234);
}

}  // namespace
