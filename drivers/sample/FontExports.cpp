// The entry points that list and select the device's fonts and barcode types.
#include "ByteFields.h"
#include "CallLog.h"
#include "CodeDescriptionLayout.h"
#include "DeviceCatalog.h"
#include "DriverState.h"
#include "Exports.h"
#include "PrintCall.h"

#include <cstring>
#include <cwchar>
#include <string>

using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::ModelTraits;
using vb::sample::PrintFile;
using vb::sample::State;

namespace {

// Whether the instance's model has fonts or barcode types at all; false for a bad call.
template <class Callback>
bool MayEnumerate(DRIVERHANDLE h, Callback callback, bool ModelTraits::*has) {
    std::wstring model;
    ModelTraits traits;
    if (!State().ModelFor(h, nullptr, model, traits)) return false;
    if (!callback) {
        State().Fail(vb::sample::kBadArgument);
        return false;
    }
    return traits.*has;
}

}  // namespace

extern "C" {

// The face argument does not narrow the list: the bench always asks for every font.
LONG WINAPI D_EnumFontsW(DRIVERHANDLE h, LPCWSTR, DEVICEFONTENUMPROC callback, LPARAM data) {
    LogCall(__func__, h);
    return MayEnumerate(h, callback, &ModelTraits::fonts) ? vb::sample::EnumerateFonts(callback, data) : 0;
}

LONG WINAPI D_EnumCodesW(DRIVERHANDLE h, LPCWSTR, DEVICECODEENUMPROC callback, LPARAM data) {
    LogCall(__func__, h);
    return MayEnumerate(h, callback, &ModelTraits::codes) ? vb::sample::EnumerateCodes(callback, data) : 0;
}

// A selection outlives the document: it stays the instance's until the next one.
LONG WINAPI D_SelectFontW(DRIVERHANDLE h, const LOGFONTW* font) {
    if (!font) {
        LogCall(__func__, h, L"0");
        return vb::sample::RefuseArgument(h);
    }
    const std::wstring face(font->lfFaceName, ::wcsnlen(font->lfFaceName, LF_FACESIZE));
    LogCall(__func__, h, face, font->lfHeight, font->lfEscapement);
    return vb::sample::PrintCommand(h, [&](Instance& instance) {
        instance.print.font = *font;
        return instance.print.file.Command(L"FONT \"%ls\" height=%ld weight=%ld italic=%d rotation=%ld",
                                           PrintFile::Text(face).c_str(), font->lfHeight, font->lfWeight,
                                           font->lfItalic ? 1 : 0, font->lfEscapement);
    });
}

LONG WINAPI D_SelectCodeW(DRIVERHANDLE h, const BYTE* description) {
    using namespace vb::sample;
    if (!description) {
        LogCall(__func__, h, L"0");
        return RefuseArgument(h);
    }
    const std::wstring name = ReadWideField(description, code::kName, code::kNameBytes);
    LogCall(__func__, h, name, ReadField<LONG>(description, code::kModuleX), ReadField<LONG>(description, code::kModuleY));
    return PrintCommand(h, [&](Instance& instance) {
        auto& selected = instance.print.code.emplace();
        std::memcpy(selected.data(), description, selected.size());
        return instance.print.file.Command(
            L"CODE \"%ls\" type=%u module=%ldx%ld size=%ldx%ld rotation=%ld check=%u readable=%u",
            PrintFile::Text(name).c_str(), static_cast<unsigned>(ReadField<WORD>(description, code::kType)),
            ReadField<LONG>(description, code::kModuleX), ReadField<LONG>(description, code::kModuleY),
            ReadField<LONG>(description, code::kHorizontalSize), ReadField<LONG>(description, code::kVerticalSize),
            ReadField<LONG>(description, code::kRotation),
            static_cast<unsigned>(ReadField<BYTE>(description, code::kCheckDigit)),
            static_cast<unsigned>(ReadField<BYTE>(description, code::kHumanReadable)));
    });
}

}  // extern "C"
