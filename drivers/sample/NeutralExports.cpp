// Entry points the sample driver accepts without doing anything yet: each logs its handle and
// answers 0 (or nothing), writing to none of the caller's buffers.
#include "CallLog.h"
#include "Exports.h"

#include <string_view>

namespace {

template <class Result>
Result Neutral(std::string_view entryPoint, DRIVERHANDLE h) {
    vb::sample::LogCall(entryPoint, h);
    return Result();
}

}  // namespace

extern "C" {

LONG WINAPI D_GetTextMetricsW(DRIVERHANDLE h, TEXTMETRICW*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetTextFace(DRIVERHANDLE h, LONG, LPWSTR) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_SelectPalette(DRIVERHANDLE h, HPALETTE) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_GetHumanFontW(DRIVERHANDLE h, LOGFONTW*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetCodeMetricsW(DRIVERHANDLE h, BYTE*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetCodeFace(DRIVERHANDLE h, LONG, LPWSTR) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_AbortDoc(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_SetAbortProc(DRIVERHANDLE h, ABORTPROC) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_CheckFormat(DRIVERHANDLE h, const BYTE*) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_GetSpecificOptions(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_SetRightsW(DRIVERHANDLE h, LPCWSTR) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetPrinterIDW(DRIVERHANDLE h, LPWSTR, LONG) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_CheckPrinter(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }

}  // extern "C"
