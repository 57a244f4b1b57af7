#include "calendar/old_calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

namespace rumora::old_calendar {
namespace {

using namespace std::chrono;

std::string Text(std::optional<LunarDate> d) {
    if (!d) return "none";
    return (d->leap ? "閏" : "") + std::to_string(d->month) + "/" + std::to_string(d->day);
}

// Published dates, the new moons closest to midnight (2005-12-02 00:00:55
// and 2017-02-26 23:58:30 Japan time), the edges of the span, and a leap
// month in each era of the ΔT model.
TEST(OldCalendar, KnownDates) {
    struct Case {
        int y, m, d;
        const char* expected;
    };
    const Case cases[] = {{2000, 6, 14, "5/13"},  {2001, 5, 23, "閏4/1"},   {2005, 12, 1, "10/30"},
                          {2005, 12, 2, "11/1"},  {2017, 2, 25, "1/29"},    {2017, 2, 26, "2/1"},
                          {2033, 8, 25, "8/1"},   {2033, 12, 22, "閏11/1"}, {2034, 1, 20, "12/1"},
                          {1872, 12, 31, "none"}, {1873, 1, 1, "12/3"},     {2100, 12, 31, "12/1"},
                          {2101, 1, 1, "none"},   {1876, 6, 22, "閏5/1"},   {1900, 9, 24, "閏8/1"},
                          {1928, 3, 22, "閏2/1"}, {1941, 7, 24, "閏6/1"},   {2099, 4, 21, "閏3/1"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Text(LunarDateOf(c.y, c.m, c.d)), c.expected) << c.y << "-" << c.m << "-" << c.d;
    }
}

// Every leap month from 2000 to 2040, and no other: the 2033 problem is
// settled by 閏11月, with one leap month in that cycle, not two.
TEST(OldCalendar, LeapMonths2000To2040) {
    std::vector<std::string> found;
    for (sys_days day = year{2000} / 1 / 1; day <= year{2040} / 12 / 31; day += days{1}) {
        const year_month_day ymd{day};
        const int y = int(ymd.year()), m = int(unsigned(ymd.month())), d = int(unsigned(ymd.day()));
        const auto lunar = LunarDateOf(y, m, d);
        if (lunar->leap && lunar->day == 1) {
            found.push_back(std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d) +
                            " " + Text(lunar));
        }
    }
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "2001-5-23 閏4/1", "2004-3-21 閏2/1", "2006-8-24 閏7/1", "2009-6-23 閏5/1",
                  "2012-4-21 閏3/1", "2014-10-24 閏9/1", "2017-6-24 閏5/1", "2020-5-23 閏4/1",
                  "2023-3-22 閏2/1", "2025-7-25 閏6/1", "2028-6-23 閏5/1", "2031-4-22 閏3/1",
                  "2033-12-22 閏11/1", "2036-7-23 閏6/1", "2039-6-22 閏5/1"}));
}

// A page asks for its months year after year, a window for them again and
// again: in any order, each month's 六曜 follows its days' old dates.
TEST(OldCalendar, MonthsInAnyOrderFollowTheirDays) {
    const int years[] = {2027, 2028, 2027, 1873, 2100, 2028, 2033, 2027};
    for (const int y : years) {
        for (const int m : {1, 12, 2, 11, 6}) {
            std::array<std::int8_t, 31> rokuyo{};
            ASSERT_TRUE(MonthRokuyo(y, m, rokuyo));
            const int length = int(unsigned(year_month_day_last{year{y} / m / last}.day()));
            for (int d = 1; d <= length; ++d) {
                EXPECT_EQ(rokuyo[std::size_t(d - 1)], RokuyoIndex(*LunarDateOf(y, m, d)))
                    << y << "-" << m << "-" << d;
            }
        }
    }
    std::array<std::int8_t, 31> none{};
    EXPECT_FALSE(MonthRokuyo(1872, 12, none));
}

}  // namespace
}  // namespace rumora::old_calendar
