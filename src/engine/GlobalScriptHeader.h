#pragma once
#include <string_view>

// The built-in text from which the global script's default text is made: the driver
// interface's constants and the helper routines every test script may call.
std::wstring_view GlobalScriptHeader() noexcept;
