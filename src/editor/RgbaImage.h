#pragma once
#include <windows.h>

#include <vector>

// A picture as the editing component takes it: rows top first, bytes red, green, blue, alpha.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// One square image of a strip of 32-bit bitmap resource `id` (images as wide as the strip is
// high, `index` counted from the left), or the whole bitmap for index -1. White pixels become
// transparent; the stored alpha is not used, as the strips are drawn on white. False when the
// bitmap is missing, not 32 bits per pixel, empty, or has no image at `index`.
bool LoadRgbaImage(HMODULE module, UINT id, int index, RgbaImage& image);
