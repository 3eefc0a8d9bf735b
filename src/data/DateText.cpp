#include "DateText.h"

#include <cstdio>
#include <cwchar>

namespace vb {

std::wstring FormatDateTime(const SYSTEMTIME& time) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%04d-%02d-%02d %02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

namespace {

// Reads exactly `digits` decimal digits at `pos`.
bool ReadNumber(std::wstring_view text, size_t& pos, size_t digits, WORD& out) {
    if (pos + digits > text.size()) return false;
    unsigned value = 0;
    for (size_t i = 0; i < digits; ++i) {
        wchar_t c = text[pos + i];
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    pos += digits;
    out = static_cast<WORD>(value);
    return true;
}

bool Expect(std::wstring_view text, size_t& pos, wchar_t c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

}  // namespace

std::optional<DATE> ParseDateTime(std::wstring_view text) {
    SYSTEMTIME time{};
    size_t pos = 0;
    if (!ReadNumber(text, pos, 4, time.wYear) || !Expect(text, pos, L'-') || !ReadNumber(text, pos, 2, time.wMonth) ||
        !Expect(text, pos, L'-') || !ReadNumber(text, pos, 2, time.wDay)) {
        return std::nullopt;
    }
    if (pos < text.size()) {
        if (!Expect(text, pos, L' ') || !ReadNumber(text, pos, 2, time.wHour) || !Expect(text, pos, L':') ||
            !ReadNumber(text, pos, 2, time.wMinute)) {
            return std::nullopt;
        }
        if (pos < text.size() && (!Expect(text, pos, L':') || !ReadNumber(text, pos, 2, time.wSecond))) {
            return std::nullopt;
        }
        if (pos != text.size()) return std::nullopt;
    }
    if (time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 || time.wDay > 31 || time.wHour > 23 ||
        time.wMinute > 59 || time.wSecond > 59) {
        return std::nullopt;
    }
    // SystemTimeToVariantTime quietly rolls 31 April over into May; a round trip catches that.
    DATE date = 0;
    if (!::SystemTimeToVariantTime(&time, &date)) return std::nullopt;
    SYSTEMTIME back{};
    if (!::VariantTimeToSystemTime(date, &back) || back.wDay != time.wDay || back.wMonth != time.wMonth) {
        return std::nullopt;
    }
    return date;
}

std::optional<std::wstring> FormatAutomationDate(DATE date) {
    SYSTEMTIME time{};
    if (!::VariantTimeToSystemTime(date, &time)) return std::nullopt;
    return FormatDateTime(time);
}

}  // namespace vb
