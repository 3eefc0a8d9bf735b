#include "DateTimeFormats.h"

#include <cstdio>
#include <ctime>

namespace {

// For a letter, the capability bit that allows a run of 1, 2, 3, ... of it; 0 never allows.
struct RunBits {
    wchar_t letter;
    std::vector<DWORD> bits;
};

std::vector<std::wstring> AllowedRuns(const RunBits& runs, DWORD word) {
    std::vector<std::wstring> allowed;
    for (size_t i = 0; i < runs.bits.size(); ++i) {
        if (runs.bits[i] & word) allowed.emplace_back(i + 1, runs.letter);
    }
    return allowed;
}

// Every combination of the three run lists, the last one innermost.
std::vector<std::wstring> Combine(const std::vector<std::wstring>& outer, const std::vector<std::wstring>& middle,
                                  const std::vector<std::wstring>& inner, const wchar_t* firstSeparator,
                                  const wchar_t* secondSeparator) {
    std::vector<std::wstring> texts;
    for (const auto& a : outer)
        for (const auto& b : middle)
            for (const auto& c : inner) texts.push_back(a + firstSeparator + b + secondSeparator + c);
    return texts;
}

std::string Number(const char* format, int value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Weekday and month names as the C runtime's time formatting gives them.
std::string TimeName(const char* directive, const SYSTEMTIME& moment) {
    std::tm parts{};
    parts.tm_wday = moment.wDayOfWeek;
    parts.tm_mon = moment.wMonth - 1;
    parts.tm_mday = moment.wDay;
    parts.tm_year = moment.wYear - 1900;
    char text[64] = {};
    std::strftime(text, sizeof text, directive, &parts);
    return text;
}

std::string RenderRun(char letter, size_t run, const SYSTEMTIME& moment) {
    switch (letter) {
    case 'd':
        if (run == 1) return Number("%d", moment.wDay);
        if (run == 2) return Number("%02d", moment.wDay);
        if (run == 3) return Number("%d", moment.wDayOfWeek);
        return TimeName(run == 4 ? "%a" : "%A", moment);
    case 'm':
        if (run == 1) return Number("%d", moment.wMonth);
        if (run == 2) return Number("%02d", moment.wMonth);
        return TimeName(run == 3 ? "%b" : "%B", moment);
    case 'y': {
        std::string year = Number("%04d", moment.wYear);
        return run >= year.size() ? year : year.substr(year.size() - run);
    }
    case 'h':
        if (run <= 2) return Number(run == 1 ? "%d" : "%02d", moment.wHour);
        return Number(run == 3 ? "%d" : "%02d", moment.wHour % 12);
    case 'n':
        return Number(run == 1 ? "%d" : "%02d", moment.wMinute);
    case 's':
        return Number(run == 1 ? "%d" : "%02d", moment.wSecond);
    default:
        return std::string(run, letter);
    }
}

}  // namespace

std::vector<std::wstring> BuildDateTimeFormats(DWORD dateWord, DWORD timeWord) {
    if (dateWord == 0 && timeWord == 0) return {};
    const RunBits days{L'd', {0x0008, 0x0010, 0x0001, 0x0002, 0x0004}};
    const RunBits months{L'm', {0x0080, 0x0100, 0x0200, 0x0400}};
    const RunBits years{L'y', {0x0800, 0x1000, 0, 0x2000}};
    const RunBits hours{L'h', {0x0001, 0x0002, 0x0004, 0x0008}};
    const RunBits minutes{L'n', {0x0080, 0x0100}};
    const RunBits seconds{L's', {0x0400, 0x0800}};

    auto dates = Combine(AllowedRuns(days, dateWord), AllowedRuns(months, dateWord), AllowedRuns(years, dateWord),
                         L"/", L"/");
    auto times = Combine(AllowedRuns(hours, timeWord), AllowedRuns(minutes, timeWord),
                         AllowedRuns(seconds, timeWord), L":", L"/");
    if (dates.empty()) return times;
    if (times.empty()) return dates;
    std::vector<std::wstring> both;
    for (const auto& date : dates)
        for (const auto& time : times) both.push_back(date + L" " + time);
    return both;
}

std::string RenderDateTime(std::string_view format, const SYSTEMTIME& moment, size_t limit) {
    std::string result;
    for (size_t i = 0; i < format.size();) {
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == format[i]) ++run;
        result += RenderRun(format[i], run, moment);
        i += run;
    }
    if (result.size() > limit) result.resize(limit);
    return result;
}
