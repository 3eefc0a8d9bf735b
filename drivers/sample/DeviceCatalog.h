#pragma once
// The device fonts and barcode types of the sample printer, handed to the bench's enumeration
// callbacks. Each enumeration stops early when the callback returns 0 and answers how many
// entries it called back.
#include "DriverApi.h"

namespace vb::sample {

LONG EnumerateFonts(DEVICEFONTENUMPROC callback, LPARAM data);
LONG EnumerateCodes(DEVICECODEENUMPROC callback, LPARAM data);

}  // namespace vb::sample
