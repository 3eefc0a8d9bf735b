#include "CIMSObject.h"

#include "Strings.h"

CIMSObject::CIMSObject(CIMSObject** listHead, IDispatch* object, const wchar_t* name)
    : object_(object), name_(name ? name : L""), listHead_(listHead) {
    if (listHead_) {
        next_ = *listHead_;
        if (next_) next_->previous_ = this;
        *listHead_ = this;
    }
}

CIMSObject::~CIMSObject() {
    if (previous_) previous_->next_ = next_;
    if (next_) next_->previous_ = previous_;
    if (listHead_ && *listHead_ == this) *listHead_ = next_;
}

void CIMSObject::DetachFromList() noexcept {
    previous_ = nullptr;
    next_ = nullptr;
    listHead_ = nullptr;
}

HRESULT CIMSObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, kWrappedObjectIid)) {
        *out = object_.Get();
        return object_ ? S_OK : E_NOINTERFACE;
    }
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IUnknown)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CIMSObject::AddRef() { return ++references_; }

ULONG CIMSObject::Release() {
    ULONG count = --references_;
    if (count == 0) delete this;
    return count;
}

HRESULT CIMSObject::GetTypeInfoCount(UINT* count) { return object_ ? object_->GetTypeInfoCount(count) : E_FAIL; }

HRESULT CIMSObject::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return object_ ? object_->GetTypeInfo(index, locale, info) : E_FAIL;
}

HRESULT CIMSObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    return object_ ? object_->GetIDsOfNames(iid, names, count, locale, ids) : E_FAIL;
}

HRESULT CIMSObject::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* argError) {
    return object_ ? object_->Invoke(id, iid, locale, flags, params, result, exception, argError) : E_FAIL;
}

BOOL CIMSObject::ReplaceObject(const wchar_t* name, IDispatch* object) {
    if (name && *name) {
        for (CIMSObject* item = this; item; item = item->next_) {
            if (vb::EqualsNoCase(item->name_, name)) {
                item->object_ = vb::ComPtr<IDispatch>(object);
                return TRUE;
            }
        }
    }
    return object == nullptr;
}
