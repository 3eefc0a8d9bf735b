#pragma once
// Packed images as the bench hands them to D_PrintDIB, for the tests of the driver's reading.
#include <windows.h>

#include <string>
#include <vector>

namespace vb::test {

// A BITMAPINFOHEADER of `headerSize` bytes, `tableEntries` colour entries and the rows of
// `width` x |height| pixels at `bits` per pixel, each byte of the table and rows numbered so that
// a CRC over the wrong bytes shows.
std::vector<BYTE> MakeDib(LONG width, LONG height, WORD bits, DWORD tableEntries, DWORD clrUsed = 0,
                          DWORD headerSize = sizeof(BITMAPINFOHEADER));

// The bytes of the pixel rows of a block made by MakeDib.
std::string PixelBytes(const std::vector<BYTE>& dib, DWORD tableEntries, DWORD headerSize = sizeof(BITMAPINFOHEADER));

// A movable global block holding the bytes, freed with the object.
class GlobalBlock {
public:
    explicit GlobalBlock(const std::vector<BYTE>& bytes);
    ~GlobalBlock();
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL Get() const noexcept { return block_; }
    UINT LockCount() const noexcept { return ::GlobalFlags(block_) & GMEM_LOCKCOUNT; }

private:
    HGLOBAL block_;
};

}  // namespace vb::test
