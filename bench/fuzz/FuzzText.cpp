#include "FuzzText.h"

namespace vb::fuzz {

std::wstring WideFromFuzz(std::string_view input) {
    static const wchar_t kBases[] = {0x0080, 0x0100, 0x0400, 0x2000, 0x2500, 0x4E00, 0xE000, 0xFF00};
    std::wstring text;
    text.reserve(input.size());
    for (size_t i = 0; i < input.size(); ++i) {
        auto byte = static_cast<unsigned char>(input[i]);
        if (byte < 0xC0 || i + 1 == input.size()) {
            text += static_cast<wchar_t>(byte);
        } else {
            text += static_cast<wchar_t>(kBases[byte & 7] + static_cast<unsigned char>(input[++i]));
        }
    }
    return text;
}

}  // namespace vb::fuzz
