// The entry points that open and close driver instances and hand the driver the bench's windows.
#include "CallLog.h"
#include "DriverErrors.h"
#include "DriverState.h"
#include "Exports.h"

#include <string_view>

using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::State;

namespace {

void RememberWindow(std::string_view entryPoint, DRIVERHANDLE h, HWND window, HWND Instance::*slot) {
    LogCall(entryPoint, h, window);
    State().SetWindow(h, slot, window);
}

}  // namespace

extern "C" {

DRIVERHANDLE WINAPI D_EnableDriverW(DWORD, tagDRIVERINFO* info, LPCWSTR model, LPCWSTR port, DWORD) {
    LogCall(__func__, model, port);
    if (!info || !model || !*model) {
        State().Fail(vb::sample::kBadArgument);
        return 0;
    }
    vb::sample::WriteResolution(vb::sample::ParseModel(model), *info);
    return State().Enable(model);
}

// Ends the instance and lets go of every object it held.
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

void WINAPI D_SetParentWindow(DRIVERHANDLE h, HWND window) {
    RememberWindow(__func__, h, window, &Instance::parentWindow);
}

}  // extern "C"
