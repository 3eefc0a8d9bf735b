// The entry points that hand out, apply and save the devmode, and report the device's
// capabilities by DeviceCapabilities index.
#include "CallLog.h"
#include "DevMode.h"
#include "DevModeLayout.h"
#include "DeviceCapabilities.h"
#include "DriverState.h"
#include "Exports.h"
#include "SettingsFile.h"

#include <cstring>
#include <string>

using vb::sample::LogCall;
using vb::sample::ModelTraits;
using vb::sample::State;

extern "C" {

// Called with a null buffer it answers the size to allocate.
LONG WINAPI D_GetDevModeW(DRIVERHANDLE h, BYTE* devmode, LPCWSTR model, LPCWSTR, LPCWSTR) {
    LogCall(__func__, h);
    std::wstring name;
    ModelTraits traits;
    if (!State().ModelFor(h, model, name, traits)) return 0;
    if (!devmode) return vb::sample::devmode::kSize;
    vb::sample::FillDevMode(devmode, name, traits);
    return 1;
}

void WINAPI D_RealizeDMW(DRIVERHANDLE h, const BYTE* devmodeIn, BYTE* devmodeOut, LPCWSTR model) {
    LogCall(__func__, h, model);
    if (!State().Knows(h)) return;
    if (!devmodeIn || !devmodeOut) {
        State().Fail(vb::sample::kBadArgument);
        return;
    }
    State().Use(h, [&](vb::sample::Instance& instance) { instance.print.KeepDevMode(devmodeIn); });
    // The bench hands the same buffer as both; memmove also copes with buffers that overlap.
    if (devmodeIn != devmodeOut) std::memmove(devmodeOut, devmodeIn, vb::sample::devmode::kSize);
}

// The devmode, when given, is the one the next document is printed with.
LONG WINAPI D_ResetDriver(DRIVERHANDLE h, BYTE* devmode, tagDRIVERINFO* info) {
    LogCall(__func__, h);
    std::wstring model;
    ModelTraits traits;
    if (!State().ModelFor(h, nullptr, model, traits)) return 0;
    if (!info) {
        State().Fail(vb::sample::kBadArgument);
        return 0;
    }
    vb::sample::WriteResolution(traits, *info);
    State().Use(h, [&](vb::sample::Instance& instance) { instance.print.KeepDevMode(devmode); });
    return 1;
}

void WINAPI D_SaveDMW(DRIVERHANDLE h, const BYTE* devmode, LPCWSTR model, LPCWSTR, LPCWSTR settingsFile) {
    LogCall(__func__, h, model, settingsFile);
    std::wstring name;
    ModelTraits traits;
    if (!State().ModelFor(h, model, name, traits)) return;
    if (!devmode || !settingsFile || !*settingsFile) {
        State().Fail(vb::sample::kBadArgument);
        return;
    }
    if (!vb::sample::SaveSettings(settingsFile, name, devmode)) State().Fail(vb::sample::kFileNotWritten);
}

LONG WINAPI D_DevCapsW(DRIVERHANDLE h, LPCWSTR model, LPCWSTR, LONG index, void* buffer, const BYTE*) {
    LogCall(__func__, h, index);
    std::wstring name;
    ModelTraits traits;
    if (!State().ModelFor(h, model, name, traits)) return 0;
    return vb::sample::DeviceCapability(index, buffer, traits);
}

}  // extern "C"
