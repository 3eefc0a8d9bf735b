#pragma once
#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <memory>
#include <string>

class ScriptEngine;

namespace vb::test {

struct SafeArrayDeleter {
    void operator()(SAFEARRAY* array) const noexcept { ::SafeArrayDestroy(array); }
};
using UniqueSafeArray = std::unique_ptr<SAFEARRAY, SafeArrayDeleter>;

// A one-dimensional array of VARIANTs holding the numbers, starting at `lowerBound`.
UniqueSafeArray MakeArguments(std::initializer_list<long> values, LONG lowerBound = 0);

// The value of a VBScript expression in the engine's global module, as text ("<error>" when
// the engine refuses it).
std::wstring Evaluate(ScriptEngine& engine, const wchar_t* expression);

}  // namespace vb::test
