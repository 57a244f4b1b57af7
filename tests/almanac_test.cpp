#include "calendar/almanac.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "calendar/wareki.h"

namespace rumora::almanac {
namespace {

// A day's names in their order, joined by "・"; groups: t terms, s 雑節, m moon.
std::string Names(int y, int m, int d, const std::string& groups = "tsm", bool japanese = true) {
    const auto npos = std::string::npos;
    const MonthAlmanac month = AlmanacOfMonth(y, m, groups.find('t') != npos,
                                              groups.find('s') != npos, groups.find('m') != npos);
    std::string out;
    for (const Event& e : month.On(d))
        out += (out.empty() ? "" : "・") + std::string(EventName(e, japanese));
    return out;
}

bool Has(int y, int m, int d, const std::string& name) {
    return ("・" + Names(y, m, d) + "・").find("・" + name + "・") != std::string::npos;
}

// The 暦要項 of 2008 (平成20年, as reprinted in 私大教連 news 2269) and of
// 2019 (NAOJ, rekiyou192.html): each term's day, January to December, and
// the 雑節 and phases it lists (彼岸 is its 入り). 社日 2013 from NAOJ's
// list of that year, 2025 from s10s05.com; the 2024 phases from NAOJ's 朔弦望.
TEST(Almanac, PublishedDays) {
    const char* const kTerms[] = {"小寒", "大寒", "立春", "雨水", "啓蟄", "春分", "清明", "穀雨",
                                  "立夏", "小満", "芒種", "夏至", "小暑", "大暑", "立秋", "処暑",
                                  "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};
    struct Year {
        int year;
        const char* term_days;
        const char* others;
    };
    const Year years[] = {
        {2008, "06 21 04 19 05 20 04 20 05 21 05 21 07 22 07 23 07 23 08 23 07 22 07 21",
         "1/18 土用入り 2/3 節分 3/17 彼岸入り 4/17 土用入り 5/1 八十八夜 6/10 入梅"},
        {2019, "06 20 04 19 06 21 05 20 06 21 06 22 07 23 08 23 08 23 08 24 08 22 07 22",
         "1/17 土用入り 2/3 節分 3/18 彼岸入り 4/17 土用入り 5/2 八十八夜 6/11 入梅 7/2 半夏生 "
         "7/20 土用入り 9/1 二百十日 9/20 彼岸入り"},
        {2013, "", "3/23 社日"},
        {2025, "", "3/20 社日"},
        {2024, "",
         "3/10 新月 3/17 上弦 3/25 満月 4/2 下弦 4/9 新月 6/6 新月 6/14 上弦 6/22 満月 6/29 下弦"},
    };
    for (const Year& y : years) {
        std::istringstream terms(y.term_days);
        int day = 0;
        for (int i = 0; terms >> day; ++i)
            EXPECT_TRUE(Has(y.year, i / 2 + 1, day, kTerms[i])) << y.year << " " << kTerms[i];
        std::istringstream others(y.others);
        int month = 0;
        char slash = 0;
        std::string name;
        while (others >> month >> slash >> day >> name) {
            EXPECT_TRUE(Has(y.year, month, day, name))
                << y.year << "-" << month << "-" << day << " " << name;
        }
    }
}

// The rules' edges, each day with all its names: 社日 ties on a 癸 equinox
// day (2024 春分 12:06 and 2019 秋分 16:50 take the later 戊 day, 2022 春分
// 00:33 and 2017 秋分 04:02 the earlier); two 丑 in one 土用, and none on
// or after the 立秋 or 立冬 that ends it (丑 days); two 雑節 on one
// day; and the instants within about a minute of midnight, some published
// to the minute (2019 小雪 23:59, 2021 立春 23:59, 2024 上弦 00:01), the rest
// a minute or less away in both ERFA and PyEphem. 2095's 冬至 is a
// projection: 36 s after midnight with this ΔT (193 s), 2 s before it with
// PyEphem's (216 s).
TEST(Almanac, RuleEdgesAndCloseCalls) {
    struct Case {
        int y, m, d;
        const char* groups;
        const char* names;
    };
    const Case cases[] = {
        {2024, 3, 25, "tsm", "社日・満月"},
        {2024, 3, 15, "tsm", ""},
        {2019, 9, 28, "tsm", "社日"},
        {2022, 3, 16, "tsm", "社日"},
        {2017, 9, 18, "tsm", "社日"},
        {2024, 7, 24, "tsm", "土用の丑"},
        {2024, 8, 5, "tsm", "土用の丑"},
        {2008, 5, 1, "tsm", "八十八夜・土用の丑"},
        {2019, 3, 24, "tsm", "彼岸明け"},
        {2019, 9, 11, "tsm", "二百二十日"},
        {2030, 2, 18, "tsm", "雨水・満月"},
        {2030, 2, 18, "t", "雨水"},
        {2030, 2, 18, "sm", "満月"},
        {2021, 2, 2, "tsm", "節分"},
        {2021, 2, 3, "tsm", "立春"},
        {2019, 11, 22, "tsm", "小雪"},
        {2024, 2, 17, "tsm", "上弦"},
        {1964, 9, 7, "tsm", "白露"},
        {1917, 9, 24, "tsm", "秋分・上弦"},
        {1913, 12, 13, "tsm", "満月"},
        {2061, 1, 17, "tsm", "土用入り"},
        {2005, 12, 2, "tsm", "新月"},
        {2097, 1, 13, "tsm", "新月"},
        {2095, 12, 22, "tsm", "冬至"},
        {2026, 8, 7, "tsm", "立秋"},
        {2024, 8, 17, "tsm", ""},
        {2024, 11, 9, "tsm", "上弦"},
        {1873, 1, 5, "tsm", "小寒"},
        {2100, 12, 22, "tsm", "冬至"},
        {1872, 12, 22, "tsm", ""},
        {2101, 1, 5, "tsm", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(c.y, c.m, c.d, c.groups), c.names) << c.y << "-" << c.m << "-" << c.d;
    }
    EXPECT_EQ(Names(2008, 5, 1, "tsm", false), "Hachiju-hachiya・Doyo no Ushi");
    EXPECT_EQ(Names(2024, 3, 20, "tsm", false), "Shunbun");
    EXPECT_EQ(Names(2024, 3, 25, "tsm", false), "Shanichi・Full moon");
}

// Each era's first month, the months in which it changed, and the ends.
// Months asked for in any order, with any groups, give each year its own
// terms: the 冬至 and 小寒 of each year, on the day the sun's table gives.
TEST(Almanac, MonthsInAnyOrderKeepTheirYears) {
    const std::pair<int, const char*> winters[] = {
        {2027, "1/5 12/22"}, {2028, "1/6 12/21"}, {2027, "1/5 12/22"}, {2100, "1/5 12/22"},
        {2028, "1/6 12/21"}, {1873, "1/5 12/22"}, {2027, "1/5 12/22"}};
    for (const auto& [y, expected] : winters) {
        for (const std::string groups : {"t", "tsm", "tm"}) {
            std::string found;
            for (const int m : {1, 12}) {
                for (int d = 1; d <= 31; ++d) {
                    const std::string names = Names(y, m, d, groups);
                    if (names.find("小寒") != std::string::npos ||
                        names.find("冬至") != std::string::npos) {
                        found += (found.empty() ? "" : " ") + std::to_string(m) + "/" +
                                 std::to_string(d);
                    }
                }
            }
            EXPECT_EQ(found, expected) << y << " " << groups;
        }
    }
}

TEST(Wareki, EraYears) {
    struct Case {
        int y, m;
        const char *japanese, *english;
    };
    const Case cases[] = {
        {1872, 12, "", ""},
        {1873, 1, "明治6年", "Meiji 6"},
        {1912, 7, "明治45年／大正元年", "Meiji 45 / Taisho 1"},
        {1912, 8, "大正元年", "Taisho 1"},
        {1926, 12, "大正15年／昭和元年", "Taisho 15 / Showa 1"},
        {1927, 1, "昭和2年", "Showa 2"},
        {1989, 1, "昭和64年／平成元年", "Showa 64 / Heisei 1"},
        {1990, 1, "平成2年", "Heisei 2"},
        {2019, 4, "平成31年", "Heisei 31"},
        {2019, 5, "令和元年", "Reiwa 1"},
        {2027, 1, "令和9年", "Reiwa 9"},
        {9999, 12, "令和7981年", "Reiwa 7981"},
        {10000, 1, "", ""},
        {2019, 0, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wareki::EraYearText(c.y, c.m, true), c.japanese) << c.y << "-" << c.m;
        EXPECT_EQ(wareki::EraYearText(c.y, c.m, false), c.english) << c.y << "-" << c.m;
    }
}

}  // namespace
}  // namespace rumora::almanac
