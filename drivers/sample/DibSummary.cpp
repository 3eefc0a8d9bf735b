#include "DibSummary.h"

#include "ByteFields.h"
#include "Crc32.h"

#include <cstdint>
#include <cstdlib>

namespace vb::sample {

namespace {

constexpr uint64_t kHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr uint64_t kColorEntrySize = sizeof(RGBQUAD);

bool KnownDepth(WORD bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Without biClrUsed, images up to 8 bits carry their whole palette and deeper ones none.
uint64_t ColorEntries(const BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0) return header.biClrUsed;
    return header.biBitCount <= 8 ? uint64_t{1} << header.biBitCount : 0;
}

// Releases the lock taken on a global block.
class BlockLock {
public:
    explicit BlockLock(HGLOBAL block) noexcept : block_(block), data_(static_cast<const BYTE*>(::GlobalLock(block))) {}
    ~BlockLock() {
        if (data_) ::GlobalUnlock(block_);
    }
    BlockLock(const BlockLock&) = delete;
    BlockLock& operator=(const BlockLock&) = delete;
    const BYTE* Data() const noexcept { return data_; }

private:
    HGLOBAL block_;
    const BYTE* data_;
};

}  // namespace

std::optional<DibSummary> SummarizeDib(const BYTE* block, size_t size) {
    if (!block || size < kHeaderSize) return std::nullopt;
    const auto header = ReadField<BITMAPINFOHEADER>(block, 0);
    // 64-bit sums cannot wrap for any 32-bit field, so each bound below is exact.
    if (header.biSize < kHeaderSize || header.biSize > size) return std::nullopt;
    if (header.biCompression != BI_RGB || !KnownDepth(header.biBitCount)) return std::nullopt;
    if (header.biWidth <= 0 || header.biHeight == 0) return std::nullopt;

    const uint64_t colors = ColorEntries(header);
    const uint64_t tableEnd = header.biSize + colors * kColorEntrySize;
    const uint64_t rowSize = (uint64_t{header.biBitCount} * static_cast<uint64_t>(header.biWidth) + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(std::llabs(static_cast<long long>(header.biHeight)));
    const uint64_t pixelBytes = rowSize * rows;
    if (tableEnd > size || pixelBytes > size - tableEnd) return std::nullopt;

    DibSummary summary;
    summary.width = header.biWidth;
    summary.height = header.biHeight;
    summary.bitCount = header.biBitCount;
    summary.colors = static_cast<DWORD>(colors);
    summary.crc = Crc32(block + tableEnd, static_cast<size_t>(pixelBytes));
    return summary;
}

std::optional<DibSummary> SummarizeDib(HGLOBAL block) {
    if (!block) return std::nullopt;
    const size_t size = ::GlobalSize(block);
    BlockLock lock(block);
    if (!lock.Data()) return std::nullopt;
    return SummarizeDib(lock.Data(), size);
}

}  // namespace vb::sample
