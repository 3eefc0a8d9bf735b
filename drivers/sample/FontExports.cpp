// The entry points that list and select the device's fonts and barcode types.
#include "ByteFields.h"
#include "CallLog.h"
#include "CodeDescriptionLayout.h"
#include "DeviceCatalog.h"
#include "DriverState.h"
#include "Exports.h"

#include <cwchar>
#include <string>

using vb::sample::LogCall;
using vb::sample::ModelTraits;
using vb::sample::State;

namespace {

// Whether the instance's model has fonts and barcode types at all; false for a bad call.
template <class Callback>
bool MayEnumerate(DRIVERHANDLE h, Callback callback) {
    std::wstring model;
    ModelTraits traits;
    if (!State().ModelFor(h, nullptr, model, traits)) return false;
    if (!callback) {
        State().Fail(vb::sample::kBadArgument);
        return false;
    }
    return traits.fonts;
}

// A selection succeeds for a known instance and a record to select.
LONG Selected(DRIVERHANDLE h, const void* record) {
    if (!State().Knows(h)) return 0;
    if (!record) {
        State().Fail(vb::sample::kBadArgument);
        return 0;
    }
    return 1;
}

}  // namespace

extern "C" {

// The face argument does not narrow the list: the bench always asks for every font.
LONG WINAPI D_EnumFontsW(DRIVERHANDLE h, LPCWSTR, DEVICEFONTENUMPROC callback, LPARAM data) {
    LogCall(__func__, h);
    return MayEnumerate(h, callback) ? vb::sample::EnumerateFonts(callback, data) : 0;
}

LONG WINAPI D_EnumCodesW(DRIVERHANDLE h, LPCWSTR, DEVICECODEENUMPROC callback, LPARAM data) {
    LogCall(__func__, h);
    return MayEnumerate(h, callback) ? vb::sample::EnumerateCodes(callback, data) : 0;
}

LONG WINAPI D_SelectFontW(DRIVERHANDLE h, const LOGFONTW* font) {
    if (font) {
        std::wstring face(font->lfFaceName, ::wcsnlen(font->lfFaceName, LF_FACESIZE));
        LogCall(__func__, h, face, font->lfHeight, font->lfEscapement);
    } else {
        LogCall(__func__, h, L"0");
    }
    return Selected(h, font);
}

LONG WINAPI D_SelectCodeW(DRIVERHANDLE h, const BYTE* description) {
    using namespace vb::sample;
    if (description) {
        LogCall(__func__, h, ReadWideField(description, code::kName, code::kNameBytes),
                ReadField<LONG>(description, code::kModuleX), ReadField<LONG>(description, code::kModuleY));
    } else {
        LogCall(__func__, h, L"0");
    }
    return Selected(h, description);
}

}  // extern "C"
