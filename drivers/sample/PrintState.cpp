#include "PrintState.h"

#include "ByteFields.h"
#include "DevModeLayout.h"

#include <algorithm>
#include <cstdlib>

namespace vb::sample {

namespace {

constexpr long long kDefaultTextHeight = 10;
constexpr long long kDefaultCodeHeight = 100;
constexpr long long kModulesPerLetter = 11;

WORD Clamped(long long value) { return static_cast<WORD>(std::clamp<long long>(value, 0, 0xFFFF)); }

// letters x dots a letter; any factor past 0xFFFF already clamps the product, so capping the
// factors first keeps the multiplication far from overflowing.
WORD Width(LONG length, long long perLetter) {
    const long long letters = std::clamp<long long>(length, 0, 0x10000);
    return Clamped(letters * std::min<long long>(perLetter, 0x10000));
}

}  // namespace

void PrintState::KeepDevMode(const BYTE* devmode) {
    if (devmode) devmode_.assign(devmode, devmode + devmode::kPrintedFieldsEnd);
}

bool PrintState::StartDocument(const std::wstring& name, const std::wstring& output, short dpi) {
    if (!file.Open(output)) return false;
    return file.Command(L"DOC \"%ls\"", PrintFile::Text(name).c_str()) && WriteSetup(dpi);
}

bool PrintState::EndDocument() {
    bool written = file.Command(L"END DOC");
    return file.Close() && written;
}

bool PrintState::WriteSetup(short dpi) {
    using namespace devmode;
    if (devmode_.empty()) return file.Command(L"SETUP dpi=%dx%d", dpi, dpi);
    const BYTE* fields = devmode_.data();
    std::wstring labels;
    const WORD marker = ReadField<WORD>(fields, kLayoutMarker);
    if (marker == kLayoutMarkerValue || marker == kOtherLayoutMarkerValue) {
        labels = PrintFile::Format(L" labels=%ldx%ld label=%ldx%ld copies=%ld", ReadField<LONG>(fields, kLabelsPerRow),
                                   ReadField<LONG>(fields, kLabelsPerColumn), ReadField<LONG>(fields, kLabelWidth),
                                   ReadField<LONG>(fields, kLabelHeight), ReadField<LONG>(fields, kCopies));
    }
    return file.Command(L"SETUP dpi=%dx%d paper=%dx%d%ls", dpi, dpi, ReadField<short>(fields, kPaperWidth),
                        ReadField<short>(fields, kPaperLength), labels.c_str());
}

DWORD PrintState::TextExtent(LONG length) const {
    long long height = font ? std::llabs(static_cast<long long>(font->lfHeight)) : 0;
    if (height == 0) height = kDefaultTextHeight;
    return MAKELONG(Width(length, std::max<long long>(1, height / 2)), Clamped(height));
}

DWORD PrintState::CodeExtent(LONG length) const {
    const LONG moduleX = code ? ReadField<LONG>(code->data(), code::kModuleX) : 0;
    long long height = code ? ReadField<LONG>(code->data(), code::kVerticalSize) : 0;
    if (height == 0) height = kDefaultCodeHeight;
    return MAKELONG(Width(length, std::max<long long>(1, moduleX) * kModulesPerLetter), Clamped(height));
}

}  // namespace vb::sample
