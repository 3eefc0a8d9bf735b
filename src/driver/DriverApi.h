#pragma once
// The interface between the bench and a label-printer driver library: the records that cross
// the boundary and the signatures of its 53 D_ entry points. The sample driver compiles against
// this header too, so a mismatch between the two is a build error.
#include <windows.h>
#include <oaidl.h>

#include <cstddef>

// The block the driver fills when it is enabled. Only the two resolution pairs are the bench's;
// the rest belongs to the driver.
#pragma pack(push, 1)
struct tagDRIVERINFO {
    BYTE reserved1[40];
    SHORT defaultResolution[2];  // bytes 40-43: preset to 300 x 300
    BYTE reserved2[84];
    SHORT resolutionX;           // bytes 128-129: dots per inch used by every unit conversion
    SHORT resolutionY;           // bytes 130-131
    BYTE reserved3[36];
};
#pragma pack(pop)
static_assert(sizeof(tagDRIVERINFO) == 168, "the driver information block is 168 bytes");
static_assert(offsetof(tagDRIVERINFO, defaultResolution) == 40, "first resolution pair at byte 40");
static_assert(offsetof(tagDRIVERINFO, resolutionX) == 128, "resolution at bytes 128-131");

// The handle a driver returns from D_EnableDriverW; 0 means no instance.
using DRIVERHANDLE = DWORD;

// Callbacks of the font and barcode enumerations; return non-zero to go on.
typedef int(CALLBACK* DEVICEFONTENUMPROC)(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType,
                                          LPARAM data);
typedef int(CALLBACK* DEVICECODEENUMPROC)(const BYTE* description, const BYTE* metrics, DWORD codeType,
                                          LPARAM data);

// X(name, result, parameters) for every entry point, in the order the bench binds them.
#define VB_DRIVER_ENTRY_POINTS(X)                                                                      \
    X(D_Disable, BOOL, (DRIVERHANDLE h))                                                               \
    X(D_EnableDriverW, DRIVERHANDLE,                                                                   \
      (DWORD reserved, tagDRIVERINFO* info, LPCWSTR model, LPCWSTR port, DWORD flags))                 \
    X(D_SetCountry, LONG, (DRIVERHANDLE h, LONG country, LONG unit, DWORD reserved))                   \
    X(D_ResetDriver, LONG, (DRIVERHANDLE h, BYTE* devmode, tagDRIVERINFO* info))                       \
    X(D_GetDevModeW, LONG,                                                                             \
      (DRIVERHANDLE h, BYTE* devmode, LPCWSTR model, LPCWSTR port, LPCWSTR settingsFile))              \
    X(D_RealizeDMW, void, (DRIVERHANDLE h, const BYTE* devmodeIn, BYTE* devmodeOut, LPCWSTR model))   \
    X(D_SaveDMW, void,                                                                                 \
      (DRIVERHANDLE h, const BYTE* devmode, LPCWSTR model, LPCWSTR port, LPCWSTR settingsFile))        \
    X(D_DevCapsW, LONG,                                                                                \
      (DRIVERHANDLE h, LPCWSTR model, LPCWSTR port, LONG index, void* buffer, const BYTE* devmode))    \
    X(D_EnumFontsW, LONG, (DRIVERHANDLE h, LPCWSTR face, DEVICEFONTENUMPROC callback, LPARAM data))    \
    X(D_GetTextExtW, DWORD, (DRIVERHANDLE h, LPCWSTR text, LONG length))                               \
    X(D_GetTextMetricsW, LONG, (DRIVERHANDLE h, TEXTMETRICW * metrics))                                \
    X(D_GetTextFace, LONG, (DRIVERHANDLE h, LONG size, LPWSTR face))                                   \
    X(D_TextOutW, LONG,                                                                                \
      (DRIVERHANDLE h, const POINT* position, LPCWSTR text, LONG length, COLORREF color, LONG bkMode,  \
       COLORREF bkColor))                                                                              \
    X(D_SelectFontW, LONG, (DRIVERHANDLE h, const LOGFONTW* font))                                     \
    X(D_SELECTBRUSH, LONG, (DRIVERHANDLE h, const LOGBRUSH* brush))                                    \
    X(D_SELECTPEN, LONG, (DRIVERHANDLE h, const LOGPEN* pen))                                          \
    X(D_SelectPalette, LONG, (DRIVERHANDLE h, HPALETTE palette))                                       \
    X(D_PatBlt, LONG, (DRIVERHANDLE h, const POINT* position, const SIZE* size, DWORD rop))            \
    X(D_Output, LONG, (DRIVERHANDLE h, LONG style, LONG count, const POINT* points, LONG rop))         \
    X(D_PrintDIB, LONG,                                                                                \
      (DRIVERHANDLE h, const POINT* position, const SIZE* size, HGLOBAL packedDib, DWORD rop))         \
    X(D_EnumCodesW, LONG, (DRIVERHANDLE h, LPCWSTR face, DEVICECODEENUMPROC callback, LPARAM data))    \
    X(D_SelectCodeW, LONG, (DRIVERHANDLE h, const BYTE* description))                                  \
    X(D_GetCodeExtW, DWORD, (DRIVERHANDLE h, LPCWSTR data, LONG length))                               \
    X(D_GetHumanFontW, LONG, (DRIVERHANDLE h, LOGFONTW * font))                                        \
    X(D_GetCodeMetricsW, LONG, (DRIVERHANDLE h, BYTE * metrics))                                       \
    X(D_GetCodeFace, LONG, (DRIVERHANDLE h, LONG size, LPWSTR face))                                   \
    X(D_CodeOutW, LONG,                                                                                \
      (DRIVERHANDLE h, const POINT* position, LPCWSTR data, LONG length, COLORREF color, LONG bkMode,  \
       COLORREF bkColor))                                                                              \
    X(D_IsValidDataW, LONG, (DRIVERHANDLE h, LPCWSTR data))                                            \
    X(D_EscapeW, LONG, (DRIVERHANDLE h, LONG code, DWORD value, const void* input, void* output))      \
    X(D_PrinterParameter, LONG, (DRIVERHANDLE h, BYTE* devmode, const VARIANT* name, VARIANT* value))  \
    X(D_StartDocW, LONG, (DRIVERHANDLE h, const DOCINFOW* info))                                       \
    X(D_EndDoc, LONG, (DRIVERHANDLE h))                                                                \
    X(D_StartMultiplePage, LONG, (DRIVERHANDLE h))                                                     \
    X(D_EndMultiplePage, LONG, (DRIVERHANDLE h))                                                       \
    X(D_AbortDoc, LONG, (DRIVERHANDLE h))                                                              \
    X(D_SetAbortProc, LONG, (DRIVERHANDLE h, ABORTPROC proc))                                          \
    X(D_SetupDlgW, LONG,                                                                               \
      (DRIVERHANDLE h, DWORD reserved, HWND owner, BYTE* devmode, LPCWSTR model, LPCWSTR port))        \
    X(D_SetVarInfo, void, (DRIVERHANDLE h, LONG recordType, DWORD reserved, const void* record))       \
    X(D_GetDrvCaps, LONG, (DRIVERHANDLE h, LONG index, LONG subIndex))                                 \
    X(D_CheckFormat, LONG, (DRIVERHANDLE h, const BYTE* devmode))                                      \
    X(D_SetParentWindow, void, (DRIVERHANDLE h, HWND window))                                          \
    X(D_SetPFMessageBox, void, (DRIVERHANDLE h, DWORD reserved, HWND window))                          \
    X(D_SetPFAppEvent, void, (DRIVERHANDLE h, DWORD reserved, HWND window))                            \
    X(D_SetPFAppEventMT, void, (DRIVERHANDLE h, DWORD reserved, HWND window))                          \
    X(D_RFIDGetNames, LONG, (DRIVERHANDLE h, BSTR * names))                                            \
    X(D_RFIDGetObject, IDispatch*, (DRIVERHANDLE h, VARIANT item))                                     \
    X(D_RFIDUpdateInterface, void, (DRIVERHANDLE h, IDispatch * object, LONG released))                \
    X(D_GetSpecificOptions, LONG, (DRIVERHANDLE h))                                                    \
    X(D_SetSpecificOptions, void, (DRIVERHANDLE h, DWORD options))                                     \
    X(D_SetRightsW, LONG, (DRIVERHANDLE h, LPCWSTR rights))                                            \
    X(D_GetLastError, LONG, ())                                                                        \
    X(D_GetPrinterIDW, LONG, (DRIVERHANDLE h, LPWSTR id, LONG size))                                   \
    X(D_CheckPrinter, LONG, (DRIVERHANDLE h))

// Pointer types PFN_D_Disable, PFN_D_EnableDriverW, ...
#define VB_DECLARE_ENTRY_POINT_TYPE(name, result, params) typedef result(WINAPI* PFN_##name) params;
VB_DRIVER_ENTRY_POINTS(VB_DECLARE_ENTRY_POINT_TYPE)
#undef VB_DECLARE_ENTRY_POINT_TYPE

#define VB_COUNT_ENTRY_POINT(name, result, params) +1
constexpr int kDriverEntryPointCount = 0 VB_DRIVER_ENTRY_POINTS(VB_COUNT_ENTRY_POINT);
#undef VB_COUNT_ENTRY_POINT
static_assert(kDriverEntryPointCount == 53, "a driver library has 53 entry points");
