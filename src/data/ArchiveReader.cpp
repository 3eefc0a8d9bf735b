#include "ArchiveReader.h"

#include <cstring>

#include "Strings.h"

namespace {

constexpr unsigned long long kLargestLength = 0x7FFFFFFF;

}  // namespace

bool CArchiveReader::ReadBytes(void* out, size_t size) noexcept {
    if (size > data_.size() - position_) return false;
    std::memcpy(out, data_.data() + position_, size);
    position_ += size;
    return true;
}

bool CArchiveReader::ReadInt32(LONG& value) noexcept {
    BYTE bytes[4];
    if (!ReadBytes(bytes, sizeof(bytes))) return false;
    value = static_cast<LONG>(DWORD{bytes[0]} | (DWORD{bytes[1]} << 8) | (DWORD{bytes[2]} << 16) |
                              (DWORD{bytes[3]} << 24));
    return true;
}

// Lengths grow by escape values: a byte below 0xFF, else a 16-bit word (0xFFFE announcing
// UTF-16 and a fresh byte), else 32 bits, else 64 bits.
bool CArchiveReader::ReadLength(unsigned long long& length, bool& wide) noexcept {
    wide = false;
    BYTE shortLength = 0;
    if (!ReadBytes(&shortLength, 1)) return false;
    if (shortLength < 0xFF) {
        length = shortLength;
        return true;
    }
    BYTE word[2];
    if (!ReadBytes(word, 2)) return false;
    unsigned wordLength = word[0] | (unsigned{word[1]} << 8);
    if (wordLength == 0xFFFE) {
        wide = true;
        if (!ReadBytes(&shortLength, 1)) return false;
        if (shortLength < 0xFF) {
            length = shortLength;
            return true;
        }
        if (!ReadBytes(word, 2)) return false;
        wordLength = word[0] | (unsigned{word[1]} << 8);
    }
    if (wordLength < 0xFFFF) {
        length = wordLength;
        return true;
    }
    BYTE dword[4];
    if (!ReadBytes(dword, 4)) return false;
    unsigned long long dwordLength = 0;
    for (int i = 3; i >= 0; --i) dwordLength = (dwordLength << 8) | dword[i];
    if (dwordLength < 0xFFFFFFFFull) {
        length = dwordLength;
        return true;
    }
    BYTE qword[8];
    if (!ReadBytes(qword, 8)) return false;
    length = 0;
    for (int i = 7; i >= 0; --i) length = (length << 8) | qword[i];
    return length <= kLargestLength;
}

bool CArchiveReader::ReadString(std::wstring& text) {
    unsigned long long length = 0;
    bool wide = false;
    if (!ReadLength(length, wide)) return false;
    unsigned long long size = length * (wide ? 2 : 1);
    if (size > data_.size() - position_) return false;
    std::string_view characters = data_.substr(position_, static_cast<size_t>(size));
    position_ += static_cast<size_t>(size);
    if (wide) {
        text.resize(static_cast<size_t>(length));
        std::memcpy(text.data(), characters.data(), characters.size());
    } else {
        text = vb::FromAnsi(characters);
    }
    return true;
}

std::optional<std::vector<std::wstring>> CArchiveReader::ReadStringLists(std::string_view payload) {
    CArchiveReader archive(payload);
    std::vector<std::wstring> strings;
    LONG first = 0;
    if (!archive.ReadInt32(first)) return std::nullopt;
    for (LONG i = 0; i < first; ++i) {
        std::wstring text;
        if (!archive.ReadString(text)) return std::nullopt;
        strings.push_back(std::move(text));
    }
    LONG second = 0;
    if (!archive.ReadInt32(second)) return strings;
    // One more than the count: the files were written that way.
    for (long long i = 0; i <= second && !archive.AtEnd(); ++i) {
        std::wstring text;
        if (!archive.ReadString(text)) break;
        strings.push_back(std::move(text));
    }
    return strings;
}
