#include "CIActiveScriptSite.h"

#include "AutomationObject.h"
#include "Resources.h"
#include "ScriptEngine.h"

HRESULT CIActiveScriptSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IActiveScriptSite))) {
        *out = static_cast<IActiveScriptSite*>(this);
    } else if (IsEqualIID(iid, __uuidof(IActiveScriptSiteWindow))) {
        *out = static_cast<IActiveScriptSiteWindow*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CIActiveScriptSite::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG CIActiveScriptSite::Release() {
    LONG count = ::InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT CIActiveScriptSite::GetLCID(LCID* locale) {
    if (!locale) return E_POINTER;
    *locale = 0;
    return S_OK;
}

HRESULT CIActiveScriptSite::GetItemInfo(LPCOLESTR name, DWORD returnMask, IUnknown** unknown, ITypeInfo** typeInfo) {
    if (!(returnMask & SCRIPTINFO_IUNKNOWN)) return TYPE_E_ELEMENTNOTFOUND;
    if (!unknown) return E_POINTER;
    *unknown = nullptr;
    // The type-information pointer is only meaningful when the engine asked for it.
    ITypeInfo** wanted = (returnMask & SCRIPTINFO_ITYPEINFO) ? typeInfo : nullptr;
    if (wanted) *wanted = nullptr;
    if (!engine_) return E_UNEXPECTED;
    return vb::DispatchSupport::Guard([&] { return engine_->GetItemInfo(name, unknown, wanted); });
}

HRESULT CIActiveScriptSite::GetDocVersionString(BSTR* version) {
    if (!version) return S_OK;
    *version = ::SysAllocString(kDocVersion);
    return *version ? S_OK : E_OUTOFMEMORY;
}

HRESULT CIActiveScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) { return S_OK; }
HRESULT CIActiveScriptSite::OnStateChange(SCRIPTSTATE) { return S_OK; }
HRESULT CIActiveScriptSite::OnEnterScript() { return S_OK; }
HRESULT CIActiveScriptSite::OnLeaveScript() { return S_OK; }

HRESULT CIActiveScriptSite::OnScriptError(IActiveScriptError* error) {
    if (!error) return E_POINTER;
    // What a call does not fill stays zero: engines differ in what they report (some have no
    // source line text at all).
    ScriptErrorInfo record;
    error->GetExceptionInfo(&record.exception);
    // An object may leave its error's code and texts to a function called on request; the engine
    // hands that request on unmade, and the record would keep only the engine's own code.
    if (record.exception.pfnDeferredFillIn) {
        record.exception.pfnDeferredFillIn(&record.exception);
        record.exception.pfnDeferredFillIn = nullptr;
    }
    error->GetSourceLineText(&record.text);
    error->GetSourcePosition(&record.sourceContext, &record.line, &record.column);
    if (engine_) engine_->SetErrorInfo(std::move(record));
    return S_OK;
}

HRESULT CIActiveScriptSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = engine_ ? engine_->SiteWindow() : nullptr;
    return S_OK;
}

HRESULT CIActiveScriptSite::EnableModeless(BOOL enable) {
    if (HWND main = vb::MainWindow()) ::EnableWindow(main, enable);
    return S_OK;
}
