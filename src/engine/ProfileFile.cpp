#include "ProfileFile.h"

namespace {

constexpr DWORD kFirstBufferSize = 4096;
constexpr DWORD kLargestBufferSize = 16 * 1024 * 1024;

}  // namespace

std::wstring ProfileFile::ReadString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) const {
    std::wstring value(kFirstBufferSize, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(value.size());
        DWORD read = ::GetPrivateProfileStringW(section, key, defaultValue, value.data(), size, path_.c_str());
        // A value that filled the buffer may have been cut: read it again into a larger one.
        if (read + 1 < size || size >= kLargestBufferSize) {
            value.resize(read);
            return value;
        }
        value.assign(static_cast<size_t>(size) * 2, L'\0');
    }
}

int ProfileFile::ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) const {
    return static_cast<int>(::GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

BOOL ProfileFile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
    return ::WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str());
}

std::vector<std::wstring> ProfileFile::SectionNames() const {
    std::wstring names(kFirstBufferSize, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(names.size());
        DWORD read = ::GetPrivateProfileSectionNamesW(names.data(), size, path_.c_str());
        // A full buffer answers size - 2 and may have cut the list.
        if (read + 2 < size || size >= kLargestBufferSize) {
            names.resize(read);
            break;
        }
        names.assign(static_cast<size_t>(size) * 2, L'\0');
    }
    std::vector<std::wstring> sections;
    for (size_t start = 0; start < names.size();) {
        size_t end = names.find(L'\0', start);
        if (end == std::wstring::npos) end = names.size();
        if (end > start) sections.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return sections;
}

BOOL ProfileFile::DeleteSection(const wchar_t* section) const {
    return ::WritePrivateProfileStringW(section, nullptr, nullptr, path_.c_str());
}
