#include "PreviewLineSplitter.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vb {

namespace {

// Non-zero when some byte of `word` is zero (exact as a yes or no; which bits are set above the
// first zero byte is not).
inline uint32_t HasZeroByte(uint32_t word) noexcept { return (word - 0x01010101u) & ~word & 0x80808080u; }

// The bytes of `data` up to and including its first LF, all `size` when there is none; counts
// the TABs among them into `tabs`. Four bytes at a time: most words of a text hold neither.
size_t MeasureSegmentWords(const BYTE* data, size_t size, size_t& tabs) noexcept {
    size_t i = 0;
    while (i < size) {
        if (i + 4 <= size) {
            uint32_t word;
            std::memcpy(&word, data + i, sizeof(word));
            if (!HasZeroByte(word ^ 0x0A0A0A0Au) && !HasZeroByte(word ^ 0x09090909u)) {
                i += 4;
                continue;
            }
        }
        for (size_t end = std::min(i + 4, size); i < end; ++i) {
            if (data[i] == '\n') return i + 1;
            if (data[i] == '\t') ++tabs;
        }
    }
    return size;
}

// The same sixteen bytes at a time, for processors with SSE2.
__attribute__((target("sse2"))) size_t MeasureSegmentSse2(const BYTE* data, size_t size, size_t& tabs) noexcept {
    const __m128i feed = _mm_set1_epi8('\n'), tab = _mm_set1_epi8('\t');
    size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, feed)));
        auto tabMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tab)));
        if (feeds) {
            unsigned at = static_cast<unsigned>(__builtin_ctz(feeds));
            tabs += static_cast<size_t>(__builtin_popcount(tabMask & ((2u << at) - 1)));
            return i + at + 1;
        }
        if (tabMask) tabs += static_cast<size_t>(__builtin_popcount(tabMask));
    }
    return i + MeasureSegmentWords(data + i, size - i, tabs);
}

bool HasSse2() noexcept {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
}

}  // namespace

PreviewLineSplitter::PreviewLineSplitter(ULONGLONG total, bool wide) noexcept
    : total_(total), measure_(wide && HasSse2() ? MeasureSegmentSse2 : MeasureSegmentWords) {}

void PreviewLineSplitter::Scan(const BYTE* data, size_t size, ULONGLONG offset, std::vector<uint32_t>& nextStarts,
                               int& width) {
    size_t i = 0;
    while (i < size) {
        // The rest of the current line within this block: up to an LF, at most the bytes the
        // line may still take.
        size_t room = std::min(kPreviewMaxLineBytes - bytes_, size - i);
        size_t segment = measure_(data + i, room, tabs_);
        bool feed = data[i + segment - 1] == '\n';
        bytes_ += segment;
        i += segment;
        ULONGLONG end = offset + i;
        if (feed || bytes_ == kPreviewMaxLineBytes || end >= total_) {
            nextStarts.push_back(static_cast<uint32_t>(end));
            width = std::max(width, static_cast<int>(bytes_ + 3 * tabs_));
            bytes_ = 0;
            tabs_ = 0;
        }
    }
}

}  // namespace vb
