// Painting of the preview pane and its search for the first line that differs from the linked
// pane.
#include <algorithm>
#include <climits>

#include "FilePreviewCtrl.h"
#include "PreviewDraw.h"
#include "PreviewLines.h"

namespace {

// Bytes compared per step of the search: a few milliseconds, so the window keeps answering
// while two large captures are compared.
constexpr ULONGLONG kSearchBudget = 8u << 20;
constexpr UINT kSearchStepMilliseconds = 10;

}  // namespace

void CFilePreviewCtrl::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SelectObject(dc, font_.Get());
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    if (Length() == 0) {
        vb::DrawPreviewEmptyText(dc, client, emptyText_);
    } else if (mode_ == vb::kPreviewHex || mode_ == vb::kPreviewText) {
        PaintLines(dc, client);
    } else if (!image_.Draw(dc, client)) {
        vb::DrawPreviewEmptyText(dc, client, emptyText_);
    }
    ::RestoreDC(dc, saved);
    if (firstDifference_ == 0) SeekFirstDifference();
}

void CFilePreviewCtrl::PaintLines(HDC dc, const RECT& client) {
    ULONGLONG first = static_cast<ULONGLONG>(std::max(vPos_, 0));
    int height = std::max(lineHeight_, 1);
    ULONGLONG shown = client.bottom / height + (client.bottom % height ? 1 : 0);
    ULONGLONG end = std::min(first + shown, LineCount());
    for (ULONGLONG line = first; line < end; ++line) {
        if (mode_ == vb::kPreviewHex) {
            PaintHexLine(dc, line);
        } else {
            PaintTextLine(dc, line);
        }
    }
}

void CFilePreviewCtrl::PaintHexLine(HDC dc, ULONGLONG line) {
    BYTE own[vb::kPreviewBytesPerLine] = {}, other[vb::kPreviewBytesPerLine] = {};
    ULONGLONG offset = line * vb::kPreviewBytesPerLine;
    ULONG count = ReadAt(offset, own, vb::kPreviewBytesPerLine);
    // Where the linked data end earlier, the bytes they lack are left out of their line and so
    // show as differing.
    ULONG otherCount = link_ ? link_->ReadAt(offset, other, count) : count;
    if (!link_) std::copy(own, own + count, other);
    std::string text = vb::FormatPreviewHexLine(own, count, offset);
    std::string linked = vb::FormatPreviewHexLine(other, otherCount, offset);
    int x = -(hPos_ * charWidth_);
    // Hex lines stand one pixel closer than the font's height.
    int y = static_cast<int>(line - vPos_) * (lineHeight_ - 1);
    vb::DrawPreviewRuns(dc, x, y, text, vb::HexLineRuns(text, linked), colour_);
}

void CFilePreviewCtrl::PaintTextLine(HDC dc, ULONGLONG line) {
    ULONGLONG start = 0, end = 0;
    if (!LineStart(line, start) || !LineStart(line + 1, end) || end <= start) return;
    auto count = static_cast<ULONG>(std::min<ULONGLONG>(end - start, 4096));
    BYTE own[4096], other[4096];
    count = ReadAt(start, own, count);
    ULONG otherCount = link_ ? link_->ReadAt(start, other, count) : count;
    if (!link_) std::copy(own, own + count, other);
    vb::PreviewTextLine text = vb::LayoutPreviewTextLine(own, count, other, otherCount, tabSize_);
    int x = -(hPos_ * charWidth_);
    int y = static_cast<int>(line - vPos_) * lineHeight_;
    vb::DrawPreviewRuns(dc, x, y, text.text, text.runs, colour_);
}

void CFilePreviewCtrl::SeekFirstDifference() {
    HWND window = Handle();
    ::KillTimer(window, kSearchTimer);
    if (firstDifference_ != 0) return;
    // A text's line is known once its loader is done, and comparing meanwhile would only slow
    // the loader: the end of loading paints again, and the search starts then.
    if (mode_ == vb::kPreviewText && loading_) return;
    CFilePreviewCtrl* other = link_ ? link_ : this;
    auto readOwn = [this](ULONGLONG offset, BYTE* buffer, ULONG size) { return ReadAt(offset, buffer, size); };
    auto readOther = [other](ULONGLONG offset, BYTE* buffer, ULONG size) { return other->ReadAt(offset, buffer, size); };
    if (!diffSearch_.Step(readOwn, Length(), readOther, other->Length(), kSearchBudget)) {
        ::SetTimer(window, kSearchTimer, kSearchStepMilliseconds, nullptr);
        return;
    }
    const auto& difference = diffSearch_.Difference();
    if (!difference) {
        firstDifference_ = -1;
        return;
    }
    ULONGLONG line = 0;
    {
        vb::SectionGuard guard(dataLock_);
        if (mode_ == vb::kPreviewHex) {
            line = *difference / bytesPerLine_;
            if (line >= lineCount_) line = ULLONG_MAX;
        } else if (mode_ == vb::kPreviewText && !lineIndex_.empty() && *difference < lineIndex_.back()) {
            auto after = std::upper_bound(lineIndex_.begin(), lineIndex_.end(), *difference);
            line = static_cast<ULONGLONG>(after - lineIndex_.begin()) - 1;
        } else {
            line = ULLONG_MAX;
        }
    }
    if (line == ULLONG_MAX) {
        firstDifference_ = -1;
        return;
    }
    firstDifference_ = static_cast<int>(std::min<ULONGLONG>(line + 1, INT_MAX));
    ShowFirstDifference();
}

void CFilePreviewCtrl::ShowFirstDifference() {
    int line = firstDifference_ - 1;
    // Looked for once per SetFile.
    firstDifference_ = -1;
    // The loader may have indexed more lines since the ranges were last set.
    UpdateScrollBars();
    if (line < vPos_ + vPage_) return;
    vPos_ = std::max(std::min(line, vMax_ - vPage_ + 1), 0);
    ::SetScrollPos(Handle(), SB_VERT, vPos_, TRUE);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}
