#pragma once
#include <windows.h>

#include <string>

// The key of one stored output item. Its two texts are kept already quoted for SQL because
// every statement that uses them puts them between single quotes.
class COutputKey {
public:
    COutputKey() = default;

    // Trimmed, upper-cased and quoted; "NOP" for a job without a sub-item name.
    void SetSubItem(LPCWSTR text);
    // Trimmed, upper-cased and quoted; empty for no model.
    void SetModel(LPCWSTR model);
    // The sub id, then "::" and the file's name when a path is given.
    void SetSubItemFromFile(LPCWSTR subId, LPCWSTR path);

    BOOL reference = FALSE;  // TRUE: REF_ columns; FALSE: CMP_ columns
    int KEY = -1;            // script key; -1 in a Test run
    std::wstring KEY_SUB;    // quoted for SQL
    std::wstring NAME;       // quoted for SQL
};
