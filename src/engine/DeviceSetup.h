#pragma once
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "UniqueHandle.h"

// The device set-up interface as the output ports use it: printers of the printer set-up class,
// matched to USB device interfaces through their container ids.
namespace vb {

// {4D36E979-E325-11CE-BFC1-08002BE10318}
constexpr GUID kPrinterSetupClass = {0x4D36E979, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
// {A5DCBF10-6530-11D2-901F-00C04FB951ED}
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
// SPDRP_BASE_CONTAINERID, missing from the cross compiler's headers.
constexpr DWORD kBaseContainerIdProperty = 0x24;

struct DeviceInfoSetTraits {
    using Handle = HDEVINFO;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::SetupDiDestroyDeviceInfoList(h); }
};
using UniqueDeviceInfoSet = UniqueHandle<DeviceInfoSetTraits>;

// A zeroed record of the set-up interface with its size field set, as every call wants it.
template <class Record>
Record SizedRecord() noexcept {
    Record record{};
    record.cbSize = sizeof record;
    return record;
}

// A device registry property as text: the first string of a string value, a DWORD as decimal,
// any other type as empty text. False when the device has no such property or it cannot be read.
bool ReadDevicePropertyText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, std::wstring& text);

}  // namespace vb
