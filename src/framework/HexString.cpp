#include "HexString.h"

#include <cwchar>

namespace vb {

std::wstring ConvertHexString(std::wstring_view text, BOOL toHex) {
    std::wstring result;
    if (toHex) {
        for (wchar_t unit : text) {
            wchar_t digits[8];
            std::swprintf(digits, 8, L"%.2x", static_cast<unsigned>(unit));
            result += digits;
        }
        return result;
    }
    for (size_t start = 0; start < text.size(); start += 2) {
        std::wstring pair(text.substr(start, 2));
        unsigned value = 0;
        if (std::swscanf(pair.c_str(), L"%x", &value) == 1) result += static_cast<wchar_t>(value);
    }
    return result;
}

}  // namespace vb
