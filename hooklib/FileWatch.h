#pragma once
// What the watched module's CreateFileW and CreateFileA imports are pointed to: the real call,
// then a report of the file when the call created one.
#include "ImportTable.h"

#include <string>
#include <vector>

namespace latchwire {

// The replacements to patch into the watched module.
std::vector<ImportReplacement> FileWatchReplacements();

// Lets the replacements call what the module's entries held before (the real functions until
// a module is patched).
void KeepOriginals(const std::vector<PatchedImport>& patched);

// Whether a CreateFile call created a file: it succeeded on a disk file opened for writing with
// a disposition that gives the file new content. OPEN_ALWAYS counts only when the file did not
// exist (`error` is the call's last error), since an existing file that a driver appends to was
// not made by the job, and a file reported as created is deleted once the job is stored.
bool CreatesFile(HANDLE result, DWORD access, DWORD disposition, DWORD error);

// The full path of an open file without the "\\?\" prefix, or of `requested` when the system
// cannot name the open file.
std::wstring FullPath(HANDLE file, const std::wstring& requested);

}  // namespace latchwire
