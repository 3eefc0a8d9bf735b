#include "JetSql.h"

#include <vector>

#include "SqlTokenizer.h"

namespace vb {

namespace {

using Tokens = std::vector<SqlToken>;

size_t PreviousSignificant(const Tokens& tokens, size_t index) {
    while (index > 0) {
        --index;
        if (tokens[index].kind != SqlToken::Kind::Blank) return index;
    }
    return tokens.size();
}

bool IsStringAt(const Tokens& tokens, size_t index) {
    return index < tokens.size() && tokens[index].kind == SqlToken::Kind::String;
}

// A word, or a name in brackets or quotes: nothing else can stand for a column, and copying
// anything else into the added length check could change what the text's statements are.
bool IsName(const SqlToken& token) {
    return token.kind == SqlToken::Kind::Word || token.kind == SqlToken::Kind::Bracketed ||
           token.kind == SqlToken::Kind::Quoted;
}

bool IsTableConstraint(const SqlToken& token) {
    for (auto word : {L"CONSTRAINT", L"PRIMARY", L"UNIQUE", L"CHECK", L"FOREIGN"}) {
        if (token.IsWord(word)) return true;
    }
    return false;
}

class Translator {
public:
    explicit Translator(std::wstring_view sql) : tokens_(TokenizeSql(sql)) {}

    std::wstring Run() {
        size_t first = NextSignificant(tokens_, static_cast<size_t>(-1));
        bool createTable = first < tokens_.size() && tokens_[first].IsWord(L"CREATE") &&
                           NextSignificant(tokens_, first) < tokens_.size() &&
                           tokens_[NextSignificant(tokens_, first)].IsWord(L"TABLE");
        for (size_t i = 0; i < tokens_.size();) {
            if (createTable) {
                size_t next = ColumnDefinition(i);
                if (next != i) {
                    i = next;
                    continue;
                }
            }
            Expression(i++);
        }
        return out_;
    }

private:
    // Operators and DELETE *: anything that is not a column type.
    void Expression(size_t i) {
        const SqlToken& token = tokens_[i];
        if (token.IsSymbol(L'&') ||
            (token.IsSymbol(L'+') &&
             (IsStringAt(tokens_, PreviousSignificant(tokens_, i)) || IsStringAt(tokens_, NextSignificant(tokens_, i))))) {
            out_ += L"||";
            return;
        }
        if (token.IsSymbol(L'*')) {
            size_t before = PreviousSignificant(tokens_, i);
            size_t after = NextSignificant(tokens_, i);
            if (before < tokens_.size() && tokens_[before].IsWord(L"DELETE") && after < tokens_.size() &&
                tokens_[after].IsWord(L"FROM")) {
                skipBlank_ = true;
                return;
            }
        }
        if (token.kind == SqlToken::Kind::Blank && skipBlank_) {
            skipBlank_ = false;
            return;
        }
        skipBlank_ = false;
        out_.append(token.text);
    }

    // Inside the column list of CREATE TABLE, a column's name is followed by its type. Returns
    // `i` when the token is left to Expression, else the index after what was written here.
    size_t ColumnDefinition(size_t i) {
        const SqlToken& token = tokens_[i];
        if (token.IsSymbol(L'(')) {
            ++depth_;
            expectName_ = depth_ == 1;
            return i;
        }
        if (token.IsSymbol(L')')) {
            --depth_;
            return i;
        }
        if (token.IsSymbol(L',') && depth_ == 1) {
            expectName_ = true;
            return i;
        }
        if (!expectName_ || token.kind == SqlToken::Kind::Blank) return i;
        expectName_ = false;
        if (!IsName(token) || IsTableConstraint(token)) return i;
        // Column name as written, then its type.
        out_.append(token.text);
        size_t typeIndex = NextSignificant(tokens_, i);
        for (size_t k = i + 1; k < typeIndex; ++k) out_.append(tokens_[k].text);
        if (typeIndex >= tokens_.size()) return typeIndex;
        return ColumnType(token.text, typeIndex);
    }

    size_t ColumnType(std::wstring_view name, size_t i) {
        const SqlToken& type = tokens_[i];
        if (type.IsWord(L"MEMO")) {
            out_ += L"TEXT";
            return i + 1;
        }
        if (type.IsWord(L"LONG")) {
            out_ += L"INTEGER";
            return i + 1;
        }
        if (type.IsWord(L"VARCHAR") || type.IsWord(L"TEXT")) {
            // VARCHAR ( n )
            size_t open = NextSignificant(tokens_, i);
            size_t size = NextSignificant(tokens_, open);
            size_t close = NextSignificant(tokens_, size);
            if (close < tokens_.size() && tokens_[open].IsSymbol(L'(') && tokens_[size].kind == SqlToken::Kind::Word &&
                tokens_[close].IsSymbol(L')')) {
                std::wstring n(tokens_[size].text);
                out_ += L"VARCHAR(" + n + L") COLLATE NOCASE CHECK (length(" + std::wstring(name) + L") <= " + n + L")";
                return close + 1;
            }
        }
        return i;
    }

    Tokens tokens_;
    std::wstring out_;
    int depth_ = 0;
    bool expectName_ = false;
    bool skipBlank_ = false;
};

}  // namespace

std::wstring TranslateJetSql(std::wstring_view sql) { return Translator(sql).Run(); }

}  // namespace vb
