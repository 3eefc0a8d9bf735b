#include "CIScriptProcedure.h"

HRESULT CIScriptProcedure::get_Name(BSTR* name) {
    return CopyText(name_.c_str(), static_cast<UINT>(name_.size()), name);
}

HRESULT CIScriptProcedure::get_NumArgs(long* count) {
    if (!count) return E_POINTER;
    *count = procedure_.argCount;
    return S_OK;
}

HRESULT CIScriptProcedure::get_HasReturnValue(VARIANT_BOOL* hasReturnValue) {
    if (!hasReturnValue) return E_POINTER;
    VARTYPE type = procedure_.resultType;
    *hasReturnValue = (type == VT_EMPTY || type == VT_NULL || type == VT_VOID) ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}
