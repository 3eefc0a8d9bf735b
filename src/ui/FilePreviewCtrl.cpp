#include "FilePreviewCtrl.h"

#include <commctrl.h>
#include <process.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "PreviewLineSplitter.h"
#include "PreviewLines.h"
#include "PreviewScroll.h"

namespace {

constexpr UINT_PTR kRefreshTimer = 0;
constexpr UINT kRefreshMilliseconds = 250;
// Every read of a memory stream takes the process heap's lock (GlobalLock), which two loaders
// and the painter share: 64 KiB reads index a 100 MB capture about a third faster than 4 KiB
// ones, and hold the data lock for a few microseconds only.
constexpr ULONG kLoaderChunk = 1 << 16;

int ToInt(ULONGLONG value) noexcept { return static_cast<int>(std::min<ULONGLONG>(value, INT_MAX)); }

}  // namespace

CFilePreviewCtrl::CFilePreviewCtrl()
    : font_(::CreateFontW(14, 7, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier")) {
    stream_.CreateMemoryStream();
}

CFilePreviewCtrl::~CFilePreviewCtrl() {
    // The loader works on this object: it must be gone before any member is.
    StopLoader();
    LinkWith(nullptr);
}

int CFilePreviewCtrl::SetFile(CStreamFile& file, BOOL markDifferences, int mode) {
    bool hasStream = file.IsOpen();
    firstDifference_ = markDifferences && hasStream ? 0 : -1;
    diffSearch_.Restart();
    StopLoader();
    {
        vb::SectionGuard guard(dataLock_);
        RetireStream();
        if (hasStream) {
            stream_.Attach(file.Detach());
            length_ = stream_.GetLength();
            if (mode == vb::kPreviewDetect) mode = length_ ? DetectMode(stream_) : vb::kPreviewText;
            mode_ = mode;
        } else {
            stream_.CreateMemoryStream();
            length_ = 0;
        }
        ResetView();
        if (mode_ == vb::kPreviewHex) {
            lineWidth_ = bytesPerLine_ * 4 + 11;
            lineCount_ = length_ / bytesPerLine_ + (length_ % bytesPerLine_ ? 1 : 0);
        }
    }
    bool load = mode_ == vb::kPreviewText || mode_ == vb::kPreviewImage;
    // Loading from here on, so that the painting below waits for the lines of a text.
    loading_ = load;
    UpdateScrollBars();
    if (Handle()) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
        ::UpdateWindow(Handle());
    }
    // The loader starts once the window has been drawn, so the two do not compete.
    if (load) StartLoader();
    if (mode_ == vb::kPreviewText && loading_ && Handle()) {
        ::SetTimer(Handle(), kRefreshTimer, kRefreshMilliseconds, nullptr);
    }
    return 1;
}

void CFilePreviewCtrl::RetireStream() {
    // Freeing a large memory stream gives its pages back to the system (about 15 ms for 100 MB):
    // neither the caller nor the other pane, often set next, waits for it. One retired earlier
    // and still held goes now.
    retired_ = stream_.Detach();
    if (!retired_ || !Handle() || !::PostMessageW(Handle(), kReleaseMessage, 0, 0)) retired_.Reset();
}

void CFilePreviewCtrl::Clear() {
    CStreamFile none;
    SetFile(none, FALSE, mode_);
}

void CFilePreviewCtrl::SetMode(int mode) {
    CStreamFile data;
    TakeFile(data);
    SetFile(data, FALSE, mode);
}

void CFilePreviewCtrl::TakeFile(CStreamFile& file) {
    StopLoader();
    vb::SectionGuard guard(dataLock_);
    file.Attach(stream_.Detach());
    stream_.CreateMemoryStream();
    length_ = 0;
    ResetView();
}

void CFilePreviewCtrl::ResetView() {
    LOGFONTW description{};
    if (font_ && ::GetObjectW(font_.Get(), sizeof(description), &description)) {
        charWidth_ = description.lfWidth + 1;
        lineHeight_ = std::abs(description.lfHeight);
    }
    vPos_ = 0;
    hPos_ = 0;
    lineIndex_.clear();
    lineCount_ = 0;
    lineWidth_ = 0;
    image_.Free();
}

void CFilePreviewCtrl::LinkWith(CFilePreviewCtrl* other) {
    if (other == this) return;
    if (link_ && link_->link_ == this) link_->link_ = nullptr;
    link_ = other;
    if (!other) return;
    if (other->link_ && other->link_ != this) other->link_->link_ = nullptr;
    other->link_ = this;
}

void CFilePreviewCtrl::SetImage(HBITMAP bitmap, HPALETTE palette) {
    image_.Set(bitmap, palette);
    if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

ULONGLONG CFilePreviewCtrl::LineCount() {
    vb::SectionGuard guard(dataLock_);
    return lineCount_;
}

int CFilePreviewCtrl::LineWidth() {
    vb::SectionGuard guard(dataLock_);
    return lineWidth_;
}

bool CFilePreviewCtrl::LineStart(ULONGLONG line, ULONGLONG& offset) {
    vb::SectionGuard guard(dataLock_);
    if (line >= lineIndex_.size()) return false;
    offset = lineIndex_[static_cast<size_t>(line)];
    return true;
}

std::string CFilePreviewCtrl::FormatHexLine(const BYTE* bytes, int count, ULONGLONG offset) {
    return vb::FormatPreviewHexLine(bytes, static_cast<size_t>(std::max(count, 0)), offset);
}

ULONG CFilePreviewCtrl::ReadAt(ULONGLONG offset, BYTE* buffer, ULONG size) {
    vb::SectionGuard guard(dataLock_);
    if (offset >= length_ || !size) return 0;
    size = static_cast<ULONG>(std::min<ULONGLONG>(size, length_ - offset));
    if (!stream_.Seek(static_cast<LONGLONG>(offset))) return 0;
    return stream_.Read(buffer, size);
}

ULONGLONG CFilePreviewCtrl::Length() {
    vb::SectionGuard guard(dataLock_);
    return length_;
}

// ---- Loader ----------------------------------------------------------------------------------

void CFilePreviewCtrl::StartLoader() {
    abort_ = false;
    loading_ = true;
    loaderWindow_ = Handle();
    auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &LoaderMain, this, 0, nullptr));
    if (thread) {
        loader_.Reset(thread);
        return;
    }
    // Without a thread the text is indexed here, slower to show but complete.
    loaderWindow_ = nullptr;
    LoaderMain(this);
}

void CFilePreviewCtrl::StopLoader() {
    if (!loader_) return;
    abort_ = true;
    // The loader only ever posts to the window and takes the data lock for one chunk at a
    // time, which this thread does not hold here: the wait ends.
    ::WaitForSingleObject(loader_.Get(), INFINITE);
    loader_.Reset();
}

unsigned __stdcall CFilePreviewCtrl::LoaderMain(void* pane) {
    auto* self = static_cast<CFilePreviewCtrl*>(pane);
    try {
        if (self->mode_ == vb::kPreviewText) self->BuildLineIndex();
    } catch (...) {
        // Out of memory for the index: the lines indexed so far stay shown.
    }
    HWND window = self->loaderWindow_;
    self->loading_ = false;
    if (window) ::PostMessageW(window, kLoadedMessage, 0, 0);
    return 0;
}

void CFilePreviewCtrl::BuildLineIndex() {
    ULONGLONG total = Length();
    // Offsets are 32-bit: data beyond 4 GiB are not indexed.
    total = std::min<ULONGLONG>(total, UINT32_MAX);
    if (total) {
        vb::SectionGuard guard(dataLock_);
        lineIndex_.push_back(0);
    }
    vb::PreviewLineSplitter splitter(total);
    std::vector<BYTE> chunk(kLoaderChunk);
    std::vector<uint32_t> nextStarts;
    int width = 0;
    for (ULONGLONG offset = 0;;) {
        ULONG read = 0;
        {
            // One lock a chunk, not a byte: the lines found in a chunk go in with the read of
            // the next, so the painter waits at most for one short append and read.
            vb::SectionGuard guard(dataLock_);
            lineIndex_.insert(lineIndex_.end(), nextStarts.begin(), nextStarts.end());
            lineCount_ += nextStarts.size();
            lineWidth_ = std::max(lineWidth_, width);
            if (offset >= total || abort_) break;
            read = ReadAt(offset, chunk.data(), static_cast<ULONG>(std::min<ULONGLONG>(kLoaderChunk, total - offset)));
        }
        if (read == 0) break;
        nextStarts.clear();
        splitter.Scan(chunk.data(), read, offset, nextStarts, width);
        offset += read;
    }
}

// ---- Scroll bars and scrolling ---------------------------------------------------------------

void CFilePreviewCtrl::UpdateScrollBars() {
    HWND window = Handle();
    if (!window) return;
    RECT client{};
    ::GetClientRect(window, &client);
    SCROLLINFO vertical{};
    vertical.cbSize = sizeof(vertical);
    vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    SCROLLINFO horizontal = vertical;
    {
        vb::SectionGuard guard(dataLock_);
        vPage_ = ToInt(std::min<ULONGLONG>(client.bottom / std::max(lineHeight_, 1), lineCount_));
        vMax_ = ToInt(lineCount_) - 1;
        vPos_ = std::min(vPos_, vMax_ - vPage_ + 1);
        hPage_ = std::min(lineWidth_ + 1, static_cast<int>(client.right / std::max(charWidth_, 1)));
        hMax_ = std::max(lineWidth_ - 1, 0);
        // Wider than the lines: -1, so lines start one column in from the left edge.
        hPos_ = std::min(hPos_, hMax_ - hPage_ + 1);
    }
    vertical.nMax = vMax_;
    vertical.nPage = static_cast<UINT>(std::max(vPage_, 0));
    vertical.nPos = vPos_;
    horizontal.nMax = hMax_;
    horizontal.nPage = static_cast<UINT>(std::max(std::min(hPage_, hMax_ + 1), 0));
    horizontal.nPos = hPos_;
    ::SetScrollInfo(window, SB_VERT, &vertical, TRUE);
    ::SetScrollInfo(window, SB_HORZ, &horizontal, TRUE);
}

void CFilePreviewCtrl::OnScroll(int bar, int code) {
    int track = 0;
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        // The message's own 16-bit position cannot reach past line 65,535 of a large capture.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(Handle(), bar, &info);
        track = info.nTrackPos;
    }
    Scroll(bar, code, track);
}

void CFilePreviewCtrl::Scroll(int bar, int code, int target) {
    int start = bar == SB_VERT ? vPos_ : hPos_;
    // The linked pane makes the same move from the same position, so both stay in step.
    if (link_) link_->MoveTo(bar, code, target, start);
    MoveTo(bar, code, target, start);
}

void CFilePreviewCtrl::MoveTo(int bar, int code, int target, int start) {
    bool vertical = bar == SB_VERT;
    int& position = vertical ? vPos_ : hPos_;
    int maximum = vertical ? vMax_ : hMax_;
    int page = vertical ? vPage_ : hPage_;
    int next = vb::PreviewScrollTarget(code, start, maximum, page, target, vertical);
    next = vb::ClampPreviewScroll(next, maximum, page, vertical);
    if (next == position) return;
    position = next;
    ::SetScrollPos(Handle(), bar, position, TRUE);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

// ---- Messages --------------------------------------------------------------------------------

LRESULT CFilePreviewCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = Handle();
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (HDC dc = ::BeginPaint(window, &paint)) {
                Paint(dc);
                ::EndPaint(window, &paint);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            // Painting fills the whole pane.
            Default();
            return FALSE;
        case WM_SIZE: {
            LRESULT result = Default();
            UpdateScrollBars();
            ::InvalidateRect(window, nullptr, FALSE);
            ::UpdateWindow(window);
            return result;
        }
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            Scroll(SB_VERT, SB_THUMBPOSITION,
                   vb::PreviewWheelTarget(vPos_, vMax_, GET_WHEEL_DELTA_WPARAM(wParam)));
            return 0;
        case WM_TIMER: {
            if (wParam == kSearchTimer) {
                SeekFirstDifference();
                return 0;
            }
            LRESULT result = Default();
            UpdateScrollBars();
            ::InvalidateRect(window, nullptr, FALSE);
            return result;
        }
        case kLoadedMessage:
            // A loader stopped by a later SetFile still posts; the refresh of the loader now
            // running goes on until that one reports.
            if (!loading_) ::KillTimer(window, kRefreshTimer);
            UpdateScrollBars();
            ::InvalidateRect(window, nullptr, FALSE);
            return 0;
        case kReleaseMessage:
            retired_.Reset();
            return 0;
        case WM_RBUTTONUP: {
            LRESULT result = Default();
            NMHDR header{window, static_cast<UINT_PTR>(::GetDlgCtrlID(window)), static_cast<UINT>(NM_RCLICK)};
            ::SendMessageW(::GetParent(window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
            return result;
        }
        case WM_DESTROY: {
            LRESULT result = Default();
            StopLoader();
            ::KillTimer(window, kRefreshTimer);
            ::KillTimer(window, kSearchTimer);
            vb::SectionGuard guard(dataLock_);
            stream_.Close();
            length_ = 0;
            return result;
        }
        case WM_NCHITTEST:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN:
        case WM_NCXBUTTONDOWN:
            // The static control would let the mouse through; its scroll bars must take it.
            return ::DefWindowProcW(window, message, wParam, lParam);
        default:
            break;
    }
    return Default();
}
