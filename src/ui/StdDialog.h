#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "ButtonEx.h"
#include "Dialog.h"
#include "UniqueHandle.h"

// The base of the bench's own dialogs. Every one opens the same way (OnInitDialog): a dialog
// font of height -12 with ClearType quality on every window of it, OK and Cancel as icon
// buttons with their icons, and the icon of the button that opened the dialog as its small
// icon. Derived dialogs call CStdDialog::OnInitDialog first, then make their own command
// buttons with SubclassButton and SetButtonIcon.
class CStdDialog : public vb::Dialog {
public:
    // Command button icons are this size at 96 pixels per inch.
    static constexpr int kButtonIconSize = 48;

    explicit CStdDialog(UINT templateId, HWND parent = nullptr) noexcept : Dialog(templateId, parent) {}
    ~CStdDialog() override;

    // Makes the dialog item `id` an icon button owned by the dialog; the caller checks that the
    // item exists. The result of the subclassing.
    BOOL SubclassButton(UINT id);
    // Gives the dialog item `id` the program's icon `iconId` at the command button size scaled
    // to the screen; the button owns it from then on. A failed load leaves it without an icon.
    void SetButtonIcon(UINT id, UINT iconId);

    // Layout of a resizable dialog whose client area is now cx x cy: `child` keeps its left
    // margin on the right and at the bottom too, and Cancel stays in the top right corner
    // without covering the control before it.
    void ResizeChild(HWND child, int cx, int cy);

protected:
    BOOL OnInitDialog() override;

private:
    void SetDialogFont();
    void TakeParentIcon();

    vb::UniqueFont dialogFont_;
    std::vector<std::unique_ptr<CButtonEx>> buttons_;
};
