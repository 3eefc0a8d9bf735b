// The output ports the main dialog offers, and the device behind a USB entry.
#include <windows.h>
#include <winspool.h>

#include <cstdlib>
#include <cwchar>
#include <string_view>

#include "DeviceSetup.h"
#include "Resources.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kFileOutput[] = L"FILE";
constexpr std::wstring_view kUsbPrefix = L"USB0";

bool StartsWithUsb(const std::wstring& name) {
    return name.size() >= kUsbPrefix.size() && vb::EqualsNoCase(std::wstring_view(name).substr(0, kUsbPrefix.size()), kUsbPrefix);
}

// "USB0%02u %s": the number is the device's place in the enumeration, so a name keeps
// pointing at the same device as long as the set of printers stays the same.
std::wstring UsbEntry(DWORD number, const std::wstring& description) {
    wchar_t digits[16];
    std::swprintf(digits, 16, L"%02u", static_cast<unsigned>(number));
    return std::wstring(kUsbPrefix) + digits + L" " + description;
}

LRESULT FindExact(HWND combo, const std::wstring& text) {
    return ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

std::vector<CWorkSpace::PortRecord> CWorkSpace::ReadSpoolerPorts() {
    std::vector<PortRecord> records;
    DWORD needed = 0;
    DWORD count = 0;
    if (::EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count) || needed == 0) return records;
    std::vector<BYTE> buffer(needed);
    if (!::EnumPortsW(nullptr, 2, buffer.data(), needed, &needed, &count)) return records;
    const auto* ports = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD index = 0; index < count; ++index) {
        records.push_back({ports[index].pPortName ? ports[index].pPortName : L"", ports[index].fPortType});
    }
    return records;
}

std::vector<std::wstring> CWorkSpace::PrinterPorts(const std::vector<PortRecord>& ports) {
    std::vector<std::wstring> names;
    for (const PortRecord& port : ports) {
        if (port.type != (PORT_TYPE_WRITE | PORT_TYPE_READ) || StartsWithUsb(port.name)) continue;
        std::wstring name = port.name;
        while (!name.empty() && name.back() == L':') name.pop_back();
        names.push_back(name);
    }
    return names;
}

int CWorkSpace::FillPortList(HWND combo) { return FillPortList(combo, ReadSpoolerPorts()); }

int CWorkSpace::FillPortList(HWND combo, const std::vector<PortRecord>& spoolerPorts) {
    if (!combo || !::IsWindow(combo)) return 0;
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    std::vector<std::wstring> ports = PrinterPorts(spoolerPorts);
    EnumUsbPrinters(ports);
    int added = 0;
    for (const std::wstring& port : ports) {
        if (::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.c_str())) >= 0) ++added;
    }
    LRESULT selected = FindExact(combo, output_);
    if (selected == CB_ERR) {
        // The saved port is gone (a printer unplugged): fall back without marking the
        // configuration changed, so nothing is written unless the user chooses.
        selected = FindExact(combo, kFileOutput);
        output_ = kFileOutput;
    }
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return added;
}

int CWorkSpace::EnumUsbPrinters(std::vector<std::wstring>& ports) {
    vb::UniqueDeviceInfoSet printers(::SetupDiGetClassDevsW(&vb::kPrinterSetupClass, nullptr, nullptr, DIGCF_PRESENT));
    if (!printers) {
        LogError(vb::FormatWin32Error(::GetLastError()));
        return 0;
    }
    auto device = vb::SizedRecord<SP_DEVINFO_DATA>();
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(printers.Get(), index, &device); ++index) {
        std::wstring description;
        if (vb::ReadDevicePropertyText(printers.Get(), device, SPDRP_DEVICEDESC, description)) {
            ports.push_back(UsbEntry(index + 1, description));
        }
    }
    return 0;
}

BOOL CWorkSpace::GetUsbDevicePath(std::wstring& port) {
    if (!StartsWithUsb(port)) return FALSE;
    int number = std::wcstol(port.c_str() + kUsbPrefix.size(), nullptr, 10);
    if (number <= 0) return FALSE;

    std::wstring containerId;
    {
        vb::UniqueDeviceInfoSet printers(::SetupDiGetClassDevsW(&vb::kPrinterSetupClass, nullptr, nullptr, DIGCF_PRESENT));
        if (!printers) {
            LogError(vb::FormatWin32Error(::GetLastError()));
            return FALSE;
        }
        auto device = vb::SizedRecord<SP_DEVINFO_DATA>();
        DWORD index = static_cast<DWORD>(number - 1);
        if (!::SetupDiEnumDeviceInfo(printers.Get(), index, &device)) return FALSE;
        std::wstring description;
        if (vb::ReadDevicePropertyText(printers.Get(), device, SPDRP_DEVICEDESC, description)) {
            Log(vb::FormatTemplate(L"Found USB Device[%s]=%s", {std::to_wstring(index), description}));
        }
        vb::ReadDevicePropertyText(printers.Get(), device, vb::kBaseContainerIdProperty, containerId);
    }

    // A printer without a container id belongs to no USB device: matched on an empty id, it
    // would be sent to whichever device also lacks one.
    if (containerId.empty()) return FALSE;
    vb::UniqueDeviceInfoSet interfaces(::SetupDiGetClassDevsW(&vb::kUsbDeviceInterface, nullptr, nullptr,
                                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!interfaces) {
        LogError(vb::FormatWin32Error(::GetLastError()));
        return FALSE;
    }
    auto entry = vb::SizedRecord<SP_DEVICE_INTERFACE_DATA>();
    for (DWORD index = 0;
         ::SetupDiEnumDeviceInterfaces(interfaces.Get(), nullptr, &vb::kUsbDeviceInterface, index, &entry); ++index) {
        auto device = vb::SizedRecord<SP_DEVINFO_DATA>();
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(interfaces.Get(), &entry, nullptr, 0, &size, &device);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<DWORD> buffer(size / sizeof(DWORD) + 1, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!::SetupDiGetDeviceInterfaceDetailW(interfaces.Get(), &entry, detail, size, nullptr, &device)) continue;
        std::wstring interfaceContainerId;
        if (vb::ReadDevicePropertyText(interfaces.Get(), device, vb::kBaseContainerIdProperty, interfaceContainerId) &&
            _wcsicmp(interfaceContainerId.c_str(), containerId.c_str()) == 0) {
            port = detail->DevicePath;
            return TRUE;
        }
    }
    return FALSE;
}
