#include "Variant.h"

#include <utility>

namespace vb {

Variant::Variant(long value) noexcept {
    ::VariantInit(&value_);
    V_VT(&value_) = VT_I4;
    V_I4(&value_) = value;
}

Variant::Variant(const std::wstring& text) {
    ::VariantInit(&value_);
    V_VT(&value_) = VT_BSTR;
    V_BSTR(&value_) = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

Variant::Variant(const Variant& other) {
    ::VariantInit(&value_);
    ::VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) ::VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
    return *this;
}

Variant::Variant(Variant&& other) noexcept : value_(other.Detach()) {}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        ::VariantClear(&value_);
        value_ = other.Detach();
    }
    return *this;
}

Variant Variant::Copy(const VARIANT& source) {
    Variant result;
    ::VariantCopy(&result.value_, const_cast<VARIANT*>(&source));
    return result;
}

Variant Variant::Bool(bool value) noexcept {
    Variant result;
    V_VT(&result.value_) = VT_BOOL;
    V_BOOL(&result.value_) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
}

Variant Variant::Missing() noexcept {
    Variant result;
    V_VT(&result.value_) = VT_ERROR;
    V_ERROR(&result.value_) = DISP_E_PARAMNOTFOUND;
    return result;
}

VARIANT* Variant::Put() noexcept {
    ::VariantClear(&value_);
    return &value_;
}

VARIANT Variant::Detach() noexcept {
    VARIANT result = value_;
    ::VariantInit(&value_);
    return result;
}

bool IsMissing(const VARIANT& value) noexcept {
    return V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND;
}

namespace {

// VariantChangeType follows references itself, but refuses VT_ERROR: a missing argument then
// simply does not convert.
std::optional<VARIANT> ChangeType(const VARIANT& value, VARTYPE type) noexcept {
    VARIANT converted;
    ::VariantInit(&converted);
    if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, type))) return std::nullopt;
    return converted;
}

}  // namespace

std::optional<long> ToLong(const VARIANT& value) noexcept {
    auto converted = ChangeType(value, VT_I4);
    if (!converted) return std::nullopt;
    return V_I4(&*converted);
}

std::optional<SHORT> ToShort(const VARIANT& value) noexcept {
    auto converted = ChangeType(value, VT_I2);
    if (!converted) return std::nullopt;
    return V_I2(&*converted);
}

std::optional<unsigned long> ToULong(const VARIANT& value) noexcept {
    auto converted = ChangeType(value, VT_UI4);
    if (!converted) return std::nullopt;
    return V_UI4(&*converted);
}

std::optional<bool> ToBool(const VARIANT& value) noexcept {
    auto converted = ChangeType(value, VT_BOOL);
    if (!converted) return std::nullopt;
    return V_BOOL(&*converted) != VARIANT_FALSE;
}

std::optional<std::wstring> ToText(const VARIANT& value) {
    auto converted = ChangeType(value, VT_BSTR);
    if (!converted) return std::nullopt;
    BSTR text = V_BSTR(&*converted);
    std::wstring result = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::VariantClear(&*converted);
    return result;
}

IDispatch* ToDispatch(const VARIANT& value) noexcept {
    switch (V_VT(&value)) {
    case VT_DISPATCH:
        return V_DISPATCH(&value);
    case VT_BYREF | VT_DISPATCH:
        return V_DISPATCHREF(&value) ? *V_DISPATCHREF(&value) : nullptr;
    case VT_BYREF | VT_VARIANT:
        return V_VARIANTREF(&value) ? ToDispatch(*V_VARIANTREF(&value)) : nullptr;
    default:
        return nullptr;
    }
}

}  // namespace vb
