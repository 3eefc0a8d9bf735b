#pragma once
#include <windows.h>

#include "UniqueHandle.h"

namespace vb {

// An icon of the program's resources at `size` x `size` pixels at 96 pixels per inch, scaled
// to the screen (ScreenDpi.h); none when the resource cannot be loaded.
UniqueIcon LoadScaledIcon(UINT id, int size);

// An icon's pixel size, read from its colour bitmap; `fallback` when that cannot be read.
SIZE MeasureIcon(HICON icon, SIZE fallback);

}  // namespace vb
