#pragma once
#include <string>

// Storing and reading back `items` items of 4 KB through CDbConnection, the way the results
// store does it, beside raw SQLite statements doing the same writes and reads.
bool RunStoreBench(const std::wstring& folder, int items);
