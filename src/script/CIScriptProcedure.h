#pragma once
#include <string>

#include "CIScriptBase.h"
#include "ScriptControlInterfaces.h"

// What the script's type information says about one procedure.
struct tagVBSPROC {
    MEMBERID memid = MEMBERID_NIL;
    SHORT argCount = 0;  // the function description's parameter count
    VARTYPE resultType = VT_EMPTY;
};

// One procedure of a script module.
class CIScriptProcedure : public CIScriptBase<MSSCtrl::IScriptProcedure, MSSCtrl::IID_IScriptProcedure> {
public:
    CIScriptProcedure(const tagVBSPROC& procedure, const wchar_t* name)
        : procedure_(procedure), name_(name ? name : L"") {}

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_NumArgs(long* count) override;
    HRESULT STDMETHODCALLTYPE get_HasReturnValue(VARIANT_BOOL* hasReturnValue) override;

private:
    tagVBSPROC procedure_;
    std::wstring name_;
};
