#pragma once
#include "CIScriptBase.h"
#include "ScriptControlInterfaces.h"
#include "ScriptErrorInfo.h"

// The engine's last script error as an IScriptError. It reads the record at each call, so it
// always shows the latest error; the record must outlive it.
class CIScriptError : public CIScriptBase<MSSCtrl::IScriptError, MSSCtrl::IID_IScriptError> {
public:
    explicit CIScriptError(ScriptErrorInfo* record) noexcept : record_(record) {}

    HRESULT STDMETHODCALLTYPE get_Number(long* number) override;
    HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* helpFile) override;
    HRESULT STDMETHODCALLTYPE get_HelpContext(long* helpContext) override;
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_Line(long* line) override;
    HRESULT STDMETHODCALLTYPE get_Column(long* column) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    static HRESULT CopyBstr(BSTR text, BSTR* out) noexcept { return CopyText(text, ::SysStringLen(text), out); }
    static HRESULT WriteNumber(long value, long* out) noexcept;

    ScriptErrorInfo* record_;
};
