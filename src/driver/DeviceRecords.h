#pragma once
#include <windows.h>

#include <cstddef>

// What the driver hands the font enumeration: a logical font with its metrics.
#pragma pack(push, 1)
struct tagDEVICEFONT {
    LOGFONTW font;
    TEXTMETRICW metrics;
};

// What the driver hands the barcode enumeration: its 144-byte code description (the name as wide
// text from byte 60) followed by 76 bytes of metrics that only the driver interprets.
struct tagDEVICECODE {
    BYTE description[144];
    BYTE metrics[76];
};
#pragma pack(pop)

static_assert(sizeof(LOGFONTW) == 92 && sizeof(TEXTMETRICW) == 60, "records use the Win32 layouts");
static_assert(sizeof(tagDEVICEFONT) == 152, "a device font record is 152 bytes");
static_assert(offsetof(tagDEVICEFONT, metrics) == 92, "metrics follow the logical font");
static_assert(sizeof(tagDEVICECODE) == 220, "a device code record is 220 bytes");
