#pragma once
// The barcode type description the driver enumerates and the bench hands back to D_SelectCodeW.
#include <cstddef>

namespace vb::sample::code {

constexpr size_t kDescriptionSize = 144;
constexpr size_t kMetricsSize = 76;

constexpr size_t kType = 0;           // unsigned 16-bit
constexpr size_t kVerticalSize = 4;   // signed 32-bit each from here to Option2
constexpr size_t kHorizontalSize = 8;
constexpr size_t kModuleX = 12;
constexpr size_t kModuleY = 16;
constexpr size_t kGap = 24;
constexpr size_t kRotation = 32;
constexpr size_t kCheckDigit = 36;    // bytes
constexpr size_t kHumanReadable = 38;
constexpr size_t kCheckInHumanReadable = 39;
constexpr size_t kOption1 = 52;
constexpr size_t kOption2 = 56;
constexpr size_t kName = 60;          // wide text, zero-terminated within the description
constexpr size_t kNameBytes = kDescriptionSize - kName;

}  // namespace vb::sample::code
