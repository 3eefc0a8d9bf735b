// Files the engine reads and the folders it makes.
#include <string_view>

#include "MessagePump.h"
#include "Resources.h"
#include "Strings.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

namespace {

constexpr size_t kLinePiece = 259;

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first prefix that can be a folder: past the drive, or past server and share.
size_t FirstFolderEnd(const std::wstring& path) {
    size_t leading = path.find_first_not_of(L'\\');
    if (leading == std::wstring::npos) return std::wstring::npos;
    size_t end = leading;
    for (size_t count = 0; count <= leading && end != std::wstring::npos; ++count) {
        end = path.find(L'\\', end + (count ? 1 : 0));
    }
    return end;
}

bool EndsWithNoCase(std::wstring_view text, std::wstring_view tail) {
    return text.size() >= tail.size() && vb::EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

std::wstring TrimRight(std::wstring text) {
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t' || text.back() == L'\r' ||
                             text.back() == L'\n' || text.back() == L'\v' || text.back() == L'\f')) {
        text.pop_back();
    }
    return text;
}

// Hands the print file's lines to `take` until it returns false, each cut into pieces of at most
// 259 characters as a fixed line buffer would read them. A driver writes its list in UTF-8 or in
// the system code page: a line is read as UTF-8 when it is valid UTF-8. Printer data end the list
// at their first line, so only that much of a large job is read.
template <class Take>
void ForEachLine(HANDLE file, Take take) {
    std::string pending;
    char chunk[4096];
    DWORD read = 0;
    bool atEnd = false;
    while (!atEnd) {
        atEnd = !::ReadFile(file, chunk, sizeof chunk, &read, nullptr) || read == 0;
        if (!atEnd) pending.append(chunk, read);
        size_t start = 0;
        for (size_t end; (end = pending.find('\n', start)) != std::string::npos || (atEnd && start < pending.size());) {
            size_t next = end == std::string::npos ? pending.size() : end + 1;
            std::wstring line = vb::FromUtf8OrAnsi(std::string_view(pending).substr(start, next - start));
            start = next;
            for (size_t piece = 0; piece < line.size(); piece += kLinePiece) {
                if (!take(line.substr(piece, kLinePiece))) return;
            }
        }
        pending.erase(0, start);
    }
}

}  // namespace

bool CWorkSpace::ContainsPath(const std::vector<std::wstring>& files, const std::wstring& path) {
    for (const std::wstring& listed : files) {
        if (vb::EqualsNoCase(listed, path)) return true;
    }
    return false;
}

BOOL CWorkSpace::EnsureFolderPath(const std::wstring& filePath) {
    if (filePath.empty()) return FALSE;
    bool lastExists = false;
    for (size_t end = FirstFolderEnd(filePath); end != std::wstring::npos; end = filePath.find(L'\\', end + 1)) {
        std::wstring prefix = filePath.substr(0, end);
        lastExists = IsFolder(prefix);
        if (lastExists) continue;
        // A file standing where a folder belongs may be the tester's own: it is kept, and the
        // path cannot be made.
        if (::GetFileAttributesW(prefix.c_str()) != INVALID_FILE_ATTRIBUTES) return FALSE;
        if (!::CreateDirectoryW(prefix.c_str(), nullptr) && !IsFolder(prefix)) return FALSE;
        lastExists = true;
    }
    return lastExists ? TRUE : FALSE;
}

BOOL CWorkSpace::FileExists(const std::wstring& path) {
    // The system reads a path only up to a NUL: the text behind one must not pass for its name.
    if (path.empty() || path.find(L'\\') == std::wstring::npos || path.find(L'\0') != std::wstring::npos) {
        return FALSE;
    }
    // A wildcard names no one file, even where what it finds ends like the path ("*page.prn"
    // finds page.prn, "*." the entry ".").
    const std::wstring_view name = std::wstring_view(path).substr(path.find_last_of(L"\\/") + 1);
    if (name.find_first_of(L"*?<>\"") != std::wstring_view::npos) return FALSE;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        ::FindClose(search);
        // A short name finds a file of another name: that is not this file.
        return EndsWithNoCase(path, found.cFileName) ? TRUE : FALSE;
    }
    DWORD error = ::GetLastError();
    // A binary line of a print file is no name at all: not found, as a missing file is.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME) {
        LogError(vb::FormatWin32Error(error));
    }
    return FALSE;
}

BOOL CWorkSpace::ReadPrnSubFiles(const std::wstring& printFile, std::vector<std::wstring>& files) {
    BOOL result = FALSE;
    vb::UniqueFile file;
    if (!printFile.empty()) {
        file.Reset(::CreateFileW(printFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (file) {
        ForEachLine(file.Get(), [&](const std::wstring& raw) {
            std::wstring line = TrimRight(raw);
            if (FileExists(line)) {
                if (!EndsWithNoCase(line, L".TTF") && !ContainsPath(files, line)) files.push_back(line);
            } else if (files.empty()) {
                return false;  // the print file is printer data, not a list of files
            } else {
                Log(vb::FormatTemplate(L"\x25B2 Invalid PRN sub file [%s].", {line}));
            }
            return true;
        });
        result = TRUE;
    }
    if (!hookedFiles_.empty()) {
        // A file the print file lists may have been reported by the hook library too; stored
        // twice, its second attempt would find it already deleted.
        for (const std::wstring& hooked : hookedFiles_) {
            if (!ContainsPath(files, hooked)) files.push_back(hooked);
        }
        hookedFiles_.clear();
        result = TRUE;
    }
    return result;
}

void CWorkSpace::PumpMessages() {
    vb::DispatchPendingMessages();
    ::Sleep(1);
}
