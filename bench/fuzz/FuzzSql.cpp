// The SQL quoting pair and the translation of desktop-database SQL into SQLite's dialect.
//  - Quoting then unquoting gives the text back, for texts without the four characters \r\n
//    (the stored format keeps them ambiguous on purpose).
//  - A text quoted into one of the program's statement forms and translated stays one valid
//    statement (SQLite's prepare leaves no tail), and reads back as the text.
//  - Translating any text never makes a statement end that SQLite did not see in the original
//    (counted with SQLite's own sqlite3_complete), and the tokens cover the text exactly.
#include <windows.h>

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "Harness.h"
#include "JetSql.h"
#include "SqlQuoting.h"
#include "SqlTokenizer.h"
#include "SqliteHandles.h"
#include "Strings.h"

namespace vb::fuzz {

namespace {

// The program's forms of a statement around quoted values; each %s is one quoted text.
const wchar_t* const kStatements[] = {
    L"SELECT '%s', 'a' & '%s', '%s' + 'b'",
    L"INSERT INTO [T] ([A],[B]) VALUES ( '%s', '%s' )",
    L"UPDATE [T] SET [A] = '%s' WHERE [B] = '%s' & [A]",
    L"DELETE * FROM [T] WHERE [A] = '%s' AND [B] = '%s'",
};

// Where SQLite sees a statement end: each ';' whose text up to it SQLite calls complete.
size_t StatementEnds(const std::wstring& sql) {
    const std::string text = ToUtf8(sql);
    size_t ends = 0;
    for (size_t at = text.find(';'); at != std::string::npos; at = text.find(';', at + 1)) {
        if (sqlite3_complete(text.substr(0, at + 1).c_str())) ++ends;
    }
    return ends;
}

bool IsBlank(const wchar_t* text) {
    for (; *text; ++text) {
        if (!iswspace(*text)) return false;
    }
    return true;
}

class SqlHarness : public Harness {
public:
    void Setup() override {
        sqlite3* db = nullptr;
        sqlite3_open(":memory:", &db);
        db_.Reset(db);
        const std::wstring create = TranslateJetSql(L"CREATE TABLE [T] ([A] VARCHAR(255), [B] MEMO, [C] LONG)");
        sqlite3_exec(db_.Get(), ToUtf8(create).c_str(), nullptr, nullptr, nullptr);
    }

    std::vector<std::string> Dictionary() override {
        return {"'",  "''", "\"", "[", "]",       "`",       "--",     "/*",    "*/",     ";",     "\r\n", "\\r\\n",
                "&",  "+",  "*",  "(", ")",       ",",       "\n",     "DELETE", "FROM",  "CREATE", "TABLE",
                "VARCHAR(5)", "TEXT(3)", "MEMO", "LONG", "CONSTRAINT", "SELECT", "END", "TRIGGER", "BEGIN"};
    }

    size_t MaxSize() const override { return 2048; }

    void Run(std::string_view input) override {
        std::wstring text = WideFromFuzz(input);
        // SQLite reads a statement only up to a NUL, and reads the non-characters U+FFFE and
        // U+FFFF back as U+FFFD: neither is the program's to keep.
        for (auto& c : text) c = c == 0 ? L' ' : c >= 0xFFFE ? 0xFFFD : c;
        CheckQuoting(text);
        CheckQuotedStatements(text);
        CheckTranslation(text);
    }

private:
    static void CheckQuoting(const std::wstring& text) {
        if (text.find(L"\\r\\n") != std::wstring::npos) return;
        const std::wstring quoted = QuoteForSql(text);
        FUZZ_CHECK(UnquoteFromSql(quoted) == text, "quote then unquote changed the text");
        FUZZ_CHECK(TextFromDatabase(ReplaceAll(quoted, L"''", L"'")) == text, "the stored text reads back changed");
    }

    void CheckQuotedStatements(const std::wstring& text) {
        const std::wstring quoted = QuoteForSql(text);
        for (const wchar_t* form : kStatements) {
            const std::wstring sql = TranslateJetSql(FormatTemplate(form, {quoted, quoted, quoted}));
            sqlite3_stmt* prepared = nullptr;
            const void* tail = nullptr;
            const int rc = sqlite3_prepare16_v2(db_.Get(), sql.c_str(), static_cast<int>(sql.size() * sizeof(wchar_t)),
                                                &prepared, &tail);
            UniqueSqliteStatement statement(prepared);
            FUZZ_CHECK(rc == SQLITE_OK, ToUtf8(sql) + " -> " + sqlite3_errmsg(db_.Get()));
            FUZZ_CHECK(!tail || IsBlank(static_cast<const wchar_t*>(tail)), "a second statement: " + ToUtf8(sql));
            if (form != kStatements[0] || text.find(L"\\r\\n") != std::wstring::npos) continue;
            FUZZ_CHECK(sqlite3_step(statement.Get()) == SQLITE_ROW, ToUtf8(sql));
            auto column = [&](int i) {
                auto value = static_cast<const wchar_t*>(sqlite3_column_text16(statement.Get(), i));
                return TextFromDatabase(std::wstring(value, sqlite3_column_bytes16(statement.Get(), i) / 2));
            };
            FUZZ_CHECK(column(0) == text && column(1) == L"a" + text && column(2) == text + L"b",
                       "a quoted text read back changed");
        }
    }

    void CheckTranslation(const std::wstring& text) {
        std::wstring joined;
        for (const SqlToken& token : TokenizeSql(text)) joined += token.text;
        FUZZ_CHECK(joined == text, "the tokens do not cover the text");
        const std::wstring translated = TranslateJetSql(text);
        const size_t before = StatementEnds(text), after = StatementEnds(translated);
        withEnds_ += before > 0;
        changed_ += translated != text;
        FUZZ_CHECK(after <= before, std::to_string(after) + " statement ends instead of " + std::to_string(before) +
                                        ": " + ToUtf8(translated));
    }

    std::string Stats() const override {
        return std::to_string(changed_) + " texts translated, " + std::to_string(withEnds_) + " with statement ends";
    }

    UniqueSqliteDatabase db_;
    size_t changed_ = 0;
    size_t withEnds_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakeSqlHarness() { return std::make_unique<SqlHarness>(); }

}  // namespace vb::fuzz
