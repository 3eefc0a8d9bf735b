#include "DeviceSetup.h"

#include <cstring>
#include <vector>

namespace vb {

bool ReadDevicePropertyText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, std::wstring& text) {
    text.clear();
    DWORD type = 0;
    DWORD size = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, nullptr, 0, &size) && size == 0) {
        return false;
    }
    // Zeroed with room for a terminator, so a stored string without one still ends.
    std::vector<wchar_t> value(size / sizeof(wchar_t) + 2, L'\0');
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(value.data()),
                                             size, nullptr)) {
        return false;
    }
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ:
            text = value.data();
            break;
        case REG_DWORD: {
            DWORD number = 0;
            if (size >= sizeof number) std::memcpy(&number, value.data(), sizeof number);
            text = std::to_wstring(number);
            break;
        }
        default:
            break;
    }
    return true;
}

}  // namespace vb
