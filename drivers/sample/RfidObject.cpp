#include "RfidObject.h"

#include <new>

namespace vb::sample {

namespace {
constexpr DISPID kNamesId = 1;
}  // namespace

ComPtr<IDispatch> RfidObject::Create() noexcept {
    return ComPtr<IDispatch>::Attach(new (std::nothrow) RfidObject());
}

HRESULT RfidObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG RfidObject::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG RfidObject::Release() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT RfidObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT RfidObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT RfidObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        bool known = i == 0 && names[i] && ::lstrcmpiW(names[i], L"Names") == 0;
        ids[i] = known ? kNamesId : DISPID_UNKNOWN;
        if (!known) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT RfidObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                           EXCEPINFO*, UINT*) {
    if (member != kNamesId && member != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (parameters && parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (!result) return S_OK;
    ::VariantInit(result);
    BSTR names = ::SysAllocString(kNames);
    if (!names) return E_OUTOFMEMORY;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = names;
    return S_OK;
}

}  // namespace vb::sample
