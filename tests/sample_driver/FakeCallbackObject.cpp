#include "FakeCallbackObject.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vb::test {

namespace {
constexpr size_t kRecordSize = 10008;
constexpr size_t kValueOffset = 1036;
}  // namespace

FakeCallbackObject::FakeCallbackObject() : format(ComPtr<FakeFormatObject>::Attach(new FakeFormatObject())) {}

HRESULT FakeCallbackObject::Call(DISPID member, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) {
    flagsSeen = flags;
    if (member == 3) return GetVarInfo(arguments, result);
    if (member != 2 || !arguments.empty()) return DISP_E_MEMBERNOTFOUND;
    format->AddRef();
    V_VT(&result) = VT_DISPATCH;
    V_DISPATCH(&result) = format.Get();
    return S_OK;
}

// As the bench does: the record is zeroed and filled in whole when the variable is known.
HRESULT FakeCallbackObject::GetVarInfo(const std::vector<VARIANT>& arguments, VARIANT& result) {
    if (arguments.size() != 2 || V_VT(&arguments[0]) != VT_BSTR || V_VT(&arguments[1]) != VT_I4)
        return DISP_E_TYPEMISMATCH;
    askedName = V_BSTR(&arguments[0]);
    auto* record = reinterpret_cast<BYTE*>(static_cast<std::intptr_t>(V_I4(&arguments[1])));
    recordArrivedZeroed = record && std::all_of(record, record + kRecordSize, [](BYTE b) { return b == 0; });

    auto found = variables.find(askedName);
    V_VT(&result) = VT_BOOL;
    V_BOOL(&result) = found != variables.end() ? VARIANT_TRUE : VARIANT_FALSE;
    if (found != variables.end()) {
        std::memcpy(record, &found->second.type, sizeof(WORD));
        std::memcpy(record + kValueOffset, found->second.utf8Value.data(), found->second.utf8Value.size());
    }
    return S_OK;
}

}  // namespace vb::test
