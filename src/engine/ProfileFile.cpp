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
