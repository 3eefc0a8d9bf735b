#include "GlobalScript.h"

#include <cstdint>

#include "GlobalScriptHeader.h"
#include "Strings.h"

namespace {

constexpr std::wstring_view kLineBreak = L"\r\n";
constexpr std::wstring_view kConstPrefix = L"const ";
constexpr wchar_t kExpressionMarks[] = L"+-*/()";

// Only blanks separate tokens: a tab inside an expression makes the line fail, which keeps
// it as written rather than guessing.
void SkipBlanks(const wchar_t*& position) {
    while (*position == L' ') ++position;
}

bool IsOperator(wchar_t c) { return c == L'+' || c == L'-' || c == L'*' || c == L'/'; }

// Computed on unsigned 32-bit values so an overflow wraps modulo 2^32 instead of being
// undefined; the signed view is what the script receives.
int Wrap(std::uint32_t value) { return static_cast<int>(value); }

bool Apply(wchar_t op, int& value, int term) {
    const auto left = static_cast<std::uint32_t>(value);
    const auto right = static_cast<std::uint32_t>(term);
    switch (op) {
        case L'+':
            value = Wrap(left + right);
            return true;
        case L'-':
            value = Wrap(left - right);
            return true;
        case L'*':
            value = Wrap(left * right);
            return true;
        default:
            if (term == 0) return false;
            // INT_MIN / -1 does not fit: negate with wrapping, as the other operators do.
            value = term == -1 ? Wrap(0u - left) : value / term;
            return true;
    }
}

// C notation that VBScript would not accept.
std::wstring ToScriptNotation(std::wstring_view line) {
    std::wstring text = vb::ReplaceAll(vb::ReplaceAll(line, L"(DWORD)", L""), L"0x", L"&h");
    text.erase(0, text.find_first_not_of(L"\r\n"));
    return text;
}

// A constant given as an expression becomes its value, since VBScript's Const accepts only
// literals; a line the evaluator cannot read stays as written.
std::wstring RewriteLine(std::wstring_view headerLine) {
    std::wstring line = ToScriptNotation(headerLine);
    if (line.compare(0, kConstPrefix.size(), kConstPrefix) != 0) return line;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) return line;
    const std::wstring expression = line.substr(equals + 1);
    if (expression.empty() || expression.find_first_of(kExpressionMarks) == std::wstring::npos) return line;
    const wchar_t* position = expression.c_str();
    int value = 0;
    if (!EvaluateIntExpression(position, value, FALSE)) return line;
    return line.substr(0, equals + 1) + L" " + std::to_wstring(value);
}

// Each parenthesis costs the evaluator a level of recursion: a line nested deeper than any
// header needs fails, and stays as written, instead of running out of stack.
constexpr int kMaxNesting = 256;

BOOL Evaluate(const wchar_t*& position, int& value, BOOL inside, int depth);

BOOL ParseTerm(const wchar_t*& position, int& value, int depth) {
    SkipBlanks(position);
    if (*position == L'(') {
        if (depth >= kMaxNesting) return FALSE;
        ++position;
        if (!Evaluate(position, value, TRUE, depth + 1)) return FALSE;
        ++position;
        return TRUE;
    }
    if (*position < L'0' || *position > L'9') return FALSE;
    std::uint32_t number = 0;
    for (; *position >= L'0' && *position <= L'9'; ++position) number = number * 10u + (*position - L'0');
    value = Wrap(number);
    return TRUE;
}

BOOL Evaluate(const wchar_t*& position, int& value, BOOL inside, int depth) {
    if (!ParseTerm(position, value, depth)) return FALSE;
    for (;;) {
        SkipBlanks(position);
        const wchar_t op = *position;
        if (!IsOperator(op)) break;
        ++position;
        int term = 0;
        if (!ParseTerm(position, term, depth) || !Apply(op, value, term)) return FALSE;
    }
    return *position == (inside ? L')' : L'\0') ? TRUE : FALSE;
}

}  // namespace

void BuildGlobalScript(std::wstring& out) { RewriteGlobalScript(GlobalScriptHeader(), out); }

void RewriteGlobalScript(std::wstring_view header, std::wstring& out) {
    out.clear();
    size_t start = 0;
    for (size_t end; (end = header.find(kLineBreak, start)) != std::wstring_view::npos;
         start = end + kLineBreak.size()) {
        out += RewriteLine(header.substr(start, end - start));
        // Empty lines before the first text are dropped, so the script opens with its first statement.
        if (!out.empty()) out += kLineBreak;
    }
    // Rewritten like any line: left in C notation a constant expression would not compile.
    if (start < header.size()) out += RewriteLine(header.substr(start));
}

BOOL ParseIntTerm(const wchar_t*& position, int& value) { return ParseTerm(position, value, 0); }

BOOL EvaluateIntExpression(const wchar_t*& position, int& value, BOOL inside) {
    return Evaluate(position, value, inside, 0);
}
