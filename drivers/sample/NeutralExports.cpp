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

DWORD WINAPI D_GetTextExtW(DRIVERHANDLE h, LPCWSTR, LONG) { return Neutral<DWORD>(__func__, h); }
LONG WINAPI D_GetTextMetricsW(DRIVERHANDLE h, TEXTMETRICW*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetTextFace(DRIVERHANDLE h, LONG, LPWSTR) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_TextOutW(DRIVERHANDLE h, const POINT*, LPCWSTR, LONG, COLORREF, LONG, COLORREF) {
    return Neutral<LONG>(__func__, h);
}

LONG WINAPI D_SELECTBRUSH(DRIVERHANDLE h, const LOGBRUSH*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_SELECTPEN(DRIVERHANDLE h, const LOGPEN*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_SelectPalette(DRIVERHANDLE h, HPALETTE) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_PatBlt(DRIVERHANDLE h, const POINT*, const SIZE*, DWORD) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_Output(DRIVERHANDLE h, LONG, LONG, const POINT*, LONG) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_PrintDIB(DRIVERHANDLE h, const POINT*, const SIZE*, HGLOBAL, DWORD) {
    return Neutral<LONG>(__func__, h);
}

DWORD WINAPI D_GetCodeExtW(DRIVERHANDLE h, LPCWSTR, LONG) { return Neutral<DWORD>(__func__, h); }
LONG WINAPI D_GetHumanFontW(DRIVERHANDLE h, LOGFONTW*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetCodeMetricsW(DRIVERHANDLE h, BYTE*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetCodeFace(DRIVERHANDLE h, LONG, LPWSTR) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_CodeOutW(DRIVERHANDLE h, const POINT*, LPCWSTR, LONG, COLORREF, LONG, COLORREF) {
    return Neutral<LONG>(__func__, h);
}
LONG WINAPI D_IsValidDataW(DRIVERHANDLE h, LPCWSTR) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_StartDocW(DRIVERHANDLE h, const DOCINFOW*) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_EndDoc(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_StartMultiplePage(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_EndMultiplePage(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_AbortDoc(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_SetAbortProc(DRIVERHANDLE h, ABORTPROC) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_SetupDlgW(DRIVERHANDLE h, DWORD, HWND, BYTE*, LPCWSTR, LPCWSTR) {
    return Neutral<LONG>(__func__, h);
}
LONG WINAPI D_CheckFormat(DRIVERHANDLE h, const BYTE*) { return Neutral<LONG>(__func__, h); }

LONG WINAPI D_GetSpecificOptions(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_SetRightsW(DRIVERHANDLE h, LPCWSTR) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_GetPrinterIDW(DRIVERHANDLE h, LPWSTR, LONG) { return Neutral<LONG>(__func__, h); }
LONG WINAPI D_CheckPrinter(DRIVERHANDLE h) { return Neutral<LONG>(__func__, h); }

}  // extern "C"
