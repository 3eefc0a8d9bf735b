#pragma once
#include <windows.h>
#include <oaidl.h>

// The record of the last script error: what IActiveScriptError reports, the exception part
// first and then the position and the failing line. It owns its four strings, so it moves and
// never copies.
struct ScriptErrorInfo {
    ScriptErrorInfo() noexcept = default;
    ~ScriptErrorInfo() { Clear(); }
    ScriptErrorInfo(const ScriptErrorInfo&) = delete;
    ScriptErrorInfo& operator=(const ScriptErrorInfo&) = delete;
    ScriptErrorInfo(ScriptErrorInfo&& other) noexcept { TakeFrom(other); }
    ScriptErrorInfo& operator=(ScriptErrorInfo&& other) noexcept {
        if (this != &other) {
            Clear();
            TakeFrom(other);
        }
        return *this;
    }

    // Frees the strings and zeroes every field.
    void Clear() noexcept;

    // Number reported to callers: the exception's scode.
    SCODE Number() const noexcept { return exception.scode; }

    EXCEPINFO exception{};  // wCode, Source, Description, HelpFile, HelpContext, ..., scode
    DWORD sourceContext = 0;
    ULONG line = 0;       // zero-based, as the engine reports it
    LONG column = 0;      // zero-based, as the engine reports it
    BSTR text = nullptr;  // the failing source line

private:
    void TakeFrom(ScriptErrorInfo& other) noexcept;
};
