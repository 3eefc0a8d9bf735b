#include "RgbaImage.h"

#include <cstdlib>

bool LoadRgbaImage(HMODULE module, UINT id, int index, RgbaImage& image) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(::LockResource(loaded)) : nullptr;
    if (!header) return false;
    DWORD size = ::SizeofResource(module, resource);
    if (size < sizeof(BITMAPINFOHEADER) || header->biBitCount != 32 || header->biWidth <= 0 || header->biHeight == 0)
        return false;

    // Masks follow a plain header when the bitmap declares them; newer headers hold them inside.
    size_t offset = header->biSize + header->biClrUsed * sizeof(RGBQUAD);
    if (header->biCompression == BI_BITFIELDS && header->biSize == sizeof(BITMAPINFOHEADER)) offset += 12;
    const int stride = header->biWidth * 4;
    const int rows = std::abs(header->biHeight);
    if (offset + static_cast<size_t>(stride) * rows > size) return false;
    const auto* bits = reinterpret_cast<const unsigned char*>(header) + offset;

    const int width = index < 0 ? header->biWidth : rows;
    const int left = index < 0 ? 0 : index * rows;
    if (left + width > header->biWidth) return false;

    image.width = width;
    image.height = rows;
    image.pixels.assign(static_cast<size_t>(width) * rows * 4, 0);
    unsigned char* out = image.pixels.data();
    for (int y = 0; y < rows; ++y) {
        // Bottom-up unless the height is negative.
        int stored = header->biHeight > 0 ? rows - 1 - y : y;
        const unsigned char* in = bits + stored * stride + left * 4;
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = (in[0] == 255 && in[1] == 255 && in[2] == 255) ? 0 : 255;
        }
    }
    return true;
}
