#include "SqlTokenizer.h"

#include <algorithm>
#include <cwctype>

#include "Strings.h"

namespace vb {

bool SqlToken::IsWord(std::wstring_view word) const noexcept {
    return kind == Kind::Word && EqualsNoCase(text, word);
}

bool SqlToken::IsSymbol(wchar_t symbol) const noexcept {
    return kind == Kind::Symbol && text.size() == 1 && text[0] == symbol;
}

namespace {

bool IsWordChar(wchar_t c) { return c == L'_' || c == L'$' || c == L'.' || std::iswalnum(c) || c > 0x7F; }

// End of a literal or name that closes with `close`, where a doubled `close` stands for itself.
size_t EndOfQuoted(std::wstring_view sql, size_t start, wchar_t close, bool doubling) {
    size_t i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

}  // namespace

std::vector<SqlToken> TokenizeSql(std::wstring_view sql) {
    std::vector<SqlToken> tokens;
    size_t i = 0;
    while (i < sql.size()) {
        wchar_t c = sql[i];
        size_t end = i + 1;
        SqlToken::Kind kind = SqlToken::Kind::Symbol;
        const wchar_t next = i + 1 < sql.size() ? sql[i + 1] : L'\0';
        if (std::iswspace(c)) {
            kind = SqlToken::Kind::Blank;
            while (end < sql.size() && std::iswspace(sql[end])) ++end;
        } else if (c == L'-' && next == L'-') {
            kind = SqlToken::Kind::Blank;
            end = std::min(sql.find(L'\n', i), sql.size());
        } else if (c == L'/' && next == L'*') {
            kind = SqlToken::Kind::Blank;
            end = sql.find(L"*/", i + 2);
            end = end == std::wstring_view::npos ? sql.size() : end + 2;
        } else if (c == L'`') {
            kind = SqlToken::Kind::Quoted;
            end = EndOfQuoted(sql, i, L'`', true);
        } else if (c == L'\'') {
            kind = SqlToken::Kind::String;
            end = EndOfQuoted(sql, i, L'\'', true);
        } else if (c == L'[') {
            kind = SqlToken::Kind::Bracketed;
            end = EndOfQuoted(sql, i, L']', false);
        } else if (c == L'"') {
            kind = SqlToken::Kind::Quoted;
            end = EndOfQuoted(sql, i, L'"', true);
        } else if (IsWordChar(c)) {
            kind = SqlToken::Kind::Word;
            while (end < sql.size() && IsWordChar(sql[end])) ++end;
        }
        tokens.push_back({kind, sql.substr(i, end - i)});
        i = end;
    }
    return tokens;
}

size_t NextSignificant(const std::vector<SqlToken>& tokens, size_t index) noexcept {
    size_t i = index + 1;
    while (i < tokens.size() && tokens[i].kind == SqlToken::Kind::Blank) ++i;
    return i;
}

}  // namespace vb
