#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// The global script's default text: the built-in header rewritten line by line into VBScript
// (C casts dropped, "0x" made "&h", constant expressions replaced by their value). Without
// state; a new device database and the global script's reset both take it from here.
void BuildGlobalScript(std::wstring& out);
// The same rewrite of any header text: cut at CR LF, empty lines before the first text dropped,
// every other line ending with CR LF, a last piece without CR LF kept without one.
void RewriteGlobalScript(std::wstring_view header, std::wstring& out);

// A small integer evaluator for the header's constant expressions: decimal numbers, blanks,
// parentheses and + - * / applied strictly from left to right. 32-bit arithmetic wraps;
// division by zero fails, and so do parentheses nested more than 256 deep. `position` is advanced past what was read. At top level the text must
// end after the expression; `inside` a parenthesis it must stop at the closing ')'.
BOOL EvaluateIntExpression(const wchar_t*& position, int& value, BOOL inside);
// One number, or a parenthesised expression with its ')' passed.
BOOL ParseIntTerm(const wchar_t*& position, int& value);
