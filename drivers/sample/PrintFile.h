#pragma once
// The print file of one document: the printer commands the driver makes of the bench's calls,
// one command a line, so tests can compare whole files.
//
// UTF-8 without a byte order mark, every line ending in "\r\n". Nothing in a line may depend on
// the run (time, addresses, handles): the same calls must give the same bytes.
#include "UniqueHandle.h"

#include <string>
#include <string_view>

namespace vb::sample {

class PrintFile {
public:
    PrintFile() = default;
    PrintFile(const PrintFile&) = delete;
    PrintFile& operator=(const PrintFile&) = delete;

    // Creates the file, or empties one that exists; false when it cannot be created.
    bool Create(const std::wstring& path);
    void Close() noexcept;
    bool IsOpen() const noexcept { return static_cast<bool>(file_); }

    // Formats one command and writes it with its line end. Without an open file there is nothing
    // to write and the answer is true; false only when the write failed.
    bool Command(const wchar_t* format, ...);

    // The one formatting helper of the commands: swprintf conversions (%ls for texts, %ld/%lu/
    // %lX for LONG, DWORD and COLORREF), any length.
    static std::wstring Format(const wchar_t* format, ...);

    // A text as a command carries it. A line break inside it would end the command early and
    // start one of the text's making, so control characters are written in caret notation
    // (CR as ^M, LF as ^J, NUL as ^@, DEL as ^?); '^' and '"' are doubled so that every text reads
    // back unambiguously, whether it stands between quotes or not.
    static std::wstring Text(std::wstring_view text);

private:
    bool WriteLine(const std::wstring& line);

    UniqueFile file_;
};

}  // namespace vb::sample
