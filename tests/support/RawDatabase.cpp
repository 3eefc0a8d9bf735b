#include "RawDatabase.h"

#include "Base64.h"
#include "DbConnection.h"
#include "Strings.h"

namespace vb::test {

std::string ExecRaw(const std::wstring& path, const std::string& sql) {
    std::wstring error;
    vb::UniqueSqliteDatabase db = CDbConnection::OpenDatabase(path, error);
    if (!db) return "cannot open the database";
    if (::sqlite3_exec(db.Get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return {};
    return ::sqlite3_errmsg(db.Get());
}

Rows QueryRaw(const std::wstring& path, const std::wstring& sql) {
    std::wstring error;
    vb::UniqueSqliteDatabase db = CDbConnection::OpenDatabase(path, error);
    sqlite3_stmt* statement = nullptr;
    if (db) ::sqlite3_prepare16_v2(db.Get(), sql.c_str(), -1, &statement, nullptr);
    vb::UniqueSqliteStatement owner(statement);
    Rows rows;
    while (statement && ::sqlite3_step(statement) == SQLITE_ROW) {
        rows.emplace_back();
        for (int i = 0; i < ::sqlite3_column_count(statement); ++i) {
            auto text = static_cast<const wchar_t*>(::sqlite3_column_text16(statement, i));
            rows.back().emplace_back(text ? text : L"<null>");
        }
    }
    return rows;
}

std::string DecodedColumn(const std::wstring& base64) {
    if (base64 == L"<null>") return "<null>";
    const std::string text = vb::ToUtf8(base64);
    std::string bytes;
    CBase64::DecodeText(text.data(), text.size(), bytes);
    return bytes;
}

}  // namespace vb::test
