// The facade's member listings for the editor: host objects from the program's type library,
// VBScript's built-in functions from the engine's own library, and the script's procedures.
#include "Bstr.h"
#include "BusyScope.h"
#include "CIMSObject.h"
#include "MSScriptObject.h"
#include "ScriptHostOwner.h"
#include "Strings.h"
#include "Variant.h"

namespace {

constexpr UINT kMaxNames = 20;  // a function's name and up to 19 parameter names
// Bit of a parameter type code marking a parameter passed by reference.
constexpr VARTYPE kByRefTypeBit = 0x40;
constexpr WORD kHiddenFunction = FUNCFLAG_FRESTRICTED | FUNCFLAG_FNONBROWSABLE;
// Properties marked read-only in a type library are left out of the lists; the system's own
// type library does not mark its properties so, since each object refuses writes itself.
constexpr WORD kHiddenVariable = VARFLAG_FREADONLY | VARFLAG_FRESTRICTED | VARFLAG_FNONBROWSABLE;

const wchar_t* TypeNameOf(VARTYPE type) {
    switch (type) {
        case VT_I2:
        case VT_UI2:
            return L"Short";
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
            return L"Integer";
        case VT_R4:
        case VT_DECIMAL:
            return L"Real";
        case VT_R8:
            return L"Double";
        case VT_CY:
            return L"Currency";
        case VT_DATE:
            return L"Date";
        case VT_BSTR:
        case VT_LPSTR:
        case VT_LPWSTR:
            return L"String";
        case VT_DISPATCH:
            return L"IDispatch";
        case VT_ERROR:
            return L"SCODE";
        case VT_BOOL:
            return L"Boolean";
        case VT_VARIANT:
            return L"Variant";
        case VT_UNKNOWN:
            return L"IUnknown";
        case VT_I1:
        case VT_UI1:
            return L"Byte";
        case VT_I8:
        case VT_UI8:
            return L"Int64";
        case VT_VOID:
            return L"Void";
        case VT_HRESULT:
            return L"HRESULT";
        case VT_PTR:
        case VT_INT_PTR:
        case VT_UINT_PTR:
            return L"Object";
        case VT_SAFEARRAY:
        case VT_CARRAY:
            return L"Array";
        case VT_USERDEFINED:
            return L"User_Defined";
        case VT_RECORD:
            return L"Record";
        default:
            return nullptr;  // no name of its own: the text stays as it was
    }
}

bool IsHidden(const std::wstring& name) { return !name.empty() && name[0] == L'_'; }

// Owns one description borrowed from a type information.
template <class Description, void (STDMETHODCALLTYPE ITypeInfo::*ReleaseFn)(Description*)>
class TypeDescription {
public:
    explicit TypeDescription(ITypeInfo* info) noexcept : info_(info) {}
    ~TypeDescription() {
        if (description_) (info_->*ReleaseFn)(description_);
    }
    TypeDescription(const TypeDescription&) = delete;
    TypeDescription& operator=(const TypeDescription&) = delete;
    Description** Put() noexcept { return &description_; }
    Description* operator->() const noexcept { return description_; }
    Description& operator*() const noexcept { return *description_; }
    explicit operator bool() const noexcept { return description_ != nullptr; }

private:
    ITypeInfo* info_;
    Description* description_ = nullptr;
};

using TypeAttributes = TypeDescription<TYPEATTR, &ITypeInfo::ReleaseTypeAttr>;
using FunctionDescription = TypeDescription<FUNCDESC, &ITypeInfo::ReleaseFuncDesc>;
using VariableDescription = TypeDescription<VARDESC, &ITypeInfo::ReleaseVarDesc>;

std::wstring MemberName(ITypeInfo* info, MEMBERID id) {
    vb::Bstr name;
    UINT found = 0;
    if (FAILED(info->GetNames(id, name.Put(), 1, &found)) || found == 0) return {};
    return name.Str();
}

}  // namespace

BOOL CMSScriptObject::GetVarTypeName(VARTYPE type, std::wstring& text) {
    const bool byReference = (type & kByRefTypeBit) != 0;
    if (byReference) type = static_cast<VARTYPE>(type - kByRefTypeBit);
    BOOL known = TRUE;
    if (type == VT_EMPTY || type == VT_NULL) {
        text.clear();
        known = FALSE;
    } else if (const wchar_t* name = TypeNameOf(type)) {
        text = name;
    }
    if (byReference) text = L"ByRef " + text;
    return known;
}

// The function's name and then its parameters; a parameter the caller may leave out is shown
// in brackets.
void CMSScriptObject::AppendFunctionNames(ITypeInfo* info, const FUNCDESC& function, std::vector<std::wstring>& out) {
    BSTR names[kMaxNames] = {};
    UINT found = 0;
    if (FAILED(info->GetNames(function.memid, names, kMaxNames, &found))) return;
    const int required = function.cParams - function.cParamsOpt;
    for (UINT i = 0; i < found; ++i) {
        vb::Bstr name = vb::Bstr::Attach(names[i]);
        const int position = static_cast<int>(i);  // 0 is the function itself
        bool optional = position > required;
        if (position > 0 && position <= function.cParams) {
            optional = optional || (function.lprgelemdescParam[position - 1].paramdesc.wParamFlags & PARAMFLAG_FOPT);
        }
        out.push_back(position > 0 && optional ? L"[" + name.Str() + L"]" : name.Str());
    }
}

int CMSScriptObject::AppendFilteredMember(ITypeInfo* info, const FUNCDESC& function, const std::wstring& returnType,
                                          std::vector<std::wstring>& out) {
    const size_t first = out.size();
    AppendFunctionNames(info, function, out);
    // The return type goes before this function's own name, not before what the caller had.
    if (!returnType.empty() && out.size() > first) out[first] = returnType + L" " + out[first];
    return static_cast<int>(out.size() - first);
}

int CMSScriptObject::ListTypeInfoMembers(IDispatch* object, ITypeInfo* typeInfo, std::vector<std::wstring>& out,
                                         int invokeMask, const wchar_t* filter) {
    if (!object) return 0;
    vb::ComPtr<ITypeInfo> info(typeInfo);
    if (!info && (FAILED(object->GetTypeInfo(0, 0, info.Put())) || !info)) return 0;
    TypeAttributes attributes(info.Get());
    if (FAILED(info->GetTypeAttr(attributes.Put())) || !attributes) return 0;

    const bool properties = (invokeMask & (INVOKE_PROPERTYGET | INVOKE_PROPERTYPUT)) != 0;
    const bool filtered = filter && *filter;
    int count = 0;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FunctionDescription function(info.Get());
        if (FAILED(info->GetFuncDesc(i, function.Put())) || !function) continue;
        if ((function->wFuncFlags & kHiddenFunction) || !(function->invkind & invokeMask)) continue;
        std::wstring name = MemberName(info.Get(), function->memid);
        std::wstring returnType;
        if (!GetVarTypeName(function->elemdescFunc.tdesc.vt, returnType) && properties) continue;
        if (!filtered) {
            if (name.empty() || IsHidden(name)) continue;
            out.push_back(name);
            ++count;
        } else if (vb::EqualsNoCase(name, filter)) {
            return AppendFilteredMember(info.Get(), *function, returnType, out);
        }
    }
    if (!properties) return count;
    for (UINT i = 0; i < attributes->cVars; ++i) {
        VariableDescription variable(info.Get());
        if (FAILED(info->GetVarDesc(i, variable.Put())) || !variable) continue;
        std::wstring typeName;
        if ((variable->wVarFlags & kHiddenVariable) || !GetVarTypeName(variable->elemdescVar.tdesc.vt, typeName)) {
            continue;
        }
        std::wstring name = MemberName(info.Get(), variable->memid);
        if (name.empty() || IsHidden(name) || (filtered && !vb::EqualsNoCase(name, filter))) continue;
        out.push_back(name);
        ++count;
    }
    return count;
}

// The program's own objects are described in its type library: the first interface of the
// library that the object answers describes it.
HRESULT CMSScriptObject::FindHostTypeInfo(IDispatch* object, ITypeInfo** out) {
    *out = nullptr;
    vb::ComPtr<ITypeLib> library;
    if (!owner_ || FAILED(owner_->GetTypeLibrary(library.Put())) || !library) return E_FAIL;
    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        TYPEKIND kind = TKIND_MAX;
        if (FAILED(library->GetTypeInfoType(i, &kind)) || (kind != TKIND_DISPATCH && kind != TKIND_INTERFACE)) continue;
        vb::ComPtr<ITypeInfo> info;
        if (FAILED(library->GetTypeInfo(i, info.Put())) || !info) continue;
        TypeAttributes attributes(info.Get());
        if (FAILED(info->GetTypeAttr(attributes.Put())) || !attributes) continue;
        vb::ComPtr<IUnknown> answered;
        if (SUCCEEDED(object->QueryInterface(attributes->guid, reinterpret_cast<void**>(answered.Put()))) && answered) {
            *out = info.Detach();
            return S_OK;
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

BOOL CMSScriptObject::GetObjectMembers(const wchar_t* objectName, std::vector<std::wstring>& properties,
                                       std::vector<std::wstring>& methods, const wchar_t* filter) {
    if (!engine_.HasEngine() || !objectName || !*objectName || busy_) return FALSE;
    const size_t before = properties.size() + methods.size();
    {
        BusyScope busy(busy_);
        // The name is evaluated like any script expression; an error there is recorded by the
        // engine like any other script error.
        vb::Variant value;
        engine_.ParseScriptText(objectName, nullptr, value.Put(), SCRIPTTEXT_ISEXPRESSION);
        if (value.Type() == VT_DISPATCH && V_DISPATCH(value.Get())) {
            IDispatch* object = V_DISPATCH(value.Get());
            // A named host object's wrapper leads to the real object, which the value keeps alive.
            IDispatch* wrapped = nullptr;
            if (SUCCEEDED(object->QueryInterface(CIMSObject::kWrappedObjectIid, reinterpret_cast<void**>(&wrapped))) &&
                wrapped) {
                object = wrapped;
            }
            vb::ComPtr<ITypeInfo> info;
            FindHostTypeInfo(object, info.Put());
            ListTypeInfoMembers(object, info.Get(), methods, INVOKE_FUNC, filter);
            if (!filter || !*filter) ListTypeInfoMembers(object, info.Get(), properties, INVOKE_PROPERTYGET, nullptr);
        }
    }
    return properties.size() + methods.size() > before;
}

int CMSScriptObject::FindBuiltinFunction(const wchar_t* name) {
    if (!name || !*name || !vbScriptFunctions_) return -1;
    TypeAttributes attributes(vbScriptFunctions_.Get());
    if (FAILED(vbScriptFunctions_->GetTypeAttr(attributes.Put())) || !attributes) return -1;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FunctionDescription function(vbScriptFunctions_.Get());
        if (FAILED(vbScriptFunctions_->GetFuncDesc(i, function.Put())) || !function) continue;
        vb::Bstr documented;
        if (FAILED(
                vbScriptFunctions_->GetDocumentation(function->memid, documented.Put(), nullptr, nullptr, nullptr))) {
            continue;
        }
        if (vb::EqualsNoCase(documented.Str(), name)) return static_cast<int>(i);
    }
    return -1;
}

BOOL CMSScriptObject::GetProcedureArgs(const wchar_t* name, std::vector<std::wstring>& args) {
    if (!name || !*name) return FALSE;
    int index = FindBuiltinFunction(name);
    if (index < 0) return ListScriptProcedureArgs(name, args);
    FunctionDescription function(vbScriptFunctions_.Get());
    if (SUCCEEDED(vbScriptFunctions_->GetFuncDesc(static_cast<UINT>(index), function.Put())) && function) {
        AppendFunctionNames(vbScriptFunctions_.Get(), *function, args);
    }
    return TRUE;
}

// The script's own procedures, module by module. A procedure that no object describes is
// shown with numbered argument placeholders.
BOOL CMSScriptObject::ListScriptProcedureArgs(const wchar_t* name, std::vector<std::wstring>& args) {
    vb::ComPtr<MSSCtrl::IScriptModuleCollection> modules;
    if (FAILED(engine_.GetModules(modules.Put())) || !modules) return FALSE;
    for (long m = 1;; ++m) {
        vb::ComPtr<MSSCtrl::IScriptModule> module;
        if (FAILED(modules->get_Item(*vb::Variant(m).Get(), module.Put())) || !module) break;
        vb::ComPtr<MSSCtrl::IScriptProcedureCollection> procedures;
        if (FAILED(module->get_Procedures(procedures.Put())) || !procedures) continue;
        for (long p = 1;; ++p) {
            vb::ComPtr<MSSCtrl::IScriptProcedure> procedure;
            if (FAILED(procedures->get_Item(*vb::Variant(p).Get(), procedure.Put())) || !procedure) break;
            vb::Bstr procedureName;
            procedure->get_Name(procedureName.Put());
            if (!vb::EqualsNoCase(procedureName.Str(), name)) continue;

            vb::Bstr moduleName;
            module->get_Name(moduleName.Put());
            std::wstring objectName = moduleName.Str() + L"Script";
            if (!GetMemberArgs(objectName.c_str(), procedureName.Str().c_str(), args)) {
                args.push_back(procedureName.Str());
                long count = 0;
                procedure->get_NumArgs(&count);
                for (long i = 1; i <= count; ++i) args.push_back(L"\u00ABarg_" + std::to_wstring(i) + L"\u00BB");
            }
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMSScriptObject::GetMemberArgs(const wchar_t* objectName, const wchar_t* memberName,
                                    std::vector<std::wstring>& args) {
    if (!objectName || !*objectName || !memberName || !*memberName) return FALSE;
    std::vector<std::wstring> properties;
    return GetObjectMembers(objectName, properties, args, memberName);
}
