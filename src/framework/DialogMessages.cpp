#include "DialogMessages.h"

#include <algorithm>
#include <vector>

#include "Window.h"

namespace vb {

namespace {

// The user-interface thread is the only one that creates dialogs.
std::vector<HWND>& ModelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

bool PreTranslateInChain(MSG& message) {
    for (HWND window = message.hwnd; window; window = ::GetParent(window)) {
        Window* object = Window::FromHandle(window);
        if (object && object->PreTranslateMessage(message)) return true;
        // GetParent of a top-level window is its owner, which is no longer in the chain.
        if (!(::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

}  // namespace

void RegisterModelessDialog(HWND dialog) {
    auto& dialogs = ModelessDialogs();
    if (dialog && std::find(dialogs.begin(), dialogs.end(), dialog) == dialogs.end()) dialogs.push_back(dialog);
}

void UnregisterModelessDialog(HWND dialog) {
    auto& dialogs = ModelessDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

bool TranslateDialogMessage(MSG& message, HWND modalDialog) {
    if (PreTranslateInChain(message)) return true;
    if (modalDialog && ::IsDialogMessageW(modalDialog, &message)) return true;
    // By index: a dialog may close, and so unregister, while it handles the message.
    const auto& dialogs = ModelessDialogs();
    for (size_t i = 0; i < dialogs.size(); ++i) {
        HWND dialog = dialogs[i];
        if (::IsWindow(dialog) && ::IsDialogMessageW(dialog, &message)) return true;
    }
    return false;
}

}  // namespace vb
