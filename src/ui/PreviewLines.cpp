#include "PreviewLines.h"

#include <algorithm>
#include <cstdio>

namespace vb {

namespace {

constexpr size_t kOffsetColumns = 10;

bool SamePiece(const std::string& line, const std::string& other, size_t start, size_t length) {
    if (start >= other.size()) return false;
    return line.compare(start, length, other, start, length) == 0;
}

}  // namespace

std::string FormatPreviewHexLine(const BYTE* bytes, size_t count, ULONGLONG offset) {
    char text[kPreviewHexLineWidth + 1];
    int used = std::snprintf(text, sizeof(text), "%08X  ", static_cast<unsigned>(offset & 0xFFFFFFFFu));
    std::string line(text, static_cast<size_t>(used));
    for (size_t i = 0; i < kPreviewBytesPerLine; ++i) {
        if (i < count) {
            std::snprintf(text, sizeof(text), "%02X ", bytes[i]);
            line += text;
        } else {
            line += "   ";
        }
    }
    line += ' ';
    for (size_t i = 0; i < count && i < kPreviewBytesPerLine; ++i) {
        line += bytes[i] < 32 || bytes[i] > 128 ? '.' : static_cast<char>(bytes[i]);
    }
    return line;
}

std::vector<PreviewRun> HexLineRuns(const std::string& line, const std::string& other) {
    if (line == other) return {{0, line.size(), false}};
    std::vector<PreviewRun> runs;
    auto add = [&](size_t start, size_t length, bool drawn) {
        if (start >= line.size()) return;
        length = std::min(length, line.size() - start);
        runs.push_back({start, length, drawn && !SamePiece(line, other, start, length), drawn});
    };
    size_t position = 0;
    for (; position < kOffsetColumns; ++position) add(position, 1, true);
    for (int byte = 0; byte < kPreviewBytesPerLine; ++byte, position += 3) {
        add(position, 2, true);
        add(position + 2, 1, false);
    }
    for (; position < line.size(); ++position) add(position, 1, true);
    return runs;
}

PreviewTextLine LayoutPreviewTextLine(const BYTE* bytes, size_t count, const BYTE* other, size_t otherCount,
                                      int tabSize) {
    if (count > 0 && bytes[count - 1] == '\n') --count;
    if (tabSize < 1) tabSize = 1;
    PreviewTextLine line;
    for (size_t i = 0; i < count; ++i) {
        bool differs = i >= otherCount || bytes[i] != other[i];
        size_t start = line.text.size();
        if (bytes[i] == '\t') {
            line.text.append(tabSize - start % tabSize, ' ');
        } else {
            line.text += static_cast<char>(bytes[i]);
        }
        size_t length = line.text.size() - start;
        // Equal bytes join the run before them; each differing byte stands alone.
        if (!differs && !line.runs.empty() && !line.runs.back().differs) {
            line.runs.back().length += length;
        } else {
            line.runs.push_back({start, length, differs});
        }
    }
    return line;
}

}  // namespace vb
