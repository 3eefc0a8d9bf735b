#include "ScriptErrorInfo.h"

void ScriptErrorInfo::Clear() noexcept {
    ::SysFreeString(text);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    exception = EXCEPINFO{};
    sourceContext = 0;
    line = 0;
    column = 0;
    text = nullptr;
}

void ScriptErrorInfo::TakeFrom(ScriptErrorInfo& other) noexcept {
    exception = other.exception;
    sourceContext = other.sourceContext;
    line = other.line;
    column = other.column;
    text = other.text;
    // The strings now belong here; the source is left zeroed so that it frees nothing.
    other.exception = EXCEPINFO{};
    other.sourceContext = 0;
    other.line = 0;
    other.column = 0;
    other.text = nullptr;
}
