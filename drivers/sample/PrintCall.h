#pragma once
// The common ending of the entry points that print: the instance's printing state is changed
// and the command written under the instance lock, and the answer tells the bench how it went.
#include "DriverErrors.h"
#include "DriverState.h"

namespace vb::sample {

// Runs print(Instance&) -> bool (false: the print file could not be written) on the instance.
// 1 when done; 0 for an unknown handle, and 0 with kFileNotWritten when the write failed.
template <class Print>
LONG PrintCommand(DRIVERHANDLE h, Print&& print) {
    bool written = true;
    if (!State().Use(h, [&](Instance& instance) { written = print(instance); })) return 0;
    if (!written) {
        State().Fail(kFileNotWritten);
        return 0;
    }
    return 1;
}

// 0 for a call missing a required argument; an unknown handle is reported before the argument.
inline LONG RefuseArgument(DRIVERHANDLE h) {
    if (State().Knows(h)) State().Fail(kBadArgument);
    return 0;
}

}  // namespace vb::sample
