#pragma once
#include <string>

// The expression that ends just before the character typed at `column` of a script line: the
// names, member accesses, calls and string literals that run up to it (blanks before the typed
// character skipped); `column` becomes where the expression starts. A column below 1 stands for
// the end of the line (before a final "."); a column past the text gives nothing. Characters
// from code 255 up end the expression.
std::wstring GetExpressionBeforeCaret(const std::wstring& text, int& column);

// The expression without the parentheses that belong to the text around it: "(" at its end
// dropped, then what follows the last "(" still open, without ")" that close nothing. A call's
// own parentheses stay, so "Driver.GetFont(0)" still evaluates to the font.
std::wstring StripOuterParentheses(std::wstring expression);
