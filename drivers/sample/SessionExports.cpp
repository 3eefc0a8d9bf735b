// The entry points that open and close driver instances and hand the driver the bench's windows
// and objects.
#include "CallLog.h"
#include "DriverErrors.h"
#include "DriverState.h"
#include "Exports.h"

#include <string_view>

using vb::ComPtr;
using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::State;

namespace {

constexpr LONG kRfidTaken = 0;
constexpr LONG kRfidReleased = 1;

void RememberWindow(std::string_view entryPoint, DRIVERHANDLE h, HWND window, HWND Instance::*slot) {
    LogCall(entryPoint, h, window);
    State().SetWindow(h, slot, window);
}

std::wstring RfidFlagText(LONG released) {
    if (released == kRfidTaken) return L"taken";
    if (released == kRfidReleased) return L"released";
    return vb::sample::ArgumentText(released);
}

}  // namespace

extern "C" {

// The info block's resolutions stay as the caller preset them until models carry their own.
DRIVERHANDLE WINAPI D_EnableDriverW(DWORD, tagDRIVERINFO* info, LPCWSTR model, LPCWSTR port, DWORD) {
    LogCall(__func__, model, port);
    if (!info || !model || !*model) {
        State().Fail(vb::sample::kBadArgument);
        return 0;
    }
    return State().Enable(model);
}

BOOL WINAPI D_Disable(DRIVERHANDLE h) {
    LogCall(__func__, h);
    return State().Disable(h) ? TRUE : FALSE;
}

LONG WINAPI D_GetLastError() {
    LogCall(__func__);
    return State().LastError();
}

void WINAPI D_SetPFMessageBox(DRIVERHANDLE h, DWORD, HWND window) {
    RememberWindow(__func__, h, window, &Instance::messageBoxWindow);
}

void WINAPI D_SetPFAppEvent(DRIVERHANDLE h, DWORD, HWND window) {
    RememberWindow(__func__, h, window, &Instance::appEventWindow);
}

void WINAPI D_SetPFAppEventMT(DRIVERHANDLE h, DWORD, HWND window) {
    RememberWindow(__func__, h, window, &Instance::appEventWindowMT);
}

// Taken: the driver holds its own reference until released, disabled or unloaded.
void WINAPI D_RFIDUpdateInterface(DRIVERHANDLE h, IDispatch* object, LONG released) {
    LogCall(__func__, h, RfidFlagText(released).c_str());
    if (released == kRfidTaken && object) {
        State().ExchangeRfidObject(h, ComPtr<IDispatch>(object));
    } else if (released == kRfidReleased) {
        State().ExchangeRfidObject(h, nullptr);
    } else {
        State().Fail(vb::sample::kBadArgument);
    }
}

}  // extern "C"
