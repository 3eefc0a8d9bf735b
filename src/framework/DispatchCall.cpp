#include "DispatchCall.h"

#include "Variant.h"

namespace vb {

namespace {

const VARIANT& MissingValue() noexcept {
    static const VARIANT missing = [] {
        VARIANT value;
        ::VariantInit(&value);
        V_VT(&value) = VT_ERROR;
        V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
        return value;
    }();
    return missing;
}

}  // namespace

DispatchCall::DispatchCall(const DISPPARAMS& params, VARIANT* result) noexcept
    : params_(params), positional_(params.cArgs - params.cNamedArgs), result_(result) {}

const VARIANT& DispatchCall::Arg(unsigned index) const noexcept {
    if (index >= positional_) return MissingValue();
    return params_.rgvarg[params_.cArgs - 1 - index];
}

bool DispatchCall::IsMissing(unsigned index) const noexcept { return vb::IsMissing(Arg(index)); }

const VARIANT& DispatchCall::PutValue() const noexcept {
    for (unsigned i = 0; i < params_.cNamedArgs; ++i) {
        if (params_.rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) return params_.rgvarg[i];
    }
    return MissingValue();
}

std::optional<long> DispatchCall::Long(unsigned index) const noexcept { return ToLong(Arg(index)); }
std::optional<unsigned long> DispatchCall::ULong(unsigned index) const noexcept { return ToULong(Arg(index)); }
std::optional<bool> DispatchCall::Bool(unsigned index) const noexcept { return ToBool(Arg(index)); }
std::optional<std::wstring> DispatchCall::Text(unsigned index) const { return ToText(Arg(index)); }

HRESULT DispatchCall::Return(long value) noexcept {
    ::VariantClear(result_);
    V_VT(result_) = VT_I4;
    V_I4(result_) = value;
    return S_OK;
}

HRESULT DispatchCall::ReturnShort(SHORT value) noexcept {
    ::VariantClear(result_);
    V_VT(result_) = VT_I2;
    V_I2(result_) = value;
    return S_OK;
}

HRESULT DispatchCall::Return(const std::wstring& text) noexcept {
    ::VariantClear(result_);
    BSTR copy = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!copy) return E_OUTOFMEMORY;
    V_VT(result_) = VT_BSTR;
    V_BSTR(result_) = copy;
    return S_OK;
}

HRESULT DispatchCall::ReturnBool(bool value) noexcept {
    ::VariantClear(result_);
    V_VT(result_) = VT_BOOL;
    V_BOOL(result_) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT DispatchCall::Return(IDispatch* object) noexcept {
    ::VariantClear(result_);
    V_VT(result_) = VT_DISPATCH;
    V_DISPATCH(result_) = object;
    return S_OK;
}

}  // namespace vb
