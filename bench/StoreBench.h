#pragma once
#include <string>

// Storing and reading back 10,000 items of 4 KB through CDbConnection, the way the results store
// does it, beside raw SQLite statements writing and reading the same bytes.
bool RunStoreBench(const std::wstring& folder);
