#include "PreviewScroll.h"

#include <algorithm>
#include <cstdlib>

namespace vb {

int PreviewScrollTarget(int code, int position, int maximum, int page, int track, bool vertical) noexcept {
    int step = std::max(page, 1);
    switch (code) {
        case SB_LINEUP:
            return position >= 1 ? position - 1 : position;
        case SB_LINEDOWN:
            return position + 1;
        case SB_PAGEUP:
            return std::max(position - step, 0);
        case SB_PAGEDOWN:
            return position + step;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            return track;
        case SB_TOP:
            return 0;
        case SB_BOTTOM:
            return vertical ? maximum - page + 1 : maximum + 1;
        default:
            return position;
    }
}

int ClampPreviewScroll(int position, int maximum, int page, bool vertical) noexcept {
    position = std::min(position, maximum - page + 1);
    return vertical ? std::max(position, 0) : position;
}

int PreviewWheelTarget(int position, int maximum, int delta) noexcept {
    if (delta == 0 || maximum <= 0) return position;
    long long notches = std::max(1, std::abs(delta) / WHEEL_DELTA);
    long long move = notches * (maximum / 10);
    long long target = delta > 0 ? position - move : position + move;
    return static_cast<int>(std::clamp<long long>(target, 0, maximum));
}

}  // namespace vb
