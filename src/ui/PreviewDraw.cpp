#include "PreviewDraw.h"

#include <algorithm>

namespace vb {

void DrawPreviewRuns(HDC dc, int x, int y, const std::string& text, const std::vector<PreviewRun>& runs,
                     COLORREF differenceColour) {
    int saved = ::SaveDC(dc);
    for (const PreviewRun& run : runs) {
        if (run.start >= text.size()) break;
        const char* piece = text.data() + run.start;
        int length = static_cast<int>(std::min(run.length, text.size() - run.start));
        if (run.drawn) {
            ::SetTextColor(dc, run.differs ? RGB(255, 255, 255) : RGB(0, 0, 0));
            ::SetBkColor(dc, run.differs ? differenceColour : RGB(255, 255, 255));
            ::SetBkMode(dc, run.differs ? OPAQUE : TRANSPARENT);
            ::TextOutA(dc, x, y, piece, length);
        }
        SIZE size{};
        ::GetTextExtentPoint32A(dc, piece, length, &size);
        x += size.cx;
    }
    ::RestoreDC(dc, saved);
}

void DrawPreviewEmptyText(HDC dc, const RECT& area, const std::wstring& text) {
    RECT box = area;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace vb
