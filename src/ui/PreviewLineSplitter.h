#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vb {

// Longer text lines are shown split at this many bytes.
constexpr size_t kPreviewMaxLineBytes = 100;

// Finds where the lines of a text end, block by block as a loader reads it: a line ends at an
// LF (which belongs to it), after its 100th byte, or at the last byte of the data.
class PreviewLineSplitter {
public:
    // `wide` lets it use SSE2 where the processor has it; the portable path gives the same lines.
    explicit PreviewLineSplitter(ULONGLONG total, bool wide = true) noexcept;

    // Scans `size` bytes that stand at `offset` of the data. For each line that ends in them it
    // appends where the next line starts to `nextStarts` and widens `width` to the line's
    // columns: its bytes plus three for each TAB.
    void Scan(const BYTE* data, size_t size, ULONGLONG offset, std::vector<uint32_t>& nextStarts, int& width);

private:
    using Measure = size_t (*)(const BYTE* data, size_t size, size_t& tabs) noexcept;

    ULONGLONG total_;
    Measure measure_;
    size_t bytes_ = 0;
    size_t tabs_ = 0;
};

}  // namespace vb
