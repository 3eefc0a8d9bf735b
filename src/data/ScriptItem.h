#pragma once
#include <string>

// One test script as the dialog and the batch pass it around. The texts are plain in memory;
// they are quoted only in the statement that writes them.
class CScriptItem {
public:
    explicit CScriptItem(int key = -1) : KEY(key) {}

    // No script: key -1, both texts empty.
    void Empty();
    // Quotes NAME and DATA in place, as they go between single quotes in a statement.
    void EscapeForSql();
    // The exact reverse of EscapeForSql, for a record quoted in memory. Texts read from the
    // database come back through vb::TextFromDatabase instead: the database has already
    // collapsed the doubled apostrophes.
    void UnescapeFromSql();

    // Case-sensitive, on every field.
    bool operator!=(const CScriptItem& other) const;
    bool operator==(const CScriptItem& other) const { return !(*this != other); }

    int KEY;           // script key; 0 is the global script, -1 no script yet
    std::wstring NAME;
    std::wstring DATA;
};
