#include "PrintFile.h"

#include "Strings.h"

#include <cstdarg>
#include <cwchar>

namespace vb::sample {

namespace {

// vswprintf only says that a buffer was too small, not how large it must be, so the buffer grows
// until the line fits. A format that cannot be formatted at all gives an empty text.
std::wstring FormatList(const wchar_t* format, va_list arguments) {
    constexpr size_t kLargest = size_t{1} << 26;
    for (size_t size = 256; size <= kLargest; size *= 2) {
        std::wstring buffer(size, L'\0');
        va_list attempt;
        va_copy(attempt, arguments);
        int length = std::vswprintf(buffer.data(), buffer.size(), format, attempt);
        va_end(attempt);
        if (length >= 0 && static_cast<size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<size_t>(length));
            return buffer;
        }
    }
    return {};
}

}  // namespace

bool PrintFile::Create(const std::wstring& path) {
    Close();
    // Readers may look at the file while the document is still open.
    file_.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return IsOpen();
}

bool PrintFile::Open(const std::wstring& path) {
    if (PrintsToPipe()) return pipe_.Restart();
    Close();
    return path.empty() || Create(path);
}

bool PrintFile::Close() noexcept {
    file_.Reset();
    return !pipe_.IsOpen() || pipe_.Send();
}

bool PrintFile::Command(const wchar_t* format, ...) {
    if (!IsOpen()) return true;
    va_list arguments;
    va_start(arguments, format);
    std::wstring line = FormatList(format, arguments);
    va_end(arguments);
    return (!copy_ || copy_->WriteLine(line)) && (!takesCommands_ || WriteLine(line));
}

std::wstring PrintFile::Format(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::wstring text = FormatList(format, arguments);
    va_end(arguments);
    return text;
}

std::wstring PrintFile::Text(std::wstring_view text) {
    std::wstring written;
    written.reserve(text.size());
    for (wchar_t letter : text) {
        if (letter == L'"' || letter == L'^') {
            written += letter;
            written += letter;
        } else if (letter < L' ') {
            written += L'^';
            written += static_cast<wchar_t>(letter + L'@');
        } else if (letter == 0x7F) {
            written += L"^?";
        } else {
            written += letter;
        }
    }
    return written;
}

bool PrintFile::WriteLine(const std::wstring& line) {
    std::string bytes = vb::ToUtf8(line);
    bytes += "\r\n";
    if (pipe_.IsOpen()) {
        pipe_.Append(bytes);
        return true;
    }
    // WriteFile may write less than asked; what is left goes in further calls.
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(file_.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace vb::sample
