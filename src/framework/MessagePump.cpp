#include "MessagePump.h"

#include <windows.h>

#include "DialogMessages.h"

namespace vb {

void DispatchPendingMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Keys for the open dialogs (Tab, Enter, Escape) work while a run pumps messages too.
        if (TranslateDialogMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace vb
