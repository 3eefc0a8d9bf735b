#include "DeviceCapabilities.h"

#include <cstring>

namespace vb::sample {

namespace {

// D_DevCapsW indexes. The first ones keep the numbers of DeviceCapabilities; 18 and 19 are
// this driver's own.
constexpr LONG kResolution = 18;
constexpr LONG kResolutions = 19;

// D_GetDrvCaps indexes and sub-indexes.
constexpr LONG kDateTimeFormats = 5;
constexpr LONG kDateWord = 0;
constexpr LONG kTimeWord = 2;
constexpr LONG kRfid = 6;
constexpr LONG kRfidSupported = 1;

// The run lengths the device can print: 'd', 'dd', 'mm' and 'yyyy' for dates; 'hh', 'nn' and
// 'ss' for times.
constexpr LONG kDateRuns = 0x0018 | 0x0100 | 0x2000;
constexpr LONG kTimeRuns = 0x0002 | 0x0100 | 0x0800;

constexpr size_t kPaperNameBytes = 64;

constexpr WORD kPaperIds[] = {1, 2, 3};
constexpr POINT kPaperSizes[] = {{1000, 1000}, {2000, 1500}};  // 1/10 mm
constexpr POINT kMinimumSize[] = {{1000, 1000}};
constexpr POINT kMaximumSize[] = {{10000, 30000}};
constexpr char kPaperNames[][kPaperNameBytes] = {"Plain paper", "Label stock"};
constexpr LONG kResolutionList[] = {203, 300};

template <class Item, size_t count>
LONG CopyList(const Item (&items)[count], void* buffer) {
    if (buffer) std::memcpy(buffer, items, sizeof items);
    return static_cast<LONG>(count);
}

}  // namespace

LONG DeviceCapability(LONG index, void* buffer, const ModelTraits& traits) {
    switch (index) {
    case DC_PAPERS:
        return CopyList(kPaperIds, buffer);
    case DC_PAPERSIZE:
        return CopyList(kPaperSizes, buffer);
    case DC_MINEXTENT:
        return CopyList(kMinimumSize, buffer);
    case DC_MAXEXTENT:
        return CopyList(kMaximumSize, buffer);
    case DC_PAPERNAMES:
        return CopyList(kPaperNames, buffer);
    case kResolution:
        return traits.dpi;
    case kResolutions:
        return CopyList(kResolutionList, buffer);
    default:
        return 0;
    }
}

LONG DriverCapability(LONG index, LONG subIndex, const ModelTraits& traits) {
    if (index == kDateTimeFormats && traits.dateTime) {
        if (subIndex == kDateWord) return kDateRuns;
        if (subIndex == kTimeWord) return kTimeRuns;
    }
    if (index == kRfid && subIndex == kRfidSupported) return traits.rfid ? 1 : 0;
    return 0;
}

}  // namespace vb::sample
