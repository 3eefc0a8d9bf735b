#include "CIScriptModuleCollection.h"

#include "AutomationObject.h"
#include "ScriptEngine.h"

HRESULT CIScriptModuleCollection::get__NewEnum(IUnknown** enumerator) {
    if (enumerator) *enumerator = nullptr;
    return E_NOTIMPL;
}

HRESULT CIScriptModuleCollection::get_Item(VARIANT index, MSSCtrl::IScriptModule** module) {
    return vb::DispatchSupport::Guard([&] { return engine_->GetModule(index, module); });
}

HRESULT CIScriptModuleCollection::get_Count(long* count) {
    if (!count) return E_POINTER;
    *count = static_cast<long>(engine_->ModuleNames().size());
    return S_OK;
}

HRESULT CIScriptModuleCollection::Add(BSTR name, VARIANT* object, MSSCtrl::IScriptModule** module) {
    return vb::DispatchSupport::Guard([&] { return engine_->AddModule(name, object, module); });
}
