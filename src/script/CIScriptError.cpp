#include "CIScriptError.h"

HRESULT CIScriptError::WriteNumber(long value, long* out) noexcept {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT CIScriptError::get_Number(long* number) { return WriteNumber(record_->Number(), number); }
HRESULT CIScriptError::get_Source(BSTR* source) { return CopyBstr(record_->exception.bstrSource, source); }
HRESULT CIScriptError::get_Description(BSTR* description) {
    return CopyBstr(record_->exception.bstrDescription, description);
}
HRESULT CIScriptError::get_HelpFile(BSTR* helpFile) { return CopyBstr(record_->exception.bstrHelpFile, helpFile); }
HRESULT CIScriptError::get_HelpContext(long* helpContext) {
    return WriteNumber(static_cast<long>(record_->exception.dwHelpContext), helpContext);
}
HRESULT CIScriptError::get_Text(BSTR* text) { return CopyBstr(record_->text, text); }
HRESULT CIScriptError::get_Line(long* line) { return WriteNumber(static_cast<long>(record_->line), line); }
HRESULT CIScriptError::get_Column(long* column) { return WriteNumber(record_->column, column); }

HRESULT CIScriptError::Clear() {
    record_->Clear();
    return S_OK;
}
