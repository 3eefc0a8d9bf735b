#include "PreviewModeDetect.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <vector>

#include "CpuFeatures.h"

namespace vb {

namespace {

constexpr std::array<bool, 256> MakeBinaryTable() {
    std::array<bool, 256> binary{};
    for (int byte = 0; byte < 256; ++byte) {
        binary[byte] = byte > 0x80 || (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r');
    }
    return binary;
}

constexpr std::array<bool, 256> kBinary = MakeBinaryTable();

// Blocks of 16 or 32 bytes are judged at once: a byte is text when it lies in 0x20..0x80 (moved
// down by 0x20, it is at most 0x60) or is TAB, LF or CR. Each returns how many bytes it found
// to be text, stopping before the first block that holds a binary byte; the byte table then
// finds that byte, or judges the tail.

__attribute__((target("sse2"))) size_t TextBlocksSse2(const BYTE* data, size_t size) noexcept {
    const __m128i low = _mm_set1_epi8(0x20), span = _mm_set1_epi8(0x60), zero = _mm_setzero_si128();
    const __m128i tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    size_t done = 0;
    for (; done + 16 <= size; done += 16) {
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + done));
        __m128i printable = _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(c, low), span), zero);
        __m128i control = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, tab), _mm_cmpeq_epi8(c, lf)),
                                       _mm_cmpeq_epi8(c, cr));
        if (_mm_movemask_epi8(_mm_or_si128(printable, control)) != 0xFFFF) break;
    }
    return done;
}

__attribute__((target("avx2"))) size_t TextBlocksAvx2(const BYTE* data, size_t size) noexcept {
    const __m256i low = _mm256_set1_epi8(0x20), span = _mm256_set1_epi8(0x60), zero = _mm256_setzero_si256();
    const __m256i tab = _mm256_set1_epi8('\t'), lf = _mm256_set1_epi8('\n'), cr = _mm256_set1_epi8('\r');
    size_t done = 0;
    for (; done + 32 <= size; done += 32) {
        __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + done));
        __m256i printable = _mm256_cmpeq_epi8(_mm256_subs_epu8(_mm256_sub_epi8(c, low), span), zero);
        __m256i control = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(c, tab), _mm256_cmpeq_epi8(c, lf)),
                                          _mm256_cmpeq_epi8(c, cr));
        if (_mm256_movemask_epi8(_mm256_or_si256(printable, control)) != -1) break;
    }
    return done;
}

size_t TextBlocks(const BYTE* data, size_t size) noexcept {
    size_t done = cpu::HasAvx2() ? TextBlocksAvx2(data, size) : 0;
    // The tail, or the text half of 32 bytes that held a binary one.
    return cpu::HasSse2() ? done + TextBlocksSse2(data + done, size - done) : done;
}

// The stream's own memory, when it is a memory stream: locked while the object lives.
class LockedMemory {
public:
    explicit LockedMemory(IStream* stream) noexcept {
        STATSTG stat{};
        if (FAILED(::GetHGlobalFromStream(stream, &memory_)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
            memory_ = nullptr;
            return;
        }
        data_ = static_cast<const BYTE*>(::GlobalLock(memory_));
        size_ = static_cast<size_t>(stat.cbSize.QuadPart);
        if (data_ && ::GlobalSize(memory_) < size_) Unlock();
    }
    ~LockedMemory() { Unlock(); }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;

    const BYTE* Data() const noexcept { return data_; }
    size_t Size() const noexcept { return size_; }

private:
    void Unlock() noexcept {
        if (data_) ::GlobalUnlock(memory_);
        data_ = nullptr;
    }

    HGLOBAL memory_ = nullptr;
    const BYTE* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace

int DetectPreviewMode(const BYTE* data, size_t size) noexcept {
    const BYTE* end = data + size;
    const BYTE* rest = data + TextBlocks(data, size);
    return std::find_if(rest, end, [](BYTE byte) { return kBinary[byte]; }) != end ? kPreviewHex : kPreviewText;
}

int DetectPreviewMode(IStream* stream) {
    if (!stream) return kPreviewText;
    LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return kPreviewText;
    // A memory stream is judged where it lies, without copying it out first.
    LockedMemory memory(stream);
    if (memory.Data()) return DetectPreviewMode(memory.Data(), memory.Size());
    std::vector<BYTE> block(1 << 16);
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(block.data(), static_cast<ULONG>(block.size()), &read)) && read > 0) {
        if (DetectPreviewMode(block.data(), read) == kPreviewHex) return kPreviewHex;
    }
    return kPreviewText;
}

}  // namespace vb
