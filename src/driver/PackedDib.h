#pragma once
#include <windows.h>

#include <vector>

// The image memory a driver prints from: a BITMAPINFOHEADER, a colour table and the pixel rows,
// as a BMP file without its file header, in one movable global block that the caller frees.
// 32-bit pixels are converted to the requested depth (16 as 5-6-5, 24) when the screen is 32-bit;
// a 1-bit image gets a black and white table. Null when the bitmap cannot be described.
HGLOBAL CreatePackedDIB(HDC memoryDC, HBITMAP bitmap, int requestedBits, int screenDepth);

// A BITMAPINFO for an uncompressed bottom-up image, with room for a colour table of 256 entries.
std::vector<BYTE> MakeBitmapInfo(LONG width, LONG height, int bitsPerPixel);
