#include "CIScriptProcedureCollection.h"

#include "Bstr.h"

CIScriptProcedureCollection::CIScriptProcedureCollection(ITypeInfo* typeInfo, std::wstring module)
    : typeInfo_(typeInfo), module_(std::move(module)) {
    TYPEATTR* attributes = nullptr;
    if (!typeInfo_ || FAILED(typeInfo_->GetTypeAttr(&attributes)) || !attributes) return;
    // Every function of the script dispatch is a procedure of the module.
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(typeInfo_->GetFuncDesc(i, &function)) || !function) continue;
        procedures_.push_back({function->memid, function->cParams, function->elemdescFunc.tdesc.vt});
        typeInfo_->ReleaseFuncDesc(function);
    }
    typeInfo_->ReleaseTypeAttr(attributes);
}

HRESULT CIScriptProcedureCollection::get__NewEnum(IUnknown** enumerator) {
    if (enumerator) *enumerator = nullptr;
    return E_NOTIMPL;
}

HRESULT CIScriptProcedureCollection::get_Item(VARIANT index, MSSCtrl::IScriptProcedure** procedure) {
    if (!procedure) return E_POINTER;
    *procedure = nullptr;
    // Positions only: a procedure's name as text does not convert and is not found.
    VARIANT position;
    ::VariantInit(&position);
    if (FAILED(::VariantChangeType(&position, &index, 0, VT_I4))) return TYPE_E_ELEMENTNOTFOUND;
    LONG number = V_I4(&position);
    if (number < 1 || static_cast<size_t>(number) > procedures_.size()) return TYPE_E_ELEMENTNOTFOUND;

    const tagVBSPROC& entry = procedures_[static_cast<size_t>(number - 1)];
    vb::Bstr name;
    UINT found = 0;
    HRESULT hr = typeInfo_->GetNames(entry.memid, name.Put(), 1, &found);
    if (FAILED(hr)) return hr;
    auto* item = NewScriptObject<CIScriptProcedure>(entry, name.Get());
    if (!item) return E_OUTOFMEMORY;
    *procedure = item;
    return S_OK;
}

HRESULT CIScriptProcedureCollection::get_Count(long* count) {
    if (!count) return E_POINTER;
    *count = static_cast<long>(procedures_.size());
    return S_OK;
}
