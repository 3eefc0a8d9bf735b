#pragma once
// Redirects one module's calls to functions it imports from other libraries by rewriting the
// entries of its import address table: only that module's calls are affected, every other
// caller in the process still reaches the real function.
#include <windows.h>

#include <string_view>
#include <vector>

namespace latchwire {

struct ImportReplacement {
    std::string_view function;  // the imported name, e.g. "CreateFileW"
    void* replacement;
};

// An entry rewritten by PatchImports, with the address it held before.
struct PatchedImport {
    std::string_view function;
    void** entry;
    void* original;
    void* replacement;
};

// The first import table entry of `module` for `function`, from whichever library; null when
// the module does not import it by name.
void** FindImport(HMODULE module, std::string_view function);

// Points every import of `module` named in `replacements` to its replacement. Entries that
// cannot be made writable are left as they are.
std::vector<PatchedImport> PatchImports(HMODULE module, const std::vector<ImportReplacement>& replacements);

// Puts the original addresses back where an entry still holds its replacement. The caller
// makes sure that the module is still loaded.
void RestoreImports(const std::vector<PatchedImport>& patched);

}  // namespace latchwire
