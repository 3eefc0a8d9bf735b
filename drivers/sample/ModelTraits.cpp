#include "ModelTraits.h"

#include <algorithm>
#include <cwctype>

namespace vb::sample {

namespace {

// The words are ASCII, so folding the name's ASCII letters is all the matching needs.
bool Contains(std::wstring_view model, std::wstring_view word) {
    auto sameLetter = [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); };
    return std::search(model.begin(), model.end(), word.begin(), word.end(), sameLetter) != model.end();
}

}  // namespace

ModelTraits ParseModel(std::wstring_view model) {
    ModelTraits traits;
    if (Contains(model, L"203"))
        traits.dpi = 203;
    else if (Contains(model, L"600"))
        traits.dpi = 600;
    traits.color = Contains(model, L"COLOR");
    traits.layoutMarker = !Contains(model, L"NOMARK");
    traits.setupPart = !Contains(model, L"NOSETUP");
    traits.fonts = !Contains(model, L"NOFONTS");
    traits.codes = traits.fonts && !Contains(model, L"NOCODES");
    traits.rfid = Contains(model, L"RFID");
    traits.dateTime = !Contains(model, L"NODATE");
    traits.fileList = Contains(model, L"FILELIST");
    return traits;
}

void WriteResolution(const ModelTraits& traits, tagDRIVERINFO& info) {
    info.resolutionX = traits.dpi;
    info.resolutionY = traits.dpi;
}

}  // namespace vb::sample
