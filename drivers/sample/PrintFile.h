#pragma once
// The print file of one document: the printer commands the driver makes of the bench's calls,
// one command a line, so tests can compare whole files.
//
// UTF-8 without a byte order mark, every line ending in "\r\n". Nothing in a line may depend on
// the run (time, addresses, handles): the same calls must give the same bytes.
#include "PipeOutput.h"
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
    // Ends a document still open (a file as it is, a pipe job unsent) and sets where the next
    // one's commands go: the bench's pipe for the family that prints into it, else the file
    // `path` (created or emptied), or nowhere when `path` is empty. False when the pipe or the
    // file cannot be opened.
    bool Open(const std::wstring& path);
    // A document on the pipe goes to the bench now, as far as it got; false when it could not.
    bool Close() noexcept;
    bool IsOpen() const noexcept { return file_ || pipe_.IsOpen(); }

    // Formats one command and writes it with its line end. Without an open file there is nothing
    // to write and the answer is true; false only when the write failed.
    bool Command(const wchar_t* format, ...);

    // While a page is filed on its own (PageFiles.h), every command goes into the page's file
    // too; null ends the copying. A print file that lists the page files takes no command.
    void CopyCommandsTo(PrintFile* page) noexcept { copy_ = page; }
    void TakeCommands(bool take) noexcept { takesCommands_ = take; }
    // Writes one line as it stands, whether the file takes commands or not.
    bool Line(const std::wstring& text) { return !IsOpen() || WriteLine(text); }

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
    PipeOutput pipe_;
    PrintFile* copy_ = nullptr;
    bool takesCommands_ = true;
};

}  // namespace vb::sample
