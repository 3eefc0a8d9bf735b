#include "Strings.h"

#include <windows.h>

#include <cwctype>

namespace vb {

namespace {

std::string Narrow(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int length = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                          nullptr, nullptr);
    return result;
}

std::wstring Widen(UINT codePage, std::string_view text, DWORD flags = 0) {
    if (text.empty()) return {};
    int length = ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) { return Narrow(CP_UTF8, text); }
std::wstring FromUtf8(std::string_view text) { return Widen(CP_UTF8, text); }
std::string ToAnsi(std::wstring_view text) { return Narrow(CP_ACP, text); }
std::wstring FromAnsi(std::string_view text) { return Widen(CP_ACP, text); }

std::wstring FromUtf8OrAnsi(std::string_view text) {
    std::wstring utf8 = Widen(CP_UTF8, text, MB_ERR_INVALID_CHARS);
    return utf8.empty() ? FromAnsi(text) : utf8;
}

std::wstring Trim(std::wstring_view text) {
    size_t first = 0;
    while (first < text.size() && std::iswspace(text[first])) ++first;
    size_t last = text.size();
    while (last > first && std::iswspace(text[last - 1])) --last;
    return std::wstring(text.substr(first, last - first));
}

std::wstring ToLower(std::wstring_view text) {
    std::wstring result(text);
    if (!result.empty()) ::CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
    if (from.empty()) return std::wstring(text);
    std::wstring result;
    size_t start = 0;
    for (size_t found; (found = text.find(from, start)) != std::wstring_view::npos; start = found + from.size()) {
        result.append(text.substr(start, found - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::wstring FormatTemplate(std::wstring_view pattern, std::initializer_list<std::wstring_view> args) {
    std::wstring result;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == L's') {
                if (next != args.end()) result.append(*next++);
                ++i;
                continue;
            }
            if (pattern[i + 1] == L'%') {
                result.push_back(L'%');
                ++i;
                continue;
            }
        }
        result.push_back(pattern[i]);
    }
    return result;
}

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace vb
