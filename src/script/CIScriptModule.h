#pragma once
#include <string>

#include "CIScriptBase.h"
#include "ScriptControlInterfaces.h"

class ScriptEngine;

// One script module of the engine ("global" is the engine's global module). The engine must
// outlive it.
class CIScriptModule : public CIScriptBase<MSSCtrl::IScriptModule, MSSCtrl::IID_IScriptModule> {
public:
    // `name` is kept in lower case, as the engine lists its modules.
    CIScriptModule(ScriptEngine* engine, const std::wstring& name);

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_CodeObject(IDispatch** codeObject) override;
    HRESULT STDMETHODCALLTYPE get_Procedures(MSSCtrl::IScriptProcedureCollection** procedures) override;
    HRESULT STDMETHODCALLTYPE AddCode(BSTR code) override;
    HRESULT STDMETHODCALLTYPE Eval(BSTR expression, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE ExecuteStatement(BSTR statement) override;
    HRESULT STDMETHODCALLTYPE Run(BSTR procedureName, SAFEARRAY** parameters, VARIANT* result) override;

private:
    ScriptEngine* engine_;
    std::wstring name_;
};
