// A results database row on its way into the viewer: the stored Base64 text (as the viewer
// narrows it: characters outside ASCII become '?') decoded into a memory stream, then the
// preview's mode detection, line index, hex and text lines and the search for the first
// difference from the other pane, each against a plain reference.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Base64.h"
#include "Bstr.h"
#include "Harness.h"
#include "Mutator.h"
#include "PreviewDiffSearch.h"
#include "PreviewLineSplitter.h"
#include "PreviewLines.h"
#include "PreviewModeDetect.h"

namespace vb::fuzz {

namespace {

std::string Narrow(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) bytes += c < 0x80 ? static_cast<char>(c) : '?';
    return bytes;
}

int ReferenceMode(const std::string& data) {
    for (unsigned char c : data) {
        if (c > 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) return kPreviewHex;
    }
    return kPreviewText;
}

// Line ends: after an LF, after the 100th byte of a line, at the end of the data.
std::vector<uint32_t> ReferenceLines(const std::string& data, int& width) {
    std::vector<uint32_t> starts;
    size_t bytes = 0, tabs = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        ++bytes;
        tabs += data[i] == '\t';
        if (data[i] == '\n' || bytes == kPreviewMaxLineBytes || i + 1 == data.size()) {
            starts.push_back(static_cast<uint32_t>(i + 1));
            width = std::max(width, static_cast<int>(bytes + 3 * tabs));
            bytes = tabs = 0;
        }
    }
    return starts;
}

std::vector<uint32_t> SplitInBlocks(const std::string& data, bool wide, Random& random, int& width) {
    std::vector<uint32_t> starts;
    PreviewLineSplitter splitter(data.size(), wide);
    for (size_t at = 0; at < data.size();) {
        size_t block = std::min(data.size() - at, 1 + random.Below(random.OneIn(4) ? 4096 : 200));
        splitter.Scan(reinterpret_cast<const BYTE*>(data.data()) + at, block, at, starts, width);
        at += block;
    }
    return starts;
}

ULONG ReadAt(const std::string& data, ULONGLONG offset, BYTE* buffer, ULONG size) {
    if (offset >= data.size()) return 0;
    ULONG count = static_cast<ULONG>(std::min<ULONGLONG>(size, data.size() - offset));
    std::memcpy(buffer, data.data() + offset, count);
    return count;
}

class ResultPreviewHarness : public Harness {
public:
    std::vector<std::string> Seeds() override {
        return {"SGVsbG8sIHdvcmxkIQ0KCXRhYgp0ZXh0", "AAECAwQFBgcICQoLDA0ODxAREhM=", "+ QUJD", "", "SGk="};
    }
    std::vector<std::string> Dictionary() override { return {"=", "==", "+ ", "CQ", "Cg", "DQo", "////", "gA"}; }
    size_t MaxSize() const override { return 16384; }

    void Run(std::string_view input) override {
        const std::string text = Narrow(WideFromFuzz(input));
        Bstr bstr = Bstr::Attach(::SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size())));
        CStreamFile stream;
        if (CBase64().Decode(stream, bstr.Get()) < 0) return;  // the viewer clears the pane
        FUZZ_CHECK(stream.IsOpen() && stream.SeekToBegin(), "no stream for decoded data");
        const std::string data = stream.ReadToEnd();
        decoded_ += !data.empty();

        const int mode = ReferenceMode(data);
        FUZZ_CHECK(DetectPreviewMode(stream.Get()) == mode, "stream mode");
        FUZZ_CHECK(DetectPreviewMode(reinterpret_cast<const BYTE*>(data.data()), data.size()) == mode, "memory mode");

        Random random(data.size() * 2654435761u + static_cast<unsigned char>(input.empty() ? 0 : input[0]));
        int expectedWidth = 0, wideWidth = 0, plainWidth = 0;
        const auto expected = ReferenceLines(data, expectedWidth);
        FUZZ_CHECK(SplitInBlocks(data, true, random, wideWidth) == expected && wideWidth == expectedWidth,
                   "line index (SSE2)");
        FUZZ_CHECK(SplitInBlocks(data, false, random, plainWidth) == expected && plainWidth == expectedWidth,
                   "line index");

        // The other pane: the same bytes with one changed, cut short or grown.
        std::string other = data;
        if (!other.empty() && random.OneIn(2)) other[random.Below(other.size())] ^= 0x20;
        if (random.OneIn(3)) other.resize(random.Below(other.size() + 40), 'x');
        CheckLines(data, other, expected, random);
        CheckDifference(data, other, random);
    }

    std::string Stats() const override { return std::to_string(decoded_) + " texts decoded to data"; }

private:
    static void CheckLines(const std::string& data, const std::string& other, const std::vector<uint32_t>& starts,
                           Random& random) {
        auto bytes = [](const std::string& s) { return reinterpret_cast<const BYTE*>(s.data()); };
        for (size_t row = 0; row * kPreviewBytesPerLine < data.size() && row < 64; ++row) {
            const size_t at = row * kPreviewBytesPerLine;
            const size_t count = std::min<size_t>(kPreviewBytesPerLine, data.size() - at);
            const std::string line = FormatPreviewHexLine(bytes(data) + at, count, at);
            FUZZ_CHECK(line.size() == 10 + 3 * kPreviewBytesPerLine + 1 + count, "hex line width");
            const size_t otherCount = at < other.size() ? std::min<size_t>(kPreviewBytesPerLine, other.size() - at) : 0;
            const std::string otherLine = FormatPreviewHexLine(bytes(other) + std::min(at, other.size()), otherCount, at);
            for (const PreviewRun& run : HexLineRuns(line, otherLine)) {
                FUZZ_CHECK(run.start + run.length <= line.size(), "a hex run past its line");
            }
        }
        size_t begin = 0;
        for (size_t i = 0; i < starts.size() && i < 64; ++i) {
            const size_t count = starts[i] - begin;
            const size_t otherCount = begin < other.size() ? std::min(count, other.size() - begin) : 0;
            const int tabSize = static_cast<int>(random.Below(12)) - 2;
            const PreviewTextLine line = LayoutPreviewTextLine(bytes(data) + begin, count,
                                                               bytes(other) + std::min(begin, other.size()), otherCount, tabSize);
            size_t covered = 0;
            for (const PreviewRun& run : line.runs) {
                FUZZ_CHECK(run.start == covered && run.length > 0, "text runs leave a gap");
                covered += run.length;
            }
            FUZZ_CHECK(covered == line.text.size(), "text runs do not cover the line");
            FUZZ_CHECK(line.text.find('\t') == std::string::npos, "a tab was not expanded");
            begin = starts[i];
        }
    }

    static void CheckDifference(const std::string& data, const std::string& other, Random& random) {
        std::optional<ULONGLONG> expected;
        auto mismatch = std::mismatch(data.begin(), data.begin() + std::min(data.size(), other.size()), other.begin());
        if (mismatch.first != data.begin() + std::min(data.size(), other.size()) || data.size() != other.size()) {
            expected = static_cast<ULONGLONG>(mismatch.first - data.begin());
        }
        PreviewDiffSearch search;
        auto own = [&](ULONGLONG offset, BYTE* buffer, ULONG size) { return ReadAt(data, offset, buffer, size); };
        auto theirs = [&](ULONGLONG offset, BYTE* buffer, ULONG size) { return ReadAt(other, offset, buffer, size); };
        int steps = 0;
        while (!search.Step(own, data.size(), theirs, other.size(), 1 + random.Below(3000))) {
            FUZZ_CHECK(++steps < 100000, "the difference search does not end");
        }
        FUZZ_CHECK(search.Difference() == expected, "first difference");
    }

    size_t decoded_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakeResultPreviewHarness() { return std::make_unique<ResultPreviewHarness>(); }

}  // namespace vb::fuzz
