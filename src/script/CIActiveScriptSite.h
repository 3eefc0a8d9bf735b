#pragma once
#include <windows.h>
#include <activscp.h>

class ScriptEngine;

// The host site given to the scripting engine: it answers global names, records script errors
// and names the owner window. One object with two interface tables.
class CIActiveScriptSite final : public IActiveScriptSite, public IActiveScriptSiteWindow {
public:
    static constexpr wchar_t kDocVersion[] = L"IActiveScriptControl Host";

    // Reference count 1 for the creator.
    explicit CIActiveScriptSite(ScriptEngine* engine) noexcept : engine_(engine) {}
    CIActiveScriptSite(const CIActiveScriptSite&) = delete;
    CIActiveScriptSite& operator=(const CIActiveScriptSite&) = delete;

    // The host is being reset: calls that arrive later find no engine.
    void Disconnect() noexcept { engine_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IActiveScriptSite.
    HRESULT STDMETHODCALLTYPE GetLCID(LCID* locale) override;
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD returnMask, IUnknown** unknown,
                                          ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT* result, const EXCEPINFO* exception) override;
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE state) override;
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override;
    HRESULT STDMETHODCALLTYPE OnEnterScript() override;
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override;

    // IActiveScriptSiteWindow.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

private:
    ~CIActiveScriptSite() = default;

    volatile LONG references_ = 1;
    ScriptEngine* engine_;  // the owner, which outlives every call it lets through
};
