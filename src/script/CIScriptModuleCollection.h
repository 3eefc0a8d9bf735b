#pragma once
#include "CIScriptBase.h"
#include "ScriptControlInterfaces.h"

class ScriptEngine;

// The engine's script modules, by name or 1-based position. The engine must outlive it.
class CIScriptModuleCollection
    : public CIScriptBase<MSSCtrl::IScriptModuleCollection, MSSCtrl::IID_IScriptModuleCollection> {
public:
    explicit CIScriptModuleCollection(ScriptEngine* engine) noexcept : engine_(engine) {}

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) override;
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, MSSCtrl::IScriptModule** module) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
    HRESULT STDMETHODCALLTYPE Add(BSTR name, VARIANT* object, MSSCtrl::IScriptModule** module) override;

private:
    ScriptEngine* engine_;
};
