#pragma once
// The two test escapes that make the driver call the bench's callback object, so the whole
// path from a driver call back into the bench can be run and checked from the call log.
#include <oaidl.h>

namespace vb::sample {

// Escape 0x7001: fetches the variable `name` through GetVarInfo into a record of the driver's
// own. 1 when the bench knows the variable, 0 when it does not or the call fails.
LONG LookUpVariable(IDispatch* callback, const wchar_t* name);

// Escape 0x7002: reads the page and label sizes of the bench's format object. 1 when read,
// 0 when a call fails.
LONG ReadFormat(IDispatch* callback);

}  // namespace vb::sample
