#pragma once
#include <windows.h>
#include <oledberr.h>

#include <string>

namespace vb {

// The result codes the database callers test, as the desktop provider reported them.
constexpr HRESULT kDbEndOfRowset = DB_S_ENDOFROWSET;          // 0x00040EC6: no (more) rows
constexpr HRESULT kDbReadStopped = DB_E_CANTSCROLLBACKWARDS;  // 0x80040E29: a read loop must stop

// An SQLite result code as the HRESULT a caller of the connection sees: the provider's codes
// where one fits (syntax, constraint, permission, lock), E_FAIL otherwise.
HRESULT HResultFromSqlite(int code) noexcept;

// The box every failing statement shows: "Incorrect SQL query (0x%X):\r\n'%s'", error icon.
void ShowSqlFailure(HRESULT result, const std::wstring& sql);
// The text of that box, for a box that reports more than one statement.
std::wstring SqlFailureText(HRESULT result, const std::wstring& sql);

}  // namespace vb
