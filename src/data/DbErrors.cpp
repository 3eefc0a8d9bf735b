#include "DbErrors.h"

#include <sqlite3.h>

#include <cwchar>

#include "Resources.h"
#include "Strings.h"

namespace vb {

HRESULT HResultFromSqlite(int code) noexcept {
    switch (code & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return S_OK;
        case SQLITE_ERROR:
            return DB_E_ERRORSINCOMMAND;
        case SQLITE_CONSTRAINT:
        case SQLITE_MISMATCH:
            return DB_E_INTEGRITYVIOLATION;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return DB_SEC_E_PERMISSIONDENIED;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DB_E_TABLEINUSE;
        case SQLITE_TOOBIG:
            return DB_E_DATAOVERFLOW;
        case SQLITE_NOMEM:
            return E_OUTOFMEMORY;
        case SQLITE_RANGE:
            return DB_E_PARAMNOTOPTIONAL;
        default:
            return E_FAIL;
    }
}

std::wstring SqlFailureText(HRESULT result, const std::wstring& sql) {
    constexpr std::wstring_view kIncorrectSqlQuery = L"Incorrect SQL query (0x%X):\r\n'%s'";
    wchar_t code[16];
    std::swprintf(code, 16, L"%X", static_cast<unsigned>(result));
    return FormatTemplate(ReplaceAll(kIncorrectSqlQuery, L"%X", code), {sql});
}

void ShowSqlFailure(HRESULT result, const std::wstring& sql) {
    ShowMessageBox(SqlFailureText(result, sql), MB_OK | MB_ICONERROR);
}

}  // namespace vb
