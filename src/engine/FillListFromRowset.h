#pragma once
#include <windows.h>

class CDbConnection;

// Runs `sql` on `connection` and shows its whole result in the report list view `list`: one
// column per result column (text columns left-aligned, all others right-aligned, which is how
// the list sorts them), one row per result row. The rowset is closed afterwards.
void FillListFromRowset(CDbConnection& connection, HWND list, LPCWSTR sql);
