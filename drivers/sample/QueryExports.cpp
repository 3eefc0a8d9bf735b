// The entry points through which the bench queries capabilities and hands over settings:
// capability words, printer parameters, template variables, options and country.
#include "ByteFields.h"
#include "CallLog.h"
#include "DeviceCapabilities.h"
#include "DriverState.h"
#include "Exports.h"
#include "PrintCall.h"
#include "Strings.h"
#include "TextCodec.h"
#include "VariableRecordLayout.h"

#include <optional>
#include <string>
#include <utility>

using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::ModelTraits;
using vb::sample::State;

namespace {

constexpr LONG kParameterDone = 0;
constexpr LONG kParameterFailed = -1;

// A read: stored value into *value, or failure for a name never set.
LONG ReadParameter(DRIVERHANDLE h, const std::wstring& key, VARIANT* value) {
    vb::Variant found;
    bool known = false;
    if (!State().Use(h, [&](Instance& instance) {
            auto entry = instance.parameters.find(key);
            if (entry == instance.parameters.end()) return;
            found = entry->second;
            known = true;
        }))
        return kParameterFailed;
    if (!known) {
        State().Fail(vb::sample::kUnknownParameter);
        return kParameterFailed;
    }
    *value = found.Detach();
    return kParameterDone;
}

LONG WriteParameter(DRIVERHANDLE h, const std::wstring& key, const VARIANT& value) {
    // A value passed by reference points into the caller's memory, which may be gone by the next
    // read: the driver keeps the value itself.
    vb::Variant stored;
    if (FAILED(::VariantCopyInd(stored.Put(), const_cast<VARIANT*>(&value)))) {  // only read
        State().Fail(vb::sample::kBadArgument);
        return kParameterFailed;
    }
    // After the swap `stored` holds the replaced value, let go once the lock is dropped.
    if (!State().Use(h, [&](Instance& instance) { std::swap(instance.parameters[key], stored); }))
        return kParameterFailed;
    return kParameterDone;
}

}  // namespace

extern "C" {

LONG WINAPI D_GetDrvCaps(DRIVERHANDLE h, LONG index, LONG subIndex) {
    LogCall(__func__, h, index, subIndex);
    std::wstring model;
    ModelTraits traits;
    if (!State().ModelFor(h, nullptr, model, traits)) return 0;
    return vb::sample::DriverCapability(index, subIndex, traits);
}

// An empty value asks for the stored one; any other value is stored under the name, which is
// matched without regard to case.
LONG WINAPI D_PrinterParameter(DRIVERHANDLE h, BYTE*, const VARIANT* name, VARIANT* value) {
    std::optional<std::wstring> nameText = name ? vb::ToText(*name) : std::nullopt;
    const bool read = value && V_VT(value) == VT_EMPTY;
    std::wstring valueText = value && !read ? vb::ToText(*value).value_or(std::wstring()) : std::wstring();
    LogCall(__func__, h, nameText.value_or(std::wstring()), valueText);

    if (!nameText || nameText->empty() || !value) {
        if (State().Knows(h)) State().Fail(vb::sample::kBadArgument);
        return kParameterFailed;
    }
    const std::wstring key = vb::ToLower(*nameText);
    return read ? ReadParameter(h, key, value) : WriteParameter(h, key, *value);
}

// A record of type 0 announces the printed object named in it; any other type is the variable
// the next text or barcode prints. A type-0 record without a name only clears the current one.
void WINAPI D_SetVarInfo(DRIVERHANDLE h, LONG recordType, DWORD, const void* record) {
    const BYTE* bytes = static_cast<const BYTE*>(record);
    using namespace vb::sample::variable;
    using vb::sample::PrintFile;
    using vb::sample::ReadByteTextField;
    const std::wstring name = bytes ? ReadByteTextField(bytes, kName, kNameBytes) : std::wstring();
    LogCall(__func__, h, recordType, bytes ? name : L"0");
    vb::sample::PrintCommand(h, [&](Instance& instance) {
        PrintFile& file = instance.print.file;
        if (!bytes || (recordType == 0 && name.empty())) return true;
        if (recordType == 0) return file.Command(L"OBJECT %ls", PrintFile::Text(name).c_str());
        const std::wstring value = ReadByteTextField(bytes, kPrefix, kPrefixBytes) +
                                   ReadByteTextField(bytes, kValue, kValueBytes) +
                                   ReadByteTextField(bytes, kSuffix, kSuffixBytes);
        return file.Command(L"VARIABLE \"%ls\" type=%ld value=\"%ls\" length=%lu", PrintFile::Text(name).c_str(),
                            recordType, PrintFile::Text(value).c_str(),
                            vb::sample::ReadField<DWORD>(bytes, kMaxLength));
    });
}

void WINAPI D_SetSpecificOptions(DRIVERHANDLE h, DWORD options) {
    LogCall(__func__, h, options);
    State().Knows(h);
}

LONG WINAPI D_SetCountry(DRIVERHANDLE h, LONG country, LONG unit, DWORD) {
    LogCall(__func__, h, country, unit);
    return State().Knows(h) ? 1 : 0;
}

}  // extern "C"
