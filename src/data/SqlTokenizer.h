#pragma once
#include <string_view>
#include <vector>

namespace vb {

// One lexical piece of an SQL text, as both dialects we meet split it: string literals with
// doubled quotes, [bracketed], "quoted" and `quoted` names, words (names, keywords, numbers),
// blanks and single-character symbols. Comments (-- to the line's end, /* */) are blanks, as
// SQLite reads them, so that nothing inside one is taken for a piece of the statement. An
// unterminated literal, name or comment runs to the end of the text.
struct SqlToken {
    enum class Kind { Blank, Word, String, Bracketed, Quoted, Symbol };
    Kind kind;
    std::wstring_view text;

    bool IsWord(std::wstring_view word) const noexcept;  // case-insensitive
    bool IsSymbol(wchar_t symbol) const noexcept;
};

std::vector<SqlToken> TokenizeSql(std::wstring_view sql);

// Index of the next token after `index` that is not a blank; tokens.size() when there is none.
size_t NextSignificant(const std::vector<SqlToken>& tokens, size_t index) noexcept;

}  // namespace vb
