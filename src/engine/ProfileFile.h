#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One Windows INI file, read and written key by key. Reads never fail: a missing file, section
// or key gives the default.
class ProfileFile {
public:
    explicit ProfileFile(std::wstring path) : path_(std::move(path)) {}

    const std::wstring& Path() const noexcept { return path_; }

    // The whole value, however long: the buffer grows until the value fits.
    std::wstring ReadString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue = L"") const;
    int ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    BOOL WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
    std::vector<std::wstring> SectionNames() const;
    BOOL DeleteSection(const wchar_t* section) const;

private:
    std::wstring path_;
};
