#pragma once
// Just enough of the Windows headers for the program's pure readers to build natively on Linux,
// where clang's libFuzzer and sanitizers run. Code pages: UTF-8, and the ANSI page read as
// Latin-1; characters are 32-bit here, so UTF-16 surrogates never arise.
#include <cstddef>
#include <cstdint>
#include <cwctype>

using BYTE = uint8_t;
using WORD = uint16_t;
using SHORT = int16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using UINT = unsigned int;
using BOOL = int;
using ULONGLONG = uint64_t;
using LONGLONG = int64_t;
using LPCSTR = const char*;
using LPBOOL = BOOL*;

#define TRUE 1
#define FALSE 0
#define CP_ACP 0u
#define CP_UTF8 65001u
#define MB_ERR_INVALID_CHARS 0x08u
#define CSTR_EQUAL 2

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

inline int WideCharToMultiByte(UINT codePage, DWORD, const wchar_t* text, int length, char* out, int room, LPCSTR,
                               LPBOOL) {
    int used = 0;
    auto put = [&](unsigned value) {
        if (out && used < room) out[used] = static_cast<char>(value);
        ++used;
    };
    for (int i = 0; i < length; ++i) {
        auto c = static_cast<uint32_t>(text[i]);
        if (codePage != CP_UTF8) {
            put(c < 0x100 ? c : '?');
        } else if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | c >> 6), put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | c >> 12), put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | c >> 18), put(0x80 | (c >> 12 & 0x3F)), put(0x80 | (c >> 6 & 0x3F)), put(0x80 | (c & 0x3F));
        }
    }
    return used;
}

// As the system decodes UTF-8: overlong forms, surrogates and values past U+10FFFF are invalid.
// An invalid sequence becomes U+FFFD, or with MB_ERR_INVALID_CHARS fails the whole text.
inline int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, wchar_t* out, int room) {
    int used = 0;
    auto put = [&](uint32_t value) {
        if (out && used < room) out[used] = static_cast<wchar_t>(value);
        ++used;
    };
    static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    for (int i = 0; i < length;) {
        auto c = static_cast<uint8_t>(text[i]);
        int extra = codePage != CP_UTF8 || c < 0x80 ? 0
                    : c >= 0xF8                 ? -1
                    : c >= 0xF0                 ? 3
                    : c >= 0xE0                 ? 2
                    : c >= 0xC0                 ? 1
                                                : -1;
        bool valid = extra >= 0 && i + extra < length;
        uint32_t value = extra > 0 ? c & (0x3F >> extra) : c;
        for (int k = 1; valid && k <= extra; ++k) {
            auto next = static_cast<uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            value = value << 6 | (next & 0x3F);
        }
        if (valid && extra > 0) {
            valid = value >= kLeast[extra] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
        }
        if (!valid && (flags & MB_ERR_INVALID_CHARS)) return 0;
        put(valid ? value : 0xFFFD);
        i += valid ? extra + 1 : 1;
    }
    return used;
}

inline DWORD CharLowerBuffW(wchar_t* text, DWORD length) {
    for (DWORD i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(std::towlower(text[i]));
    return length;
}

inline int CompareStringOrdinal(const wchar_t* a, int aLength, const wchar_t* b, int bLength, BOOL ignoreCase) {
    if (aLength != bLength) return 1;
    for (int i = 0; i < aLength; ++i) {
        wchar_t x = ignoreCase ? static_cast<wchar_t>(std::towupper(a[i])) : a[i];
        wchar_t y = ignoreCase ? static_cast<wchar_t>(std::towupper(b[i])) : b[i];
        if (x != y) return 1;
    }
    return CSTR_EQUAL;
}
