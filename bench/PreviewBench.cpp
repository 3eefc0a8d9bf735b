// Opens a large capture in two linked preview panes, as the result viewer does for a failed
// row, and measures how long the call takes, how long the loaders take to index the text and
// how long the window takes at worst to answer a message meanwhile, beside the time it takes
// to read the file once.
//
//   vb_bench_preview [megabytes] [show seconds]
//
// With a second argument the window stays up that long after each mode, for a screenshot.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "FilePreviewCtrl.h"
#include "Stopwatch.h"
#include "StreamFile.h"
#include "UniqueHandle.h"

namespace {

// A label printer's print file: command lines of varying length, some longer than a preview
// line, a few with tabs.
std::string MakeCapture(size_t size) {
    std::string data;
    data.reserve(size + 256);
    unsigned seed = 12345;
    for (unsigned line = 0; data.size() < size; ++line) {
        seed = seed * 1103515245u + 12345u;
        data += "^FO" + std::to_string(line % 800) + "," + std::to_string((seed >> 8) % 1200) + "^A0N,28,28^FD";
        data.append(10 + (seed >> 16) % 120, static_cast<char>('A' + line % 26));
        data += (line % 7 == 0) ? "\t^FS\r\n" : "^FS\n";
    }
    data.resize(size);
    return data;
}

bool WriteWholeFile(const std::wstring& path, const std::string& data) {
    vb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}

// Reads a file into a memory stream, as a decoded capture arrives in a pane.
bool LoadStream(const std::wstring& path, CStreamFile& stream) {
    vb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || !stream.CreateMemoryStream()) return false;
    ULARGE_INTEGER reserve;
    reserve.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
    stream.Get()->SetSize(reserve);
    std::vector<char> buffer(1 << 20);
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
        if (!stream.Write(buffer.data(), read)) return false;
    }
    return stream.SeekToBegin();
}

void PumpFor(double seconds) {
    Stopwatch clock;
    MSG message;
    while (clock.Seconds() < seconds) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Pumps until `done`, which is asked after every message.
template <class Done>
void PumpUntil(Done done) {
    Stopwatch clock;
    MSG message;
    while (!done() && clock.Seconds() < 120) {
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
    }
}

// Sends WM_NULL to the window from another thread every few milliseconds and keeps the longest
// time it took to be answered.
class ResponseWatch {
public:
    explicit ResponseWatch(HWND window) : window_(window), thread_([this] { Run(); }) {}
    ~ResponseWatch() {
        stop_ = true;
        thread_.join();
    }
    void Restart() { longest_ = 0; }
    double LongestSeconds() const { return longest_ / 1e6; }

private:
    void Run() {
        while (!stop_) {
            Stopwatch clock;
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            auto micro = static_cast<long long>(clock.Seconds() * 1e6);
            if (micro > longest_) longest_ = micro;
            ::Sleep(2);
        }
    }

    HWND window_;
    std::atomic<bool> stop_{false};
    std::atomic<long long> longest_{0};
    std::thread thread_;
};

const char* ModeName(int mode) {
    switch (mode) {
        case vb::kPreviewHex:
            return "Hexa";
        case vb::kPreviewText:
            return "Text";
        default:
            return "Auto";
    }
}

}  // namespace

int main(int argc, char** argv) {
    size_t megabytes = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 100;
    double show = argc > 2 ? std::atof(argv[2]) : 0;
    if (megabytes == 0) megabytes = 100;
    const size_t size = megabytes << 20;

    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring reference = std::wstring(temp) + L"vb_preview_ref.prn";
    std::wstring comparison = std::wstring(temp) + L"vb_preview_cmp.prn";
    const size_t differing = size - 1000;
    {
        std::string data = MakeCapture(size);
        bool written = WriteWholeFile(reference, data);
        data[differing] = '#';
        if (!written || !WriteWholeFile(comparison, data)) {
            std::printf("cannot write the capture files\n");
            return 1;
        }
    }

    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1260, 520, nullptr,
                                  nullptr, nullptr, nullptr);
    auto makePane = [host](int id, int x) {
        return ::CreateWindowExW(0, L"STATIC", L"Static", WS_CHILD | WS_VISIBLE | WS_BORDER, x, 5, 622, 510, host,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    CFilePreviewCtrl left, right;
    if (!left.Attach(makePane(1008, 5)) || !right.Attach(makePane(1009, 633))) {
        std::printf("cannot create the panes\n");
        return 1;
    }
    left.LinkWith(&right);
    left.SetDifferenceColour(RGB(0, 0, 255));
    right.SetDifferenceColour(RGB(255, 0, 0));
    PumpFor(0.2);

    std::printf("capture: %zu MB, the copy differs at byte %zu\n", megabytes, differing);
    ResponseWatch watch(left.Handle());
    for (int mode : {vb::kPreviewText, vb::kPreviewDetect, vb::kPreviewHex}) {
        CStreamFile leftData, rightData;
        Stopwatch reading;
        if (!LoadStream(reference, leftData)) return 1;
        double readSeconds = reading.Seconds();
        if (!LoadStream(comparison, rightData)) return 1;
        PumpFor(0.2);

        watch.Restart();
        ::ShowWindow(right.Handle(), SW_HIDE);
        Stopwatch clock;
        right.SetFile(rightData, TRUE, mode);
        double rightCall = clock.Seconds();
        Stopwatch leftClock;
        left.SetFile(leftData, TRUE, mode);
        double leftCall = leftClock.Seconds();
        ::ShowWindow(right.Handle(), SW_SHOW);
        ::InvalidateRect(right.Handle(), nullptr, TRUE);
        PumpUntil([&] { return !left.IsLoading() && !right.IsLoading(); });
        double indexed = clock.Seconds();
        PumpUntil([&] { return !left.IsSeekingDifference() && !right.IsSeekingDifference(); });
        double marked = clock.Seconds();
        PumpFor(0.1);
        double longest = watch.LongestSeconds();

        std::printf("%s (shown as %s): read file %.0f ms | SetFile returned after %.1f ms (right) and %.1f ms (left) | "
                    "indexed after %.0f ms | difference in view after %.0f ms, top line %d/%d of %llu | "
                    "longest window answer %.1f ms\n",
                    ModeName(mode), ModeName(left.Mode()), readSeconds * 1e3, rightCall * 1e3, leftCall * 1e3,
                    indexed * 1e3, marked * 1e3, left.FirstVisibleLine(), right.FirstVisibleLine(), left.LineCount(),
                    longest * 1e3);
        std::fflush(stdout);
        if (show > 0) PumpFor(show);
    }
    ::DestroyWindow(host);
    ::DeleteFileW(reference.c_str());
    ::DeleteFileW(comparison.c_str());
    return 0;
}
