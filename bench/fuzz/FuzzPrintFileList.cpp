// The print file's list of sub-files, read by CWorkSpace::ReadPrnSubFiles. Reading only: the
// store that deletes the listed files is never run.
//
// The reader asks the file system about every line, so each line is vetted first, piece by
// piece exactly as the reader cuts it: a piece holding a path separator must name a place inside
// this harness's own folder and never climb out of it, and no piece may hold a name that the
// system could take for a device (anything starting COM, LPT, CON, AUX, PRN or NUL). A line
// that fails has its separators made underscores, and if it still fails, all of it.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Strings.h"
#include "WorkspaceHarness.h"

namespace vb::fuzz {

namespace {

constexpr size_t kLinePiece = 259;
const wchar_t* const kFiles[] = {L"page1.prn", L"page2.bin", L"font.ttf", L"Sp ace.txt", L"\u00fcml\u00e4ut.dat",
                                 L"sub\\inner.txt"};

// Anything the system could take for a device name (COM1-9, LPT1-9, CON, AUX, PRN, NUL, with
// any ending); a few real names are given up with them.
bool IsDeviceLike(std::wstring_view component) {
    while (!component.empty() && component.front() == L' ') component.remove_prefix(1);
    std::wstring head(component.substr(0, 3));
    for (auto& c : head) c = static_cast<wchar_t>(::towupper(c));
    for (const wchar_t* device : {L"COM", L"LPT", L"CON", L"AUX", L"PRN", L"NUL"}) {
        if (head == device) return true;
    }
    return false;
}

std::wstring TrimRight(std::wstring text) {
    while (!text.empty() && std::wstring_view(L" \t\r\n\v\f").find(text.back()) != std::wstring_view::npos) {
        text.pop_back();
    }
    return text;
}

class PrintFileListHarness : public WorkspaceHarness {
public:
    void Setup() override {
        WorkspaceHarness::Setup();
        ::CreateDirectoryW((files_ / L"sub").c_str(), nullptr);
        for (const wchar_t* name : kFiles) test::WriteFileBytes(files_ / name, "listed");
        printFile_ = program_ / L"print.txt";
    }

    // Corpus files name the harness's folder as %TMP%\ (with its backslash).
    std::string FromCorpusFile(std::string bytes) override {
        const std::string folder = ToUtf8(files_.Path());
        for (size_t at; (at = bytes.find("%TMP%\\")) != std::string::npos;) bytes.replace(at, 6, folder);
        return bytes;
    }

    std::vector<std::string> Dictionary() override {
        std::vector<std::string> words = {"\r\n", "\n", "\\", "/", ".TTF", "*", "?", " ", "\t", std::string(1, '\0'),
                                          "\xC3", "\xE2\x96\xB2", ToUtf8(files_.Path())};
        for (const wchar_t* name : kFiles) words.push_back(ToUtf8(name));
        return words;
    }

    size_t MaxSize() const override { return 8192; }

    void Run(std::string_view input) override {
        std::string bytes(input);
        MakeSafe(bytes);
        test::WriteFileBytes(printFile_, bytes);
        std::vector<std::wstring> listed;
        FUZZ_CHECK(workspace_->ReadPrnSubFiles(printFile_, listed), "an existing print file was not read");
        withFiles_ += !listed.empty();
        for (size_t i = 0; i < listed.size(); ++i) {
            const std::wstring& path = listed[i];
            FUZZ_CHECK(path.compare(0, files_.Path().size(), files_.Path()) == 0, "listed outside the folder");
            // The reader's file test accepts a folder too; storing one then fails without harm.
            FUZZ_CHECK(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, "a listed path does not exist");
            FUZZ_CHECK(path.size() < 4 || !EqualsNoCase(path.substr(path.size() - 4), L".TTF"), "a font was listed");
            for (size_t k = 0; k < i; ++k) FUZZ_CHECK(!EqualsNoCase(listed[k], path), "listed twice");
        }
        for (const wchar_t* name : kFiles) FUZZ_CHECK(test::FileExists(files_ / name), "a file went missing");
    }

    std::string Stats() const override { return std::to_string(withFiles_) + " inputs listed files"; }

private:
    // A piece as the reader hands it to the file system (it stops at a NUL).
    bool IsSafePiece(std::wstring piece) const {
        piece = TrimRight(piece.substr(0, piece.find(L'\0')));
        std::wstring_view rest = piece;
        if (piece.find_first_of(L"\\/") != std::wstring::npos) {
            const std::wstring& folder = files_.Path();
            if (piece.compare(0, folder.size(), folder) != 0) return false;
            rest.remove_prefix(folder.size());
            if (rest.find(L"..") != std::wstring::npos || rest.find(L':') != std::wstring::npos) return false;
        }
        for (size_t start = 0, end; start <= rest.size(); start = end + 1) {
            end = std::min(rest.find(L'\\', start), rest.find(L'/', start));
            if (end == std::wstring::npos) end = rest.size();
            if (IsDeviceLike(rest.substr(start, end - start))) return false;
        }
        return true;
    }

    // The line as the reader sees it: decoded as UTF-8, in pieces of 259 characters.
    bool LineIsSafe(std::string_view line) const {
        const std::wstring text = FromUtf8(line);
        for (size_t piece = 0; piece < text.size(); piece += kLinePiece) {
            if (!IsSafePiece(text.substr(piece, kLinePiece))) return false;
        }
        return true;
    }

    // Lines end at LF, as the reader cuts them.
    void MakeSafe(std::string& bytes) const {
        for (size_t start = 0; start < bytes.size();) {
            size_t end = bytes.find('\n', start);
            end = end == std::string::npos ? bytes.size() : end + 1;
            auto first = bytes.begin() + static_cast<std::ptrdiff_t>(start);
            auto last = bytes.begin() + static_cast<std::ptrdiff_t>(end);
            if (!LineIsSafe(std::string_view(bytes).substr(start, end - start))) {
                std::replace_if(first, last, [](char c) { return c == '\\' || c == '/'; }, '_');
                if (!LineIsSafe(std::string_view(bytes).substr(start, end - start))) {
                    std::replace_if(first, last, [](char c) { return c != '\n'; }, '_');
                }
            }
            start = end;
        }
    }

    std::wstring printFile_;
    size_t withFiles_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakePrintFileListHarness() { return std::make_unique<PrintFileListHarness>(); }

}  // namespace vb::fuzz
