#pragma once
#include <windows.h>
#include <activscp.h>
#include <oaidl.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ComPtr.h"
#include "ScriptControlInterfaces.h"
#include "ScriptErrorInfo.h"

class CIActiveScriptSite;

// The host of one Active Scripting engine (VBScript in practice): the named host objects that
// scripts see as global names, the script modules, parsing, statements, procedure calls and the
// record of the last script error. The scripting engine is created by the first parse and
// closed by Reset. Errors come back as HRESULTs; the facade turns them into its own results.
class ScriptEngine {
public:
    ScriptEngine();
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // Closes and releases the scripting engine, the named objects and the modules; the next
    // parse creates a new engine. The error record is kept. Called from inside a running script
    // (a host method that resets), the engine in use is closed and freed only when the
    // outermost call into it has returned.
    void Reset();
    void SetLanguage(std::wstring_view language);
    const std::wstring& Language() const noexcept { return language_; }

    // Parses text into a module (null or "global": the global module), creating the scripting
    // engine first when there is none. A null text parses as empty.
    HRESULT ParseScriptText(const wchar_t* text, const wchar_t* module, VARIANT* result, DWORD flags);
    HRESULT AddCode(const wchar_t* code);
    HRESULT ExecuteStatement(const wchar_t* statement);
    // Calls a procedure of the global module; `result` (may be null) receives its value.
    HRESULT Run(const wchar_t* procedure, SAFEARRAY** arguments, VARIANT* result);
    // The first element of the argument array is the procedure's first parameter.
    HRESULT RunProcedure(const wchar_t* module, const wchar_t* procedure, SAFEARRAY** arguments, VARIANT* result);

    HRESULT AddObject(const wchar_t* name, IDispatch* object, BOOL globalMembers);
    HRESULT AddNamedObject(const wchar_t* name, IDispatch* object, WORD globalMembers);
    void RemoveAllObjects();
    // Answers the site: named objects first (any case), then modules.
    HRESULT GetItemInfo(const wchar_t* name, IUnknown** unknown, ITypeInfo** typeInfo);

    // Takes the record over; its strings now belong to the engine.
    void SetErrorInfo(ScriptErrorInfo&& record) noexcept;
    ScriptErrorInfo& ErrorRecord() noexcept { return error_; }

    // The script-control objects; each is handed out with one reference for the caller.
    MSSCtrl::IScriptError* GetError();
    HRESULT GetModules(MSSCtrl::IScriptModuleCollection** out);
    HRESULT GetModule(VARIANT index, MSSCtrl::IScriptModule** out);
    HRESULT AddModule(const wchar_t* name, VARIANT* object, MSSCtrl::IScriptModule** out);
    HRESULT GetProcedures(const wchar_t* module, MSSCtrl::IScriptProcedureCollection** out);

    bool HasEngine() const noexcept { return static_cast<bool>(engine_); }
    IActiveScript* ActiveScript() const noexcept { return engine_.Get(); }
    IDispatch* CodeObject() const noexcept { return codeObject_.Get(); }
    const std::vector<std::wstring>& ModuleNames() const noexcept { return moduleNames_; }
    size_t NamedObjectCount() const noexcept { return namedObjects_.size(); }
    HWND SiteWindow() const noexcept { return siteWindow_; }
    void SetSiteWindow(HWND window) noexcept { siteWindow_ = window; }

    // The script dispatch of a module (null or "global": the global module).
    HRESULT GetModuleDispatch(const wchar_t* module, IDispatch** out) const;
    // The module name as the scripting engine knows it: null for the global module.
    static const wchar_t* EngineModuleName(const wchar_t* module) noexcept;

private:
    static constexpr wchar_t kGlobalModule[] = L"global";
    static constexpr wchar_t kDefaultLanguage[] = L"VBScript";

    HRESULT CreateScriptEngine(const wchar_t* text, const wchar_t* module, VARIANT* result, DWORD flags);
    HRESULT CreateEngineObject(vb::ComPtr<IActiveScript>& engine) const;
    void CreateCodeObject(IActiveScript* engine);
    HRESULT Parse(IActiveScriptParse32* parser, const wchar_t* text, const wchar_t* module, VARIANT* result,
                  DWORD flags);
    // Marks a call that may run script, so that a reset inside it keeps the engine alive.
    class CallScope;
    struct RetiredEngine {
        vb::ComPtr<IActiveScript> engine;
        vb::ComPtr<IDispatch> codeObject;  // released first: that is what closes the engine
    };
    void ReleaseRetiredEngines();
    bool IsModuleName(const std::wstring& lowerName) const;

    bool comInitialized_ = false;
    std::unordered_map<std::wstring, vb::ComPtr<IDispatch>> namedObjects_;  // key: lower case
    std::vector<std::wstring> moduleNames_;                                 // lower case
    std::wstring language_;
    vb::ComPtr<IActiveScript> engine_;
    vb::ComPtr<IDispatch> codeObject_;
    // Kept so that Reset can cut it off: a late call from a scripting engine that someone
    // else still holds must not reach a reset host.
    vb::ComPtr<CIActiveScriptSite> site_;
    int activeCalls_ = 0;
    std::vector<RetiredEngine> retired_;
    HWND siteWindow_ = nullptr;
    ScriptErrorInfo error_;
};
