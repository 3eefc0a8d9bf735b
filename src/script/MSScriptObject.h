#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "ComPtr.h"
#include "ScriptEngine.h"
#include "ScriptErrorText.h"

class CIMSObject;
class ScriptHostOwner;

// The one object through which the program uses scripting: it starts the VBScript engine,
// adds the host objects, adds code, runs procedures and statements, formats the last script
// error, and lists members and arguments for the editor. Engine failures become FALSE plus a
// stored COM error text; a busy flag refuses re-entrant use from scripts that pump messages.
class CMSScriptObject {
public:
    // The owner (may be null) supplies the program's type library for the member listings.
    explicit CMSScriptObject(ScriptHostOwner* owner);
    virtual ~CMSScriptObject();
    CMSScriptObject(const CMSScriptObject&) = delete;
    CMSScriptObject& operator=(const CMSScriptObject&) = delete;

    BOOL Init();
    // A fresh scripting engine with no named objects, no code and only the module "global".
    // Done whatever the busy flag says.
    void Reset();
    BOOL ExecuteStatement(const wchar_t* statement);
    BOOL AddCode(const wchar_t* code);
    // Runs a procedure of the global module without arguments; its result is dropped.
    BOOL Run(const wchar_t* procedure);
    void FetchError(ScriptErrorText& record);
    // Formats the last script error and shows it in an error box.
    void GetErrorString(std::wstring& text);
    // Adds a named host object whose members scripts reach as global names, or points an
    // existing name (any case) at the new object.
    BOOL AddObject(const wchar_t* name, IDispatch* object);

    // Member listings for the editor's completion and call tips.
    static BOOL GetVarTypeName(VARTYPE type, std::wstring& text);
    int ListTypeInfoMembers(IDispatch* object, ITypeInfo* typeInfo, std::vector<std::wstring>& out, int invokeMask,
                            const wchar_t* filter);
    BOOL GetObjectMembers(const wchar_t* objectName, std::vector<std::wstring>& properties,
                          std::vector<std::wstring>& methods, const wchar_t* filter);
    int FindBuiltinFunction(const wchar_t* name);
    BOOL GetProcedureArgs(const wchar_t* name, std::vector<std::wstring>& args);
    BOOL GetMemberArgs(const wchar_t* objectName, const wchar_t* memberName, std::vector<std::wstring>& args);

    // The batch start-up resets the engine itself under the busy flag.
    ScriptEngine& Engine() noexcept { return engine_; }
    bool HasEngine() const noexcept { return engine_.HasEngine(); }
    bool IsBusy() const noexcept { return busy_ != FALSE; }
    void SetBusy(bool busy) noexcept { busy_ = busy ? TRUE : FALSE; }
    const std::wstring& LastComError() const noexcept { return lastComError_; }
    CIMSObject* HostObjects() const noexcept { return hostObjects_; }

private:
    void StoreComError(HRESULT hr);
    // Runs one engine call that parses text, under the busy flag.
    BOOL RunGuarded(const wchar_t* text, HRESULT (ScriptEngine::*call)(const wchar_t*));
    HRESULT FindHostTypeInfo(IDispatch* object, ITypeInfo** info);
    int AppendFilteredMember(ITypeInfo* info, const FUNCDESC& function, const std::wstring& returnType,
                             std::vector<std::wstring>& out);
    void AppendFunctionNames(ITypeInfo* info, const FUNCDESC& function, std::vector<std::wstring>& out);
    BOOL ListScriptProcedureArgs(const wchar_t* name, std::vector<std::wstring>& args);

    ScriptHostOwner* owner_;
    std::wstring lastComError_;
    BOOL busy_ = FALSE;
    ScriptEngine engine_;
    vb::ComPtr<ITypeLib> vbScriptLibrary_;
    vb::ComPtr<ITypeInfo> vbScriptFunctions_;
    CIMSObject* hostObjects_ = nullptr;
};
