#pragma once
// Where the sample driver's devmode keeps what it and the bench exchange. The first 156 bytes
// follow the public DEVMODEA layout; the private part after them is the driver's own.
#include <windows.h>

#include <cstddef>

namespace vb::sample::devmode {

// The bench writes 16-bit fields as far as byte 21,556, so the buffer must reach past it.
constexpr LONG kSize = 21600;
constexpr size_t kFarthestBenchField = 21556 + 2;
static_assert(kSize >= kFarthestBenchField, "the devmode must hold every field the bench writes");

constexpr size_t kPublicSize = 156;

// Public part (DEVMODEA).
constexpr size_t kDeviceName = 0;
constexpr size_t kDeviceNameBytes = 32;  // 31 bytes of ANSI text and the terminator
constexpr size_t kSpecVersion = 32;
constexpr size_t kSetupSize = 36;        // dmSize: 0 says there is no set-up part
constexpr size_t kDriverExtra = 38;
constexpr size_t kFields = 40;
constexpr size_t kOrientation = 44;
constexpr size_t kPaperSize = 46;
constexpr size_t kPaperLength = 48;      // 1/10 mm
constexpr size_t kPaperWidth = 50;       // 1/10 mm
constexpr size_t kColor = 60;

// Private part.
constexpr size_t kLayoutMarker = 148;
constexpr size_t kCopies = 160;
constexpr size_t kLabelWidth = 328;
constexpr size_t kLabelHeight = 332;
constexpr size_t kLabelsPerColumn = 340;
constexpr size_t kLabelsPerRow = 344;
// The print file reads nothing beyond this.
constexpr size_t kPrintedFieldsEnd = kLabelsPerRow + 4;

// Values the driver starts from.
constexpr WORD kSpecVersionValue = 0x0401;
constexpr WORD kLayoutMarkerValue = 0x7E40;
constexpr WORD kOtherLayoutMarkerValue = 0x7E41;  // written by other generations of the driver
constexpr short kPortrait = 1;
constexpr short kUserPaper = 256;
constexpr short kDefaultPaperTenthsMm = 1000;
constexpr short kMonochrome = 1;
constexpr short kColorDevice = 2;

}  // namespace vb::sample::devmode
