#pragma once
#include <string>

// The last script error as the facade formats it for the tester.
struct ScriptErrorText {
    long number = 0;
    std::wstring source;
    std::wstring description;
    std::wstring text;
    long line = 0;    // zero-based, as the engine reports it
    long column = 0;  // zero-based, as the engine reports it
};
