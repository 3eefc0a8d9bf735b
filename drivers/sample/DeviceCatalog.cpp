#include "DeviceCatalog.h"

#include "ByteFields.h"
#include "CodeDescriptionLayout.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cwchar>

namespace vb::sample {

namespace {

struct DeviceFont {
    const wchar_t* face;
    LONG height;
};

// The third repeats the first but for case and blanks: the bench folds such names into one
// entry, keeping the later, and tests check that it does.
constexpr DeviceFont kFonts[] = {
    {L"Label Sans", -24},
    {L"Label Mono", -20},
    {L" LABEL SANS ", -32},
    {L"Label Serif", -28},
};

struct DeviceCode {
    const wchar_t* name;
    WORD type;
};

constexpr DeviceCode kCodes[] = {
    {L"Code 128", 67},
    {L"EAN 13", 69},
    {L"QR Code", 123},
};

void Describe(const DeviceFont& font, LOGFONTW& logFont, TEXTMETRICW& metrics) {
    logFont = LOGFONTW{};
    logFont.lfHeight = font.height;
    logFont.lfEscapement = 0;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(logFont.lfFaceName, font.face, LF_FACESIZE - 1);

    const LONG size = std::labs(font.height);
    metrics = TEXTMETRICW{};
    metrics.tmHeight = size;
    metrics.tmAveCharWidth = size / 2;
    metrics.tmMaxCharWidth = size;
}

void Describe(const DeviceCode& barcode, BYTE* description, BYTE* metrics) {
    using namespace code;
    std::fill_n(description, kDescriptionSize, BYTE{0});
    WriteField<WORD>(description, kType, barcode.type);
    WriteField<LONG>(description, kVerticalSize, 1000);
    WriteField<LONG>(description, kHorizontalSize, 0);
    WriteField<LONG>(description, kModuleX, 25);
    WriteField<LONG>(description, kModuleY, 1000);
    WriteField<LONG>(description, kGap, 0);
    WriteField<LONG>(description, kRotation, 0);
    description[kCheckDigit] = 1;
    description[kHumanReadable] = 1;
    description[kCheckInHumanReadable] = 0;
    WriteField<LONG>(description, kOption1, 0);
    WriteField<LONG>(description, kOption2, 0);
    WriteWideField(description, kName, kNameBytes, barcode.name);

    // The metrics are the driver's own; a fixed pattern lets a test see them arrive unchanged.
    for (size_t i = 0; i < kMetricsSize; ++i) metrics[i] = static_cast<BYTE>(i);
}

}  // namespace

LONG EnumerateFonts(DEVICEFONTENUMPROC callback, LPARAM data) {
    LONG calledBack = 0;
    for (const DeviceFont& font : kFonts) {
        LOGFONTW logFont;
        TEXTMETRICW metrics;
        Describe(font, logFont, metrics);
        ++calledBack;
        if (!callback(&logFont, &metrics, DEVICE_FONTTYPE, data)) break;
    }
    return calledBack;
}

LONG EnumerateCodes(DEVICECODEENUMPROC callback, LPARAM data) {
    LONG calledBack = 0;
    for (const DeviceCode& barcode : kCodes) {
        std::array<BYTE, code::kDescriptionSize> description;
        std::array<BYTE, code::kMetricsSize> metrics;
        Describe(barcode, description.data(), metrics.data());
        ++calledBack;
        if (!callback(description.data(), metrics.data(), barcode.type, data)) break;
    }
    return calledBack;
}

}  // namespace vb::sample
