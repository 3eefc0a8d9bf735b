#pragma once
// The codes D_GetLastError reports. A failing call sets one; a succeeding call leaves the last
// one in place, as GetLastError does.
#include <windows.h>

namespace vb::sample {

enum DriverError : LONG {
    kNoError = 0,
    kUnknownHandle = 1,     // the handle names no open instance of this library
    kBadArgument = 2,       // a required pointer is null, a text is empty, a flag is out of range
    kUnknownParameter = 3,  // D_PrinterParameter read a name that was never set
    kFileNotWritten = 4,    // the settings file or the print file could not be written
    kOutOfMemory = 5,       // a text or object for the caller could not be made
};

}  // namespace vb::sample
