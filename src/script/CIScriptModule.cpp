#include "CIScriptModule.h"

#include "AutomationObject.h"
#include "ScriptEngine.h"
#include "Strings.h"

CIScriptModule::CIScriptModule(ScriptEngine* engine, const std::wstring& name)
    : engine_(engine), name_(vb::ToLower(name)) {}

HRESULT CIScriptModule::get_Name(BSTR* name) { return CopyText(name_.c_str(), static_cast<UINT>(name_.size()), name); }

HRESULT CIScriptModule::get_CodeObject(IDispatch** codeObject) {
    if (!codeObject) return E_POINTER;
    *codeObject = nullptr;
    return vb::DispatchSupport::Guard([&] { return engine_->GetModuleDispatch(name_.c_str(), codeObject); });
}

HRESULT CIScriptModule::get_Procedures(MSSCtrl::IScriptProcedureCollection** procedures) {
    return vb::DispatchSupport::Guard([&] { return engine_->GetProcedures(name_.c_str(), procedures); });
}

HRESULT CIScriptModule::AddCode(BSTR code) {
    return vb::DispatchSupport::Guard(
        [&] { return engine_->ParseScriptText(code, name_.c_str(), nullptr, SCRIPTTEXT_ISVISIBLE); });
}

HRESULT CIScriptModule::Eval(BSTR expression, VARIANT* result) {
    return vb::DispatchSupport::Guard(
        [&] { return engine_->ParseScriptText(expression, name_.c_str(), result, SCRIPTTEXT_ISEXPRESSION); });
}

HRESULT CIScriptModule::ExecuteStatement(BSTR statement) {
    return vb::DispatchSupport::Guard(
        [&] { return engine_->ParseScriptText(statement, name_.c_str(), nullptr, SCRIPTTEXT_ISPERSISTENT); });
}

HRESULT CIScriptModule::Run(BSTR procedureName, SAFEARRAY** parameters, VARIANT* result) {
    return vb::DispatchSupport::Guard(
        [&] { return engine_->RunProcedure(name_.c_str(), procedureName, parameters, result); });
}
