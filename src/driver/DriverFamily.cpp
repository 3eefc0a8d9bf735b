#include "DriverFamily.h"

#include <cwchar>

#include "Strings.h"

DriverFamily FamilyOf(const std::wstring& shortName) {
    for (int number = 1; number <= 16; ++number) {
        wchar_t name[16];
        std::swprintf(name, 16, L"FAM%02d.PRN", number);
        if (vb::EqualsNoCase(shortName, name)) return static_cast<DriverFamily>(number);
    }
    return DriverFamily::Other;
}
