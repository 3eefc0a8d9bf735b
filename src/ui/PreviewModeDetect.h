#pragma once
#include <windows.h>
#include <objidl.h>

#include <cstddef>

namespace vb {

// How a preview pane shows its bytes. kPreviewDetect is only ever a request.
constexpr int kPreviewDetect = 0;
constexpr int kPreviewHex = 1;
constexpr int kPreviewText = 2;
constexpr int kPreviewImage = 3;

// kPreviewHex when any byte is above 0x80 or a control character other than TAB, LF and CR;
// else kPreviewText (so empty data are text). 0x80 itself counts as text.
int DetectPreviewMode(const BYTE* data, size_t size) noexcept;
// The same over a whole stream, read from its start; it stops at the first byte that decides.
int DetectPreviewMode(IStream* stream);

}  // namespace vb
