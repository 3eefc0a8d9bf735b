#include "TextCodec.h"

#include "Strings.h"

#include <cstring>

namespace vb::sample {

std::string ToAnsiCut(std::wstring_view text, size_t maxBytes) {
    std::string ansi = vb::ToAnsi(text);
    if (ansi.size() <= maxBytes) return ansi;
    size_t end = 0;
    while (end < maxBytes) {
        size_t width = ::IsDBCSLeadByte(static_cast<BYTE>(ansi[end])) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    ansi.resize(end);
    return ansi;
}

std::wstring ReadByteTextField(const BYTE* record, size_t offset, size_t byteCount) {
    const char* bytes = reinterpret_cast<const char*>(record + offset);
    const void* terminator = std::memchr(bytes, '\0', byteCount);
    size_t length = terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - bytes) : byteCount;
    if (length == 0) return {};

    int wideLength = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), nullptr, 0);
    if (wideLength == 0) return vb::FromAnsi(std::string_view(bytes, length));
    std::wstring text(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), text.data(), wideLength);
    return text;
}

}  // namespace vb::sample
