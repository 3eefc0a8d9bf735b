#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "FilePreviewCtrl.h"
#include "MessagePump.h"
#include "PreviewLineSplitter.h"
#include "UiTestSupport.h"

namespace {

using vb::kPreviewDetect;
using vb::kPreviewHex;
using vb::kPreviewImage;
using vb::kPreviewText;

constexpr COLORREF kLeftColour = RGB(0, 0, 255);
constexpr COLORREF kRightColour = RGB(255, 0, 0);

using vb::DispatchPendingMessages;

// Pumps until the panes' loaders have ended and each has looked for its first difference.
void Settle(std::initializer_list<CFilePreviewCtrl*> panes) {
    DWORD start = ::GetTickCount();
    auto busy = [&] {
        for (auto* pane : panes) {
            if (pane->IsLoading() || pane->IsSeekingDifference()) return true;
        }
        return false;
    };
    while (busy() && ::GetTickCount() - start < 10000) {
        DispatchPendingMessages();
        ::Sleep(1);
    }
    DispatchPendingMessages();
    ASSERT_FALSE(busy());
}

void Show(CFilePreviewCtrl& pane, const std::string& bytes, BOOL mark, int mode) {
    CStreamFile file;
    ASSERT_TRUE(file.CreateMemoryStream());
    ASSERT_TRUE(file.Write(bytes.data(), static_cast<ULONG>(bytes.size())));
    file.SeekToBegin();
    pane.SetFile(file, mark, mode);
    EXPECT_FALSE(file.IsOpen());
}

// Shows a large text and returns with its loader still running; a busy machine may let the
// loader finish before the call returns, so it tries again a few times.
void ShowStillLoading(CFilePreviewCtrl& pane, const std::string& text) {
    for (int attempt = 0; attempt < 5 && !pane.IsLoading(); ++attempt) {
        DispatchPendingMessages();
        Show(pane, text, FALSE, kPreviewText);
    }
    ASSERT_TRUE(pane.IsLoading());
}

// Two linked panes side by side on a window of their own, coloured as the result viewer
// colours them.
class FilePreviewCtrlTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        host_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 900, 420, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_TRUE(host_);
        ASSERT_TRUE(left_.Attach(MakePane(1008, 5)));
        ASSERT_TRUE(right_.Attach(MakePane(1009, 455)));
        left_.LinkWith(&right_);
        left_.SetDifferenceColour(kLeftColour);
        right_.SetDifferenceColour(kRightColour);
    }
    void TearDown() override {
        if (host_) ::DestroyWindow(host_);
        DispatchPendingMessages();
    }

    HWND MakePane(int id, int x) {
        return ::CreateWindowExW(0, L"STATIC", L"Static", WS_CHILD | WS_VISIBLE | WS_BORDER, x, 5, 440, 400, host_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    // As the result viewer loads a failed row: the right pane hidden while both are set.
    void ShowBoth(const std::string& leftBytes, const std::string& rightBytes, BOOL mark, int mode) {
        ::ShowWindow(right_.Handle(), SW_HIDE);
        Show(right_, rightBytes, mark, mode);
        Show(left_, leftBytes, mark, mode);
        ::ShowWindow(right_.Handle(), SW_SHOW);
        ::InvalidateRect(right_.Handle(), nullptr, TRUE);
        ::UpdateWindow(right_.Handle());
        Settle({&left_, &right_});
    }

    HWND host_ = nullptr;
    CFilePreviewCtrl left_, right_;
};

// Lines of 64 bytes, so offset n stands on text line n / 64 and hex line n / 16.
std::string Capture(size_t size) {
    std::string text;
    for (int line = 0; text.size() < size; ++line) {
        std::string row = "^FO" + std::to_string(100000 + line) + ",20^FDLabel text of the sample capture";
        row.resize(63, '.');
        text += row + "\n";
    }
    text.resize(size);
    return text;
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST_F(FilePreviewCtrlTest, AutoModeDetectsHexOrText) {
    std::string printable;
    for (int byte = 0x20; byte <= 0x80; ++byte) printable += static_cast<char>(byte);
    struct Row {
        const char* name;
        std::string bytes;
        int mode;
    } rows[] = {
        {"empty", "", kPreviewText},
        {"0x81", "\x81", kPreviewHex},
        {"0x20 to 0x80 with CR, LF, TAB", printable + "\r\n\t", kPreviewText},
        {"NUL", std::string(1, '\0'), kPreviewHex},
        {"0x1F", "ab\x1f", kPreviewHex},
        {"0xFF late", std::string(70000, 'a') + "\xff", kPreviewHex},
        // Bytes are judged 16 or 32 at a time, the rest one by one: the deciding byte at the
        // edges of those blocks, and the allowed edge values inside them.
        {"0x1F last of 16", std::string(15, 'a') + "\x1f", kPreviewHex},
        {"0x81 first after 32", std::string(32, 'a') + "\x81" + std::string(31, 'a'), kPreviewHex},
        {"NUL last of 64", std::string(63, 'a') + std::string(1, '\0'), kPreviewHex},
        {"VT after whole blocks", std::string(64, 'a') + "ab\x0b", kPreviewHex},
        {"TAB, CR, LF and 0x80 in whole blocks", Repeat("\t\r\n\x80", 16), kPreviewText},
        {"0x20 and 0x7F in whole blocks", Repeat(" \x7f", 32), kPreviewText},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Show(left_, row.bytes, FALSE, kPreviewDetect);
        EXPECT_EQ(left_.Mode(), row.mode);
    }
}

TEST_F(FilePreviewCtrlTest, HexDumpOf33BytesHasThreeLinesOf75Columns) {
    std::string bytes(33, 'A');
    Show(left_, bytes, FALSE, kPreviewHex);
    EXPECT_EQ(left_.LineCount(), 3u);
    EXPECT_EQ(left_.LineWidth(), 75);
    auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    EXPECT_EQ(CFilePreviewCtrl::FormatHexLine(data + 32, 1, 32), "00000020  41 " + std::string(15 * 3, ' ') + " A");
    EXPECT_EQ(CFilePreviewCtrl::FormatHexLine(data, 16, 0).size(), 75u);
    EXPECT_EQ(CFilePreviewCtrl::FormatHexLine(reinterpret_cast<const BYTE*>("\x1f\x80\x81"), 3, 0).substr(59), ".\x80.");
}

TEST_F(FilePreviewCtrlTest, TextLinesEndAtLineFeedsAndEvery100Bytes) {
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<ULONGLONG> starts;
        int width;
    } rows[] = {
        {"250 bytes without LF", std::string(250, 'x'), {0, 100, 200, 250}, 100},
        {"LF ends a line", "ab\ncd", {0, 3, 5}, 3},
        {"TAB counts three more", "\tx\n", {0, 3}, 6},
        {"100 bytes then LF", std::string(100, 'y') + "\n", {0, 100, 101}, 100},
        {"empty", "", {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Show(left_, row.bytes, FALSE, kPreviewText);
        Settle({&left_});
        EXPECT_EQ(left_.LineCount(), row.starts.empty() ? 0 : row.starts.size() - 1);
        EXPECT_EQ(left_.LineWidth(), row.width);
        std::vector<ULONGLONG> starts;
        for (ULONGLONG line = 0, offset = 0; left_.LineStart(line, offset); ++line) starts.push_back(offset);
        EXPECT_EQ(starts, row.starts);
    }
}

// The splitter takes a faster path where the processor allows; both find the same lines,
// however the data are cut into blocks.
TEST(PreviewLineSplitterTest, FastAndPortablePathsFindTheSameLines) {
    std::string text;
    for (int line = 0; line < 400; ++line) {
        text.append(static_cast<size_t>(line * 7 % 230), 'a');
        if (line % 3 == 0) text += "\tb\t";
        text += line % 5 ? "\n" : "\r\n";
    }
    for (size_t block : {size_t{1}, size_t{7}, size_t{4096}}) {
        SCOPED_TRACE(block);
        std::vector<uint32_t> starts[2];
        int widths[2] = {0, 0};
        for (bool wide : {false, true}) {
            vb::PreviewLineSplitter splitter(text.size(), wide);
            for (size_t offset = 0; offset < text.size(); offset += block) {
                splitter.Scan(reinterpret_cast<const BYTE*>(text.data()) + offset, std::min(block, text.size() - offset),
                              offset, starts[wide], widths[wide]);
            }
        }
        EXPECT_EQ(starts[0], starts[1]);
        EXPECT_EQ(widths[0], widths[1]);
        EXPECT_EQ(widths[0], 100 + 2 * 3);
        EXPECT_EQ(starts[0].back(), text.size());
    }
}

TEST_F(FilePreviewCtrlTest, EmptyDataShowsNoDataToDisplayAtTheTop) {
    RECT client{};
    ::GetClientRect(left_.Handle(), &client);
    RECT top{client.right / 2 - 80, 0, client.right / 2 + 80, 16};
    RECT below{0, 40, client.right, client.bottom};
    EXPECT_EQ(left_.EmptyText(), L"No data to display");
    struct Row {
        const char* name;
        int mode;
        bool cleared;
    } rows[] = {{"hex", kPreviewHex, false},     {"text", kPreviewText, false},
                {"image", kPreviewImage, false}, {"auto", kPreviewDetect, false},
                {"no mode", -1, false},          {"unreadable row after data", kPreviewHex, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.cleared) {
            Show(left_, Capture(5000), FALSE, row.mode);
            left_.Clear();
            EXPECT_EQ(left_.Mode(), row.mode);
        } else {
            Show(left_, "", FALSE, row.mode);
        }
        Settle({&left_});
        EXPECT_GT(CountPixelsNear(left_.Handle(), top, RGB(0, 0, 0), 96), 10);
        EXPECT_EQ(CountPixelsNear(left_.Handle(), below, RGB(255, 255, 255), 0),
                  (below.right - below.left) * (below.bottom - below.top));
    }
}

TEST_F(FilePreviewCtrlTest, PanesDifferingAtByte5000OpenOnTheDifferingLineInTheirColours) {
    std::string reference = Capture(20000), comparison = reference;
    comparison[5000] = '#';
    struct Row {
        const char* name;
        int mode;
        int firstLine;
        int lineHeight;
    } rows[] = {{"hex", kPreviewHex, 5000 / 16, 13}, {"text", kPreviewText, 5000 / 64, 14}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ShowBoth(reference, comparison, TRUE, row.mode);
        EXPECT_EQ(left_.FirstVisibleLine(), row.firstLine);
        EXPECT_EQ(right_.FirstVisibleLine(), row.firstLine);
        RECT firstLine{0, 0, 440, row.lineHeight};
        // A hex line's background is a pixel taller than the spacing of the lines.
        RECT otherLines{0, 14, 440, 390};
        EXPECT_GT(CountPixelsNear(left_.Handle(), firstLine, kLeftColour, 16), 20);
        EXPECT_GT(CountPixelsNear(right_.Handle(), firstLine, kRightColour, 16), 20);
        EXPECT_EQ(CountPixelsNear(left_.Handle(), otherLines, kLeftColour, 16), 0);
        EXPECT_EQ(CountPixelsNear(left_.Handle(), firstLine, kRightColour, 16), 0);
    }
    // Equal as far as the shorter goes: the bytes only the longer holds differ.
    ShowBoth(reference, reference.substr(0, 5000), TRUE, kPreviewHex);
    EXPECT_EQ(left_.FirstVisibleLine(), 5000 / 16);
}

TEST_F(FilePreviewCtrlTest, ScrollingOnePaneScrollsTheOther) {
    // 1,000 hex lines of 75 columns; a wheel notch moves a tenth of the maximum 999, 99 lines.
    ShowBoth(Capture(16000), Capture(16000), FALSE, kPreviewHex);
    RECT client{};
    ::GetClientRect(left_.Handle(), &client);
    const int page = client.bottom / 14, columns = client.right / 8;
    struct Row {
        const char* name;
        UINT message;
        WPARAM code;
        bool toRight;
        int vertical, horizontal;
    } rows[] = {
        {"line down", WM_VSCROLL, SB_LINEDOWN, false, 1, 0},
        {"page down on the right", WM_VSCROLL, SB_PAGEDOWN, true, 1 + page, 0},
        {"bottom", WM_VSCROLL, SB_BOTTOM, false, 1000 - page, 0},
        {"line up on the right", WM_VSCROLL, SB_LINEUP, true, 1000 - page - 1, 0},
        {"top", WM_VSCROLL, SB_TOP, false, 0, 0},
        {"wheel two notches down", WM_MOUSEWHEEL, MAKEWPARAM(0, -240), false, 198, 0},
        {"wheel a notch up", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), false, 99, 0},
        {"wheel without a delta", WM_MOUSEWHEEL, 0, false, 99, 0},
        {"line right", WM_HSCROLL, SB_LINERIGHT, true, 99, 1},
        {"right end", WM_HSCROLL, SB_RIGHT, false, 99, 75 - columns},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ::SendMessageW((row.toRight ? right_ : left_).Handle(), row.message, row.code, 0);
        EXPECT_EQ(left_.FirstVisibleLine(), row.vertical);
        EXPECT_EQ(right_.FirstVisibleLine(), row.vertical);
        EXPECT_EQ(left_.FirstVisibleColumn(), row.horizontal);
        EXPECT_EQ(right_.FirstVisibleColumn(), row.horizontal);
    }
}

TEST_F(FilePreviewCtrlTest, ModeChangeWhileLoadingStopsTheLoaderFirst) {
    const std::string big = Capture(64 << 20);
    ShowStillLoading(left_, big);
    left_.SetMode(kPreviewHex);
    EXPECT_FALSE(left_.IsLoading());
    EXPECT_EQ(left_.LineCount(), big.size() / 16);
    left_.SetMode(kPreviewText);
    left_.SetMode(kPreviewText);
    Settle({&left_});
    EXPECT_EQ(left_.LineCount(), big.size() / 64);
    ULONGLONG end = 0;
    EXPECT_TRUE(left_.LineStart(left_.LineCount(), end));
    EXPECT_EQ(end, big.size());
}

TEST_F(FilePreviewCtrlTest, PaneDestroyedWhileLoadingEndsItsLoader) {
    const std::string big = Capture(64 << 20);
    for (bool windowFirst : {true, false}) {
        SCOPED_TRACE(windowFirst ? "window destroyed" : "object destroyed");
        auto pane = std::make_unique<CFilePreviewCtrl>();
        HWND window = MakePane(1010, 5);
        ASSERT_TRUE(pane->Attach(window));
        pane->LinkWith(&right_);
        ShowStillLoading(*pane, big);
        if (windowFirst) {
            ::DestroyWindow(window);
            EXPECT_FALSE(pane->IsLoading());
            pane.reset();
        } else {
            pane.reset();
            ::DestroyWindow(window);
        }
        DispatchPendingMessages();
        // The other pane no longer links to the destroyed one and scrolls alone.
        ::SendMessageW(right_.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    }
}

}  // namespace
