#pragma once
#include <windows.h>

#include "Window.h"

// The column header of the bench's report lists, taken over from the list view's own header
// window: 45 pixels high so a sort arrow fits above the title, every item painted as a
// vertical gradient that turns light blue under the mouse and sinks by one pixel while
// pressed. The sort arrow follows the items' HDF_SORTUP and HDF_SORTDOWN flags.
class CHeaderCtrlEx : public vb::Window {
public:
    static constexpr int kHeight = 45;
    static constexpr int kArrowSize = 16;
    static constexpr COLORREF kGradientTop = RGB(255, 255, 255);
    static constexpr COLORREF kGradientBottom = RGB(148, 178, 208);
    static constexpr COLORREF kGradientBottomHot = RGB(124, 206, 241);
    static constexpr COLORREF kDisabledText = RGB(192, 192, 192);

    // The item under the mouse pointer, -1 when there is none.
    int HotItem() const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    void PaintItem(HDC dc, int index, RECT bounds, bool hot, bool pressed);
    void TrackHotItem();

    int hotItem_ = -1;
};
