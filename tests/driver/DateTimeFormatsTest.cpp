#include <gtest/gtest.h>

#include "DateTimeFormats.h"

namespace {

using Formats = std::vector<std::wstring>;

// Runs follow their bits, three year letters never occur, and a date word without a month or
// year gives no date at all.
TEST(BuildDateTimeFormats, DatesAloneTimesAloneAndBoth) {
    const struct {
        WORD date, time;
        Formats expected;
    } cases[] = {
        {0, 0, {}},
        {0, 0x0002 | 0x0100 | 0x0800, {L"hh:nn/ss"}},
        {0x0008 | 0x0010 | 0x0100 | 0x2000, 0x0001 | 0x0008 | 0x0080 | 0x0400,
         {L"d/mm/yyyy h:n/s", L"d/mm/yyyy hhhh:n/s", L"dd/mm/yyyy h:n/s", L"dd/mm/yyyy hhhh:n/s"}},
        {0x0004 | 0x0400 | 0x2000, 0, {L"ddddd/mmmm/yyyy"}},
        {0x0001 | 0x0080 | 0x0800, 0, {L"ddd/m/y"}},
        {0x0018, 0, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, BuildDateTimeFormats(c.date, c.time)) << c.date << " " << c.time;
}

TEST(RenderDateTime, RunsOfEachLetter) {
    SYSTEMTIME sunday{};
    sunday.wYear = 2024;
    sunday.wMonth = 3;
    sunday.wDay = 3;
    sunday.wHour = 14;
    sunday.wMinute = 5;
    sunday.wSecond = 9;
    const struct {
        const char* format;
        WORD hour;
        const char* expected;
    } cases[] = {
        {"d/m/yy h:n:s ss", 14, "3/3/24 14:5:9 09"},     {"hhh hhhh", 14, "2 02"},
        {"y yyy yyyy yyyyy", 14, "4 024 2024 2024"},    {"Y D M-x", 14, "Y D M-x"},
        {"dddd ddddd mmm mmmm", 14, "Sun Sunday Mar March"}, {"ddd nnn sss", 14, "0 05 09"},
        {"hhh hhhh", 0, "0 00"} /* midnight */,         {"hhh hhhh", 12, "0 00"} /* noon */,
    };
    for (const auto& c : cases) {
        sunday.wHour = c.hour;
        EXPECT_EQ(c.expected, RenderDateTime(c.format, sunday, 1023)) << c.format << " at " << c.hour;
    }
    // The text stops at the field size.
    EXPECT_EQ(10u, RenderDateTime(std::string(600, 'y') + "  yyyy yyyy", sunday, 10).size());
}

}  // namespace
