#pragma once
#include <windows.h>

namespace vb {

// Scroll positions of a preview pane. A bar runs from 0 to `maximum` and shows `page` units;
// the horizontal position may stand at -1, which indents lines by one column when the pane is
// wider than its lines.

// The position a scroll bar request (SB_*) asks for, before clamping; `track` is the bar's
// track position for the thumb requests.
int PreviewScrollTarget(int code, int position, int maximum, int page, int track, bool vertical) noexcept;
// At most maximum - page + 1; not below 0 for the vertical bar.
int ClampPreviewScroll(int position, int maximum, int page, bool vertical) noexcept;
// A wheel turn moves a tenth of the vertical maximum per notch: towards the start for a turn
// away from the user (positive delta), towards the end for one towards the user, by its sign
// however fast the turn. Data of fewer than 11 lines do not move.
int PreviewWheelTarget(int position, int maximum, int delta) noexcept;

}  // namespace vb
