#pragma once
#include <string>

// Folders of the measurement programs: the program's own, and a scratch folder per run; and
// reading a file whole.
namespace bench {

// The folder of the running program, with a trailing backslash.
std::wstring ProgramFolder();
// A new folder under the temporary folder named `prefix` and the process id, with a trailing
// backslash.
std::wstring MakeFolder(const wchar_t* prefix);
// Deletes the folder and everything in it.
void RemoveTree(const std::wstring& folder);
// The file's bytes; as many as could be read, none when it cannot be opened.
std::string ReadWholeFile(const std::wstring& path);

}  // namespace bench
