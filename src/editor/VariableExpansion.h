#pragma once
#include <functional>
#include <string>

// One line of the script as the editor holds it; "" for a line it cannot read.
using ScriptLineReader = std::function<std::wstring(int line)>;

// The editor does no type analysis: it asks the script engine to evaluate an expression. So that
// a local variable can be evaluated too, each variable of the expression is replaced by the
// expression last assigned to it in the lines above `line` (expanded in turn against the lines
// above its own). Variables assigned nowhere above are only lower-cased, which the engine
// resolves all the same; an expression that starts with a host object (Me, Document, System) is
// left alone. Text of the expression that is no variable, string literals included, is copied
// as it is.
std::wstring ExpandScriptVariables(const std::wstring& expression, int line, const ScriptLineReader& readLine);
