#pragma once
#include <windows.h>

// Interface ids of the script objects that the driver access layer serves.
inline constexpr IID IID_IDriver = {0x940A7F80, 0xA3CC, 0x11E5, {0xA8, 0x37, 0x08, 0x00, 0x20, 0x0C, 0x9A, 0x66}};
