#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "CriticalSection.h"
#include "PreviewDiffSearch.h"
#include "PreviewImage.h"
#include "PreviewModeDetect.h"
#include "StreamFile.h"
#include "UniqueHandle.h"
#include "Window.h"

// A pane of the result viewer: captured bytes as a hex dump or as single-byte text (or a
// bitmap), over an existing static control, with its own scroll bars and a fixed-pitch font. A
// loader thread indexes the lines of a text so that a large one never blocks the window; it
// reports only by posting kLoadedMessage. Two linked panes scroll together and colour the
// bytes in which each differs from the other at the same offset.
class CFilePreviewCtrl : public vb::Window {
public:
    static constexpr UINT kLoadedMessage = WM_APP + 0x64;

    CFilePreviewCtrl();
    ~CFilePreviewCtrl() override;

    // Shows the stream taken out of `file` (which is left without one) in `mode`: kPreviewHex,
    // kPreviewText, kPreviewImage, or kPreviewDetect to choose hex or text from the bytes; any
    // other mode shows the empty text. A file without a stream empties the pane and keeps the
    // mode. With `markDifferences` the pane, when it next paints, looks for the first line that
    // differs from the linked pane and brings it to the top. A loader still running is stopped
    // first. Returns 1.
    int SetFile(CStreamFile& file, BOOL markDifferences, int mode);
    // Empties the pane, keeping its mode, so it shows "No data to display": for an item whose
    // data cannot be read, so that no earlier item's bytes stay under the new item's name.
    void Clear();
    // Shows the same data again in another mode, without marking; kPreviewDetect detects anew.
    void SetMode(int mode);
    // Hands the pane's data to `file` (stopping the loader), leaving the pane empty.
    void TakeFile(CStreamFile& file);

    // Links this pane and `other` both ways, or unlinks this pane when `other` is null.
    void LinkWith(CFilePreviewCtrl* other);
    // The background of differing characters (white by default).
    void SetDifferenceColour(COLORREF colour) noexcept { colour_ = colour; }
    // Takes over a bitmap and its palette (either may be null) that image mode draws scaled;
    // SetFile frees them, so it comes after SetFile.
    void SetImage(HBITMAP bitmap, HPALETTE palette);

    // The mode shown: after kPreviewDetect, the one detected.
    int Mode() const noexcept { return mode_; }
    ULONGLONG LineCount();
    int LineWidth();
    // Where text line `line` starts; the entry after the last line is where the data end.
    bool LineStart(ULONGLONG line, ULONGLONG& offset);
    int FirstVisibleLine() const noexcept { return vPos_; }
    int FirstVisibleColumn() const noexcept { return hPos_; }
    bool IsLoading() const noexcept { return loading_; }
    // True from a marking SetFile until the first difference has been looked for.
    bool IsSeekingDifference() const noexcept { return firstDifference_ == 0; }
    const std::wstring& EmptyText() const noexcept { return emptyText_; }

    static int DetectMode(CStreamFile& stream) { return vb::DetectPreviewMode(stream.Get()); }
    static std::string FormatHexLine(const BYTE* bytes, int count, ULONGLONG offset);
    // Recomputes the pages, ranges and positions of both scroll bars from the client size.
    void UpdateScrollBars();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT_PTR kSearchTimer = 1;
    // Lets go of the data shown before the last SetFile.
    static constexpr UINT kReleaseMessage = WM_APP + 0x65;

    static unsigned __stdcall LoaderMain(void* pane);
    void StartLoader();
    void StopLoader();
    void BuildLineIndex();
    void ResetView();
    // Takes the stream out of the pane; it is released once the window is idle.
    void RetireStream();

    // Up to `size` bytes at `offset`, one seek-and-read under the data lock.
    ULONG ReadAt(ULONGLONG offset, BYTE* buffer, ULONG size);
    ULONGLONG Length();

    void OnScroll(int bar, int code);
    void Scroll(int bar, int code, int target);
    void MoveTo(int bar, int code, int target, int start);

    // Painting and the search for the first difference (FilePreviewPaint.cpp).
    void Paint(HDC dc);
    void PaintLines(HDC dc, const RECT& client);
    void PaintHexLine(HDC dc, ULONGLONG line);
    void PaintTextLine(HDC dc, ULONGLONG line);
    void SeekFirstDifference();
    void ShowFirstDifference();

    int mode_ = vb::kPreviewHex;
    vb::CriticalSection dataLock_;
    CStreamFile stream_;
    vb::ComPtr<IStream> retired_;
    ULONGLONG length_ = 0;
    CFilePreviewCtrl* link_ = nullptr;
    COLORREF colour_ = RGB(255, 255, 255);
    vb::UniqueFont font_;
    int charWidth_ = 10;
    int lineHeight_ = 10;
    int hPage_ = 0;
    int vPage_ = 0;
    int lineWidth_ = 0;
    ULONGLONG lineCount_ = 0;
    int bytesPerLine_ = 16;
    int tabSize_ = 4;
    std::wstring emptyText_ = L"No data to display";
    int hPos_ = 0;
    int hMax_ = 0;
    // -1: not looked for; 0: to be looked for; n > 0: line n - 1 is the first that differs.
    int firstDifference_ = 0;
    int vPos_ = 0;
    int vMax_ = 0;
    // Start offset of each text line, then the end of the last one. A deque grows without
    // copying what it holds, which matters for the millions of lines of a large capture.
    std::deque<uint32_t> lineIndex_;
    vb::UniqueKernelHandle loader_;
    HWND loaderWindow_ = nullptr;
    std::atomic<bool> abort_{false};
    std::atomic<bool> loading_{false};
    vb::PreviewImage image_;
    vb::PreviewDiffSearch diffSearch_;
};
