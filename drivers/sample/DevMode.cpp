#include "DevMode.h"

#include "ByteFields.h"
#include "DevModeLayout.h"
#include "TextCodec.h"

#include <cstring>
#include <string>

namespace vb::sample {

void FillDevMode(BYTE* devmode, std::wstring_view model, const ModelTraits& traits) {
    using namespace devmode;
    std::memset(devmode, 0, kSize);

    std::string name = ToAnsiCut(model, kDeviceNameBytes - 1);
    std::memcpy(devmode + kDeviceName, name.data(), name.size());

    WriteField<WORD>(devmode, kSpecVersion, kSpecVersionValue);
    WriteField<WORD>(devmode, kSetupSize, traits.setupPart ? static_cast<WORD>(kPublicSize) : 0);
    WriteField<WORD>(devmode, kDriverExtra, static_cast<WORD>(kSize - kPublicSize));
    WriteField<DWORD>(devmode, kFields, 0);
    WriteField<short>(devmode, kOrientation, kPortrait);
    WriteField<short>(devmode, kPaperSize, kUserPaper);
    WriteField<short>(devmode, kPaperLength, kDefaultPaperTenthsMm);
    WriteField<short>(devmode, kPaperWidth, kDefaultPaperTenthsMm);
    WriteField<short>(devmode, kColor, traits.color ? kColorDevice : kMonochrome);
    WriteField<WORD>(devmode, kLayoutMarker, traits.layoutMarker ? kLayoutMarkerValue : 0);
}

}  // namespace vb::sample
