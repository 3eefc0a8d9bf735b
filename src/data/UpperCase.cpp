#include "UpperCase.h"

namespace vb {

std::wstring ToUpperAscii(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return result;
}

}  // namespace vb
