#include "PopupMenu.h"

#include <utility>

namespace vb {

namespace {

TrackPopupMenuFunction g_trackPopupMenu = ::TrackPopupMenu;

}  // namespace

BOOL ShowPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
    return g_trackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

TrackPopupMenuFunction SetTrackPopupMenuFunction(TrackPopupMenuFunction function) noexcept {
    return std::exchange(g_trackPopupMenu, function ? function : ::TrackPopupMenu);
}

}  // namespace vb
