#include "VarInfo.h"

#include <cstring>

namespace varinfo {

void StoreText(char* field, size_t size, std::string_view text) {
    std::memset(field, 0, size);
    size_t length = std::min(text.size(), size - 1);
    // Step back over UTF-8 continuation bytes so that a cut never splits a character.
    if (length < text.size()) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(field, text.data(), length);
}

std::wstring KeyOf(const std::wstring& name) { return vb::ToLower(vb::Trim(name)); }

std::wstring KeyOfRecord(const _tagvarinfo& record) { return KeyOf(ReadUtf8(record.Name)); }

}  // namespace varinfo
