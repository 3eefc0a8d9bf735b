#pragma once
#include <sqlite3.h>

#include "UniqueHandle.h"

namespace vb {

// sqlite3_close_v2 defers the close until the last statement is finalised, so the order in
// which owners die never leaks the database.
struct SqliteDatabaseTraits {
    using Handle = sqlite3*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::sqlite3_close_v2(h); }
};

struct SqliteStatementTraits {
    using Handle = sqlite3_stmt*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::sqlite3_finalize(h); }
};

using UniqueSqliteDatabase = UniqueHandle<SqliteDatabaseTraits>;
using UniqueSqliteStatement = UniqueHandle<SqliteStatementTraits>;

}  // namespace vb
