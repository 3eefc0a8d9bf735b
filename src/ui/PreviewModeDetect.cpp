#include "PreviewModeDetect.h"

#include <algorithm>
#include <array>
#include <vector>

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

}  // namespace

int DetectPreviewMode(const BYTE* data, size_t size) noexcept {
    const BYTE* end = data + size;
    return std::find_if(data, end, [](BYTE byte) { return kBinary[byte]; }) != end ? kPreviewHex : kPreviewText;
}

int DetectPreviewMode(IStream* stream) {
    if (!stream) return kPreviewText;
    LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return kPreviewText;
    std::vector<BYTE> block(1 << 16);
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(block.data(), static_cast<ULONG>(block.size()), &read)) && read > 0) {
        if (DetectPreviewMode(block.data(), read) == kPreviewHex) return kPreviewHex;
    }
    return kPreviewText;
}

}  // namespace vb
