#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vb {

// A stretch of one preview line drawn in one go: in the normal colours, or white on the pane's
// colour where its bytes differ from the linked pane's. A stretch that is not drawn (the blank
// between two hex bytes) is only stepped over.
struct PreviewRun {
    size_t start;
    size_t length;
    bool differs;
    bool drawn = true;
};

// Draws the runs of single-byte `text` left to right from (x, y), each advancing x by its
// measured width; the DC's colours and background mode are restored afterwards.
void DrawPreviewRuns(HDC dc, int x, int y, const std::string& text, const std::vector<PreviewRun>& runs,
                     COLORREF differenceColour);

// A pane's text for data it cannot show, centred horizontally at the top of `area`.
void DrawPreviewEmptyText(HDC dc, const RECT& area, const std::wstring& text);

}  // namespace vb
