#pragma once
// The published script-control interfaces through which the host hands out script errors,
// modules and procedures. The platform headers do not declare them, so they are declared here
// in their published slot order; the host implements them without any script control.
#include <windows.h>
#include <oaidl.h>

namespace MSSCtrl {

inline constexpr IID IID_IScriptError = {0x70841C78, 0x067D, 0x11D0, {0x95, 0xD8, 0x00, 0xA0, 0x24, 0x63, 0xAB, 0x28}};
inline constexpr IID IID_IScriptModule = {0x70841C70, 0x067D, 0x11D0, {0x95, 0xD8, 0x00, 0xA0, 0x24, 0x63, 0xAB, 0x28}};
inline constexpr IID IID_IScriptModuleCollection = {
    0x70841C6F, 0x067D, 0x11D0, {0x95, 0xD8, 0x00, 0xA0, 0x24, 0x63, 0xAB, 0x28}};
inline constexpr IID IID_IScriptProcedure = {
    0x70841C73, 0x067D, 0x11D0, {0x95, 0xD8, 0x00, 0xA0, 0x24, 0x63, 0xAB, 0x28}};
inline constexpr IID IID_IScriptProcedureCollection = {
    0x70841C71, 0x067D, 0x11D0, {0x95, 0xD8, 0x00, 0xA0, 0x24, 0x63, 0xAB, 0x28}};

struct IScriptError : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Number(long* number) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpContext(long* helpContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Line(long* line) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Column(long* column) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};

struct IScriptProcedure : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NumArgs(long* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HasReturnValue(VARIANT_BOOL* hasReturnValue) = 0;
};

struct IScriptProcedureCollection : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IScriptProcedure** procedure) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;
};

struct IScriptModule : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CodeObject(IDispatch** codeObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Procedures(IScriptProcedureCollection** procedures) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddCode(BSTR code) = 0;
    virtual HRESULT STDMETHODCALLTYPE Eval(BSTR expression, VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteStatement(BSTR statement) = 0;
    virtual HRESULT STDMETHODCALLTYPE Run(BSTR procedureName, SAFEARRAY** parameters, VARIANT* result) = 0;
};

struct IScriptModuleCollection : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IScriptModule** module) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR name, VARIANT* object, IScriptModule** module) = 0;
};

}  // namespace MSSCtrl
