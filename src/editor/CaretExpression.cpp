#include "CaretExpression.h"

#include <cwctype>
#include <vector>

namespace {

bool IsExpressionChar(wchar_t c) {
    return c < 255 && (std::iswalnum(c) || c == L'_' || c == L'.' || c == L'(' || c == L')' || c == L'"');
}

}  // namespace

std::wstring GetExpressionBeforeCaret(const std::wstring& text, int& column) {
    const int length = static_cast<int>(text.size());
    if (column < 1) column = !text.empty() && text.back() == L'.' ? length - 1 : length;
    if (column > length) return {};
    int end = column;
    while (end > 0 && text[end - 1] < 255 && std::iswspace(text[end - 1])) --end;
    int start = end;
    while (start > 0 && IsExpressionChar(text[start - 1])) --start;
    column = start;
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

std::wstring StripOuterParentheses(std::wstring expression) {
    // Opening parentheses at the end are the call the character was typed after.
    while (!expression.empty() && expression.back() == L'(') expression.pop_back();
    std::vector<size_t> open;  // positions of "(" not closed yet
    std::vector<size_t> strayClose;
    bool inString = false;
    for (size_t i = 0; i < expression.size(); ++i) {
        const wchar_t c = expression[i];
        if (c == L'"') {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == L'(') {
            open.push_back(i);
        } else if (c == L')') {
            if (open.empty())
                strayClose.push_back(i);
            else
                open.pop_back();
        }
    }
    size_t start = open.empty() ? 0 : open.back() + 1;
    size_t end = expression.size();
    // Closing parentheses that close nothing can only stand at the ends of what is left.
    while (start < end && expression[start] == L')') ++start;
    while (end > start && expression[end - 1] == L')' && !strayClose.empty() && strayClose.back() == end - 1) {
        strayClose.pop_back();
        --end;
    }
    return expression.substr(start, end - start);
}
