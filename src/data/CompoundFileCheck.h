#pragma once
#include <string>

// True when the file at `path` could be read and is not a whole compound file: its header is
// not one the storage understands, its size leaves out sectors that the header, the
// allocation table or the directory chain count on, its directory entries do not form a tree
// (a link of any entry, a stream's child included, leaves the directory or leads back to an
// entry), or a stream declares more bytes than the file holds. The platform's structured
// storage can loop for ever inside such a file, or grow a copy of it without end, so it is
// refused before the storage sees it. A file that cannot be opened or read gives false: the
// storage reports that itself.
bool IsBrokenCompoundFile(const std::wstring& path);
