#pragma once
#include <windows.h>

namespace vb {

// Dialogs that live beside a modal loop (a search window beside the result viewer) need their
// keyboard handling (Tab, Enter, Esc) from whichever loop is running; they register here.
void RegisterModelessDialog(HWND dialog);
void UnregisterModelessDialog(HWND dialog);

// Offers a queued message, in turn, to the PreTranslateMessage of the window it is aimed at and
// of its parents, to the modal dialog (when there is one) and to every registered modeless
// dialog. True when one of them dealt with it and it must not be dispatched.
bool TranslateDialogMessage(MSG& message, HWND modalDialog = nullptr);

}  // namespace vb
