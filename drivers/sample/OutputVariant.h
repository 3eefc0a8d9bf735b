#pragma once
// A switch of the driver's own that changes its output: with the driver parameter "Variant" set
// to anything but an empty text or "0", every document says so in a line after its SETUP line.
// A comparison run can so be made to differ from its reference run on purpose.
#include "DriverState.h"

namespace vb::sample {

// Writes `VARIANT "<value>"` when the instance has the switch on; false when the write failed.
bool WriteVariantCommand(Instance& instance);

}  // namespace vb::sample
