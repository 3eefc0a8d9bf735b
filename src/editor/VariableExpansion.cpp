#include "VariableExpansion.h"

#include <cwctype>
#include <map>
#include <vector>

#include "Strings.h"

namespace {

// Values that each refer to two variables of the line above would double the work at every
// line; one expansion, with the expansions of its values, reads at most this many lines.
constexpr int kLineReadBudget = 5000;

// A piece of the expression: text copied as it is, or the place of a variable. Variables are
// put back by position, so nothing the script wrote can ever be taken for a placeholder.
struct Piece {
    std::wstring text;
    int variable = -1;  // index into the variable list; -1: text
};

struct ParsedExpression {
    std::vector<Piece> pieces;
    std::vector<std::wstring> variables;  // lower-cased, in order of appearance
};

struct Expansion {
    const ScriptLineReader& readLine;
    int linesLeft = kLineReadBudget;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool IsHostObject(const std::wstring& name) {
    for (const wchar_t* host : {L"Me", L"Document", L"System"}) {
        if (vb::EqualsNoCase(name, host)) return true;
    }
    return false;
}

void AppendText(ParsedExpression& parsed, const std::wstring& text) {
    if (text.empty()) return;
    if (parsed.pieces.empty() || parsed.pieces.back().variable >= 0) parsed.pieces.push_back({});
    parsed.pieces.back().text += text;
}

// False when the expression starts with a host object and stays as it is.
bool Parse(const std::wstring& expression, ParsedExpression& parsed) {
    const size_t size = expression.size();
    size_t i = 0;
    bool first = true;
    while (i < size) {
        while (i < size && std::iswspace(expression[i])) ++i;
        if (i >= size) break;
        const size_t start = i;
        bool word = false;
        if (expression[i] == L'"') {
            const size_t close = expression.find(L'"', i + 1);
            i = close == std::wstring::npos ? size : close + 1;
        } else if (std::iswdigit(expression[i])) {
            while (i < size && std::iswdigit(expression[i])) ++i;
        } else {
            while (i < size && std::iswalnum(expression[i])) ++i;
            word = true;
        }
        const std::wstring token = expression.substr(start, i - start);
        if (first && IsHostObject(token)) return false;
        first = false;
        // A name followed by "(" is a call and stays.
        const wchar_t next = i < size ? expression[i] : L'\0';
        if (word && !token.empty() && (next == L'\0' || next == L' ' || next == L')' || next == L',' || next == L'.')) {
            parsed.pieces.push_back({{}, static_cast<int>(parsed.variables.size())});
            parsed.variables.push_back(vb::ToLower(token));
        } else {
            AppendText(parsed, token);
        }
        if (i < size) AppendText(parsed, std::wstring(1, expression[i++]));
    }
    return true;
}

bool StartsWithWord(const std::wstring& text, const wchar_t* word, size_t length) {
    return text.size() >= length && vb::EqualsNoCase(text.substr(0, length), word) &&
           (text.size() == length || IsBlank(text[length]));
}

size_t SkipBlanks(const std::wstring& text, size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

std::wstring Expand(const std::wstring& expression, int line, Expansion& expansion);

// The value a statement of the script assigns to one of the variables still open, expanded
// against the lines above it: true when the line assigns one. A statement assigns one variable.
bool FindAssignment(const std::wstring& rawLine, int line, const ParsedExpression& parsed,
                    std::map<std::wstring, std::wstring>& values, Expansion& expansion) {
    static constexpr wchar_t kTrimmed[] = L" \t\r\n";
    const size_t first = rawLine.find_first_not_of(kTrimmed);
    if (first == std::wstring::npos) return false;
    const std::wstring text = rawLine.substr(first, rawLine.find_last_not_of(kTrimmed) - first + 1);
    if (text[0] == L'\'' || StartsWithWord(text, L"rem", 3)) return false;

    const bool forLine = StartsWithWord(text, L"for", 3);
    size_t statement = 0;
    if (forLine || StartsWithWord(text, L"set", 3)) statement = 3;
    statement = SkipBlanks(text, statement);

    for (const std::wstring& variable : parsed.variables) {
        if (values.count(variable)) continue;
        if (!vb::EqualsNoCase(text.substr(statement, variable.size()), variable)) continue;
        size_t at = SkipBlanks(text, statement + variable.size());
        if (at >= text.size() || text[at] != L'=') continue;  // a longer name, or no assignment
        at = SkipBlanks(text, at + 1);
        size_t end = text.size();
        if (forLine) {
            end = at;
            while (end < text.size() && std::iswalnum(text[end])) ++end;
        }
        values[variable] = Expand(text.substr(at, end - at), line, expansion);
        return true;
    }
    return false;
}

std::wstring Expand(const std::wstring& expression, int line, Expansion& expansion) {
    ParsedExpression parsed;
    if (!Parse(expression, parsed) || parsed.variables.empty()) return expression;

    std::map<std::wstring, std::wstring> values;
    auto allFound = [&] {
        for (const std::wstring& variable : parsed.variables) {
            if (!values.count(variable)) return false;
        }
        return true;
    };
    for (int above = line - 1; above >= 0 && expansion.linesLeft > 0 && !allFound(); --above) {
        --expansion.linesLeft;
        FindAssignment(expansion.readLine(above), above, parsed, values, expansion);
    }

    std::wstring result;
    for (const Piece& piece : parsed.pieces) {
        if (piece.variable < 0) {
            result += piece.text;
            continue;
        }
        const std::wstring& name = parsed.variables[static_cast<size_t>(piece.variable)];
        auto found = values.find(name);
        result += found != values.end() ? found->second : name;
    }
    return result;
}

}  // namespace

std::wstring ExpandScriptVariables(const std::wstring& expression, int line, const ScriptLineReader& readLine) {
    Expansion expansion{readLine};
    return Expand(expression, line, expansion);
}
