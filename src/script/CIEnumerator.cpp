#include "CIEnumerator.h"

#include <cwchar>
#include <new>

#include "AutomationObject.h"
#include "Bstr.h"
#include "DispatchHelpers.h"
#include "VariantArray.h"

CIEnumerator::CIEnumerator(IDispatch* object, int kind) : object_(object), kind_(kind) {}

CIEnumerator::~CIEnumerator() {
    object_.Reset();
    if (engine_) {
        engine_->SetScriptState(SCRIPTSTATE_CLOSED);
        engine_->Close();
        engine_.Reset();
    }
}

HRESULT CIEnumerator::HoldEngine(IUnknown* engine) {
    if (!engine) return E_POINTER;
    return engine->QueryInterface(__uuidof(IActiveScript), reinterpret_cast<void**>(engine_.Put()));
}

HRESULT CIEnumerator::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, IID_IEnumVARIANT)) {
        *out = static_cast<IEnumVARIANT*>(this);
    } else if (kind_ == kPlainObject || !object_) {
        return E_NOINTERFACE;
    } else {
        return object_->QueryInterface(iid, out);
    }
    AddRef();
    return S_OK;
}

ULONG CIEnumerator::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG CIEnumerator::Release() {
    LONG count = ::InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT CIEnumerator::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CIEnumerator::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return object_ ? object_->GetTypeInfo(index, locale, info) : E_FAIL;
}

HRESULT CIEnumerator::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    if (kind_ == kPlainObject) return DISP_E_UNKNOWNNAME;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    // Only the exact spelling is ours: any other case belongs to the script object.
    if (names[0] && std::wcscmp(names[0], L"Item") == 0) {
        ids[0] = DISPID_VALUE;
        return S_OK;
    }
    return object_ ? object_->GetIDsOfNames(iid, names, count, locale, ids) : DISP_E_UNKNOWNNAME;
}

HRESULT CIEnumerator::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argError) {
    if (result) ::VariantInit(result);
    if (kind_ == kPlainObject) {
        if (flags & DISPATCH_METHOD) {
            if (!object_) return E_FAIL;
            return object_->Invoke(position_, iid, locale, flags, params, result, exception, argError);
        }
    } else if (id != DISPID_NEWENUM) {
        if (id != DISPID_VALUE) {
            if (!object_) return E_FAIL;
            return object_->Invoke(id, iid, locale, flags, params, result, exception, argError);
        }
        if (params && params->cArgs > 0) return vb::DispatchSupport::Guard([&] { return InvokeItem(*params, result); });
    }
    if (result) vb::SetObjectVariant(AsDispatch(), result);
    return S_OK;
}

// Item(name) reads the script member of that name; Item(name, value) writes it first.
HRESULT CIEnumerator::InvokeItem(DISPPARAMS& params, VARIANT* result) {
    if (!object_ || !params.rgvarg) return E_FAIL;
    VARIANT name;
    ::VariantInit(&name);
    HRESULT hr = ::VariantChangeType(&name, &params.rgvarg[params.cArgs - 1], 0, VT_BSTR);
    vb::Bstr ownedName = vb::Bstr::Attach(SUCCEEDED(hr) ? V_BSTR(&name) : nullptr);
    if (!ownedName.Get()) return DISP_E_TYPEMISMATCH;

    LPOLESTR names[] = {ownedName.Get()};
    DISPID member = DISPID_UNKNOWN;
    hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
    if (FAILED(hr)) return hr;

    if (params.cArgs > 1) {
        vb::VariantArray value(1);
        hr = ::VariantCopyInd(&value[0], &params.rgvarg[params.cArgs - 2]);
        if (FAILED(hr)) return hr;
        hr = vb::InvokeDispatch(object_.Get(), member, DISPATCH_PROPERTYPUT, value.Data(), 1, nullptr);
        if (FAILED(hr)) return hr;
    }
    if (!result) return S_OK;
    return vb::InvokeDispatch(object_.Get(), member, DISPATCH_PROPERTYGET, nullptr, 0, result);
}

HRESULT CIEnumerator::Next(ULONG count, VARIANT* elements, ULONG* fetched) {
    if (fetched) *fetched = 0;
    if (!elements) return S_FALSE;
    if (count == 0) return S_OK;
    ::VariantInit(&elements[0]);
    if (!object_) return S_FALSE;
    return vb::DispatchSupport::Guard(
        [&] { return kind_ != kPlainObject ? NextByName(&elements[0], fetched) : NextByIndex(&elements[0], fetched); });
}

// Script objects that can list their members are enumerated by member name.
HRESULT CIEnumerator::NextByName(VARIANT* element, ULONG* fetched) {
    vb::ComPtr<IDispatchEx> members = object_.As<IDispatchEx>(__uuidof(IDispatchEx));
    if (!members) return NextByIndex(element, fetched);
    DISPID next = DISPID_UNKNOWN;
    HRESULT hr = members->GetNextDispID(fdexEnumDefault, position_, &next);
    if (hr != S_OK) return hr;
    position_ = next;
    BSTR name = nullptr;
    hr = members->GetMemberName(next, &name);
    if (FAILED(hr)) return hr;
    V_VT(element) = VT_BSTR;
    V_BSTR(element) = name;
    if (fetched) *fetched = 1;
    return hr;
}

HRESULT CIEnumerator::NextByIndex(VARIANT* element, ULONG* fetched) {
    VARIANT countValue;
    ::VariantInit(&countValue);
    long total = 0;
    if (SUCCEEDED(vb::InvokeDispatch(object_.Get(), kCountId, DISPATCH_PROPERTYGET, nullptr, 0, &countValue))) {
        total = vb::VariantToLong(&countValue);
    }
    ::VariantClear(&countValue);

    // The start position (before the first element) reads the first element.
    LONG index = position_ < 0 ? 0 : position_;
    if (index >= total) return S_FALSE;
    vb::VariantArray args(1);
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = index;
    HRESULT hr = vb::InvokeDispatch(object_.Get(), kElementId, DISPATCH_METHOD, args.Data(), 1, element);
    position_ = index + 1;
    if (SUCCEEDED(hr) && fetched) *fetched = 1;
    return hr;
}

HRESULT CIEnumerator::Skip(ULONG count) {
    position_ += static_cast<LONG>(count);
    return S_OK;
}

HRESULT CIEnumerator::Reset() {
    // The first element by index; only a new enumerator starts before it (DISPID_STARTENUM).
    position_ = 0;
    return S_OK;
}

HRESULT CIEnumerator::Clone(IEnumVARIANT** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    CIEnumerator* copy = new (std::nothrow) CIEnumerator(object_.Get(), kind_);
    if (!copy) return E_OUTOFMEMORY;
    copy->position_ = position_;
    *out = static_cast<IEnumVARIANT*>(copy);
    return S_OK;
}
