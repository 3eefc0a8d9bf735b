#include "SettingsFile.h"

#include "ByteFields.h"
#include "DevModeLayout.h"

#include <string>

namespace vb::sample {

namespace {

// A model name is the caller's text: a line break or a ']' in it would end the section header
// early and turn the rest of the name into lines of its own.
std::wstring SectionName(std::wstring_view model) {
    std::wstring section(model);
    for (wchar_t& letter : section) {
        if (letter < L' ' || letter == L']') letter = L'_';
    }
    return section;
}

}  // namespace

bool SaveSettings(const std::wstring& path, std::wstring_view model, const BYTE* devmode) {
    using namespace devmode;
    const std::wstring section = SectionName(model);
    const struct {
        const wchar_t* key;
        long value;
    } entries[] = {
        {L"PaperWidth", ReadField<short>(devmode, kPaperWidth)},
        {L"PaperLength", ReadField<short>(devmode, kPaperLength)},
        {L"LabelWidth", ReadField<LONG>(devmode, kLabelWidth)},
        {L"LabelHeight", ReadField<LONG>(devmode, kLabelHeight)},
        {L"Copies", ReadField<LONG>(devmode, kCopies)},
    };
    for (const auto& entry : entries) {
        std::wstring value = std::to_wstring(entry.value);
        if (!::WritePrivateProfileStringW(section.c_str(), entry.key, value.c_str(), path.c_str())) return false;
    }
    return true;
}

}  // namespace vb::sample
