#pragma once
// What the print file says about an image handed to D_PrintDIB: the packed image memory the
// bench makes (a BITMAPINFOHEADER, the colour table, the pixel rows each padded to 4 bytes, as a
// BMP file without its file header). The block is the caller's: every size in the header is
// checked against the block before a byte beyond the header is read.
#include <windows.h>

#include <cstddef>
#include <optional>

namespace vb::sample {

struct DibSummary {
    LONG width = 0;
    LONG height = 0;     // as the header has it: negative for rows stored top-down
    WORD bitCount = 0;
    DWORD colors = 0;    // entries of the colour table
    DWORD crc = 0;       // CRC-32 of the pixel rows, padding included
};

// Nothing for a block that is not a whole uncompressed image: smaller than its header, a header
// size, depth or width out of range, a colour table or rows reaching past the end.
std::optional<DibSummary> SummarizeDib(const BYTE* block, size_t size);

// The same for a global memory block, locked for the reading and unlocked again; nothing for a
// block that cannot be locked.
std::optional<DibSummary> SummarizeDib(HGLOBAL block);

}  // namespace vb::sample
