#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "PreviewDraw.h"

namespace vb {

constexpr int kPreviewBytesPerLine = 16;
// "%08X  ", three columns a byte, one blank, one column a byte.
constexpr int kPreviewHexLineWidth = kPreviewBytesPerLine * 4 + 11;

// One hex dump line: the low 32 bits of the offset, the bytes in hex (blanks for bytes the line
// lacks), one blank, then the bytes as characters, those below 32 or above 128 as ".".
std::string FormatPreviewHexLine(const BYTE* bytes, size_t count, ULONGLONG offset);

// How a hex line is drawn beside the linked pane's line at the same offset: one normal run when
// both are equal; else the offset a character at a time, each byte's two digits as one piece
// (the blank behind them stepped over), and the character column a character at a time, each
// piece differing where the other line's piece does not match it.
std::vector<PreviewRun> HexLineRuns(const std::string& line, const std::string& other);

// A text line ready to draw: its bytes with a final LF left out and tabs expanded to stops of
// `tabSize` cells, in runs of equal bytes and single differing bytes. `other` holds the linked
// pane's bytes at the same offsets; bytes it lacks count as differing.
struct PreviewTextLine {
    std::string text;
    std::vector<PreviewRun> runs;
};
PreviewTextLine LayoutPreviewTextLine(const BYTE* bytes, size_t count, const BYTE* other, size_t otherCount,
                                      int tabSize);

}  // namespace vb
