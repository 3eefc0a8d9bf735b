#pragma once
// What the device reports through D_DevCapsW and D_GetDrvCaps.
#include "ModelTraits.h"

#include <windows.h>

namespace vb::sample {

// D_DevCapsW: for a list, its item count, copying the items into `buffer` when there is one;
// for a single value, the value. 0 for an index the device does not know.
LONG DeviceCapability(LONG index, void* buffer, const ModelTraits& traits);

// D_GetDrvCaps: the capability words of the device.
LONG DriverCapability(LONG index, LONG subIndex, const ModelTraits& traits);

}  // namespace vb::sample
