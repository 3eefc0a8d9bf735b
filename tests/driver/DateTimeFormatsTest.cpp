#include <gtest/gtest.h>

#include "DateTimeFormats.h"

namespace {

using Formats = std::vector<std::wstring>;

TEST(BuildDateTimeFormats, DatesAloneTimesAloneAndBoth) {
    EXPECT_EQ(Formats{}, BuildDateTimeFormats(0, 0));
    EXPECT_EQ((Formats{L"d/m/yy", L"dd/m/yy"}), BuildDateTimeFormats(0x0018 | 0x0080 | 0x1000, 0));
    EXPECT_EQ(Formats{L"hh:nn/ss"}, BuildDateTimeFormats(0, 0x0002 | 0x0100 | 0x0800));
    EXPECT_EQ((Formats{L"d/mm/yyyy h:n/s", L"d/mm/yyyy hhhh:n/s", L"dd/mm/yyyy h:n/s", L"dd/mm/yyyy hhhh:n/s"}),
              BuildDateTimeFormats(0x0008 | 0x0010 | 0x0100 | 0x2000, 0x0001 | 0x0008 | 0x0080 | 0x0400));
}

TEST(BuildDateTimeFormats, RunsFollowTheirBitsAndThreeYearLettersNeverOccur) {
    EXPECT_EQ(Formats{L"ddd/mmm/y"}, BuildDateTimeFormats(0x0001 | 0x0200 | 0x0800, 0));
    EXPECT_EQ(Formats{L"ddddd/mmmm/yyyy"}, BuildDateTimeFormats(0x0004 | 0x0400 | 0x2000, 0));
    // A date word without a month or year gives no date at all.
    EXPECT_EQ(Formats{}, BuildDateTimeFormats(0x0018, 0));
}

SYSTEMTIME Moment(WORD year, WORD month, WORD day, WORD weekday, WORD hour, WORD minute, WORD second = 0) {
    SYSTEMTIME moment{};
    moment.wYear = year;
    moment.wMonth = month;
    moment.wDay = day;
    moment.wDayOfWeek = weekday;
    moment.wHour = hour;
    moment.wMinute = minute;
    moment.wSecond = second;
    return moment;
}

TEST(RenderDateTime, RunsOfOneLetter) {
    const SYSTEMTIME sunday = Moment(2024, 3, 3, 0, 14, 5, 9);
    EXPECT_EQ("03.03.2024 14:05", RenderDateTime("dd.mm.yyyy hh:nn", sunday, 1023));
    EXPECT_EQ("3/3/24 14:5:9 09", RenderDateTime("d/m/yy h:n:s ss", sunday, 1023));
    EXPECT_EQ("2 02", RenderDateTime("hhh hhhh", sunday, 1023));
    EXPECT_EQ("0", RenderDateTime("ddd", sunday, 1023));
    EXPECT_EQ("4 024 2024 2024", RenderDateTime("y yyy yyyy yyyyy", sunday, 1023));
    EXPECT_EQ("Y D M-x", RenderDateTime("Y D M-x", sunday, 1023));
    EXPECT_EQ("05 09", RenderDateTime("nnn sss", sunday, 1023));
    EXPECT_EQ("Sun Sunday Mar March", RenderDateTime("dddd ddddd mmm mmmm", sunday, 1023));
}

TEST(RenderDateTime, TwelveHourRunsAtMidnightAndNoon) {
    EXPECT_EQ("0 00", RenderDateTime("hhh hhhh", Moment(2024, 3, 3, 0, 0, 30), 1023));
    EXPECT_EQ("0 00", RenderDateTime("hhh hhhh", Moment(2024, 3, 3, 0, 12, 30), 1023));
}

TEST(RenderDateTime, StopsAtTheFieldSize) {
    std::string format(600, 'y');
    format += "  yyyy yyyy";
    std::string text = RenderDateTime(format, Moment(2024, 1, 1, 1, 0, 0), 10);
    EXPECT_EQ(10u, text.size());
}

}  // namespace
