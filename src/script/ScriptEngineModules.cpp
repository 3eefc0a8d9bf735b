// The engine's script-control objects: its error, its modules and their procedures.
#include "CIScriptError.h"
#include "CIScriptModule.h"
#include "CIScriptModuleCollection.h"
#include "CIScriptProcedureCollection.h"
#include "ScriptEngine.h"
#include "Strings.h"

namespace {

// Hands a new object to an out pointer; memory running out is a failure, not an empty success.
template <class Interface, class T>
HRESULT HandOut(T* object, Interface** out) noexcept {
    *out = object;
    return object ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

MSSCtrl::IScriptError* ScriptEngine::GetError() { return NewScriptObject<CIScriptError>(&error_); }

HRESULT ScriptEngine::GetModules(MSSCtrl::IScriptModuleCollection** out) {
    if (!out) return E_POINTER;
    return HandOut(NewScriptObject<CIScriptModuleCollection>(this), out);
}

HRESULT ScriptEngine::GetModule(VARIANT index, MSSCtrl::IScriptModule** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!engine_) return E_FAIL;
    VARIANT value;
    ::VariantInit(&value);
    if (FAILED(::VariantCopyInd(&value, &index))) return TYPE_E_ELEMENTNOTFOUND;
    const std::wstring* found = nullptr;
    if (V_VT(&value) == VT_BSTR) {
        std::wstring name = V_BSTR(&value) ? vb::ToLower(V_BSTR(&value)) : std::wstring();
        for (const auto& module : moduleNames_) {
            if (module == name) found = &module;
        }
    } else if (SUCCEEDED(::VariantChangeType(&value, &value, 0, VT_I4))) {
        LONG position = V_I4(&value);
        if (position >= 1 && static_cast<size_t>(position) <= moduleNames_.size()) {
            found = &moduleNames_[static_cast<size_t>(position - 1)];
        }
    }
    ::VariantClear(&value);
    if (!found) return TYPE_E_ELEMENTNOTFOUND;
    return HandOut(NewScriptObject<CIScriptModule>(this, *found), out);
}

HRESULT ScriptEngine::AddModule(const wchar_t* name, VARIANT*, MSSCtrl::IScriptModule** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!engine_) return E_FAIL;
    if (!name || !*name) return E_INVALIDARG;
    // Parsing nothing into the module makes the engine create it.
    HRESULT hr = ParseScriptText(L"", name, nullptr, SCRIPTTEXT_ISVISIBLE);
    if (FAILED(hr)) return hr;
    moduleNames_.push_back(vb::ToLower(name));
    HRESULT created = HandOut(NewScriptObject<CIScriptModule>(this, moduleNames_.back()), out);
    return FAILED(created) ? created : hr;
}

HRESULT ScriptEngine::GetProcedures(const wchar_t* module, MSSCtrl::IScriptProcedureCollection** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::wstring name = module ? module : L"";
    vb::ComPtr<ITypeInfo> typeInfo;
    vb::ComPtr<IDispatch> script;
    if (engine_ && SUCCEEDED(GetModuleDispatch(module, script.Put())) && script) {
        script->GetTypeInfo(0, 0, typeInfo.Put());
    }
    // Without type information the module simply lists no procedures.
    return HandOut(NewScriptObject<CIScriptProcedureCollection>(typeInfo.Get(), name), out);
}
