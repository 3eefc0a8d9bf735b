#pragma once
#include <windows.h>

namespace vb {

// TrackPopupMenu's signature; tests put in a stand-in that picks a command, since no one can
// click a menu in a test.
using TrackPopupMenuFunction = BOOL(WINAPI*)(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                                             const RECT* rect);

// Shows a popup menu through the function in effect; with TPM_RETURNCMD the chosen command.
BOOL ShowPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);
// What was in effect is returned; null puts the system's back.
TrackPopupMenuFunction SetTrackPopupMenuFunction(TrackPopupMenuFunction function) noexcept;

}  // namespace vb
