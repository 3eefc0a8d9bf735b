#include "DispatchHelpers.h"

#include <climits>
#include <cmath>

namespace vb {

namespace {

bool ChangeTo(const VARIANT& value, VARTYPE type, VARIANT& converted) noexcept {
    ::VariantInit(&converted);
    return SUCCEEDED(::VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, type));
}

}  // namespace

long VariantToLong(const VARIANT* value) noexcept {
    if (!value) return 0;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT)) {
        value = V_VARIANTREF(value);
        if (!value) return 0;
    }
    switch (V_VT(value)) {
        case VT_I4:
            return V_I4(value);
        case VT_UI4:
            return static_cast<long>(V_UI4(value));
        case VT_R8: {
            // Converting a double outside the range of long is undefined, so such values count
            // as not convertible.
            double number = std::trunc(V_R8(value));
            if (std::isfinite(number) && number >= LONG_MIN && number <= LONG_MAX) return static_cast<long>(number);
            return 0;
        }
        default:
            break;
    }
    VARIANT converted;
    if (ChangeTo(*value, VT_I4, converted)) return V_I4(&converted);
    if (ChangeTo(*value, VT_UI4, converted)) return static_cast<long>(V_UI4(&converted));
    if (ChangeTo(*value, VT_I8, converted)) return static_cast<long>(static_cast<ULONGLONG>(V_I8(&converted)));
    return 0;
}

HRESULT InvokeDispatch(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result) noexcept {
    if (!object) return E_POINTER;
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, nullptr, count, 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    try {
        return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
    } catch (...) {
        return E_FAIL;
    }
}

bool SetObjectVariant(IUnknown* object, VARIANT* out) noexcept {
    if (!out) return false;
    ::VariantClear(out);
    if (!object) return false;
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) && dispatch) {
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = dispatch;
        return true;
    }
    IUnknown* unknown = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown))) && unknown) {
        V_VT(out) = VT_UNKNOWN;
        V_UNKNOWN(out) = unknown;
        return true;
    }
    return false;
}

}  // namespace vb
