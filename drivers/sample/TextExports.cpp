// The entry points that measure, check and print text and barcodes with the device's own fonts
// and barcode types.
#include "CallLog.h"
#include "DriverState.h"
#include "Exports.h"
#include "PrintCall.h"

#include <string>
#include <string_view>

using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::PrintFile;
using vb::sample::State;

namespace {

constexpr LONG kEmptyData = -3;
constexpr LONG kInvalidData = -1;
constexpr LONG kValidData = 1;

// `length` letters of the text, as counted strings go; the count is the caller's promise.
std::wstring CountedText(const wchar_t* text, LONG length) {
    if (!text || length <= 0) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

// TEXT and BARCODE: the same command but for its word.
LONG PrintText(std::string_view entryPoint, const wchar_t* command, DRIVERHANDLE h, const POINT* position,
               const wchar_t* text, LONG length, COLORREF color, LONG bkMode, COLORREF bkColor) {
    const std::wstring printed = CountedText(text, length);
    LogCall(entryPoint, h, position ? position->x : 0L, position ? position->y : 0L, printed);
    if (!position) return vb::sample::RefuseArgument(h);
    return vb::sample::PrintCommand(h, [&](Instance& instance) {
        return instance.print.file.Command(L"%ls %ld,%ld \"%ls\" color=%06lX bk=%ld:%06lX", command, position->x,
                                           position->y, PrintFile::Text(printed).c_str(), color, bkMode, bkColor);
    });
}

// Extent of the instance's current selection; 0 for an unknown handle.
template <class Measure>
DWORD Extent(DRIVERHANDLE h, Measure measure) {
    DWORD extent = 0;
    State().Use(h, [&](Instance& instance) { extent = measure(instance.print); });
    return extent;
}

}  // namespace

extern "C" {

DWORD WINAPI D_GetTextExtW(DRIVERHANDLE h, LPCWSTR text, LONG length) {
    LogCall(__func__, h, text);
    return Extent(h, [&](const vb::sample::PrintState& print) { return print.TextExtent(length); });
}

DWORD WINAPI D_GetCodeExtW(DRIVERHANDLE h, LPCWSTR data, LONG length) {
    LogCall(__func__, h, data, length);
    return Extent(h, [&](const vb::sample::PrintState& print) { return print.CodeExtent(length); });
}

LONG WINAPI D_TextOutW(DRIVERHANDLE h, const POINT* position, LPCWSTR text, LONG length, COLORREF color, LONG bkMode,
                       COLORREF bkColor) {
    return PrintText(__func__, L"TEXT", h, position, text, length, color, bkMode, bkColor);
}

LONG WINAPI D_CodeOutW(DRIVERHANDLE h, const POINT* position, LPCWSTR data, LONG length, COLORREF color, LONG bkMode,
                       COLORREF bkColor) {
    return PrintText(__func__, L"BARCODE", h, position, data, length, color, bkMode, bkColor);
}

// Empty data and data holding '?' are refused, so that a bench can be tested with both answers.
LONG WINAPI D_IsValidDataW(DRIVERHANDLE h, LPCWSTR data) {
    LogCall(__func__, h, data);
    if (!State().Knows(h)) return 0;
    if (!data || !*data) return kEmptyData;
    return std::wstring_view(data).find(L'?') != std::wstring_view::npos ? kInvalidData : kValidData;
}

}  // extern "C"
