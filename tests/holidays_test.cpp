#include "calendar/holidays.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace rumora {
namespace {

// Cases "YYYY-MM-DD name" separated by ", "; the name "-" for a working day.
void ExpectHolidays(std::string_view cases) {
    for (std::size_t at = 0; at < cases.size(); at += 2) {
        const std::string c(cases.substr(at, cases.find(", ", at) - at));
        at += c.size();
        const char* name = HolidayName(std::stoi(c.substr(0, 4)), std::stoi(c.substr(5, 2)),
                                       std::stoi(c.substr(8, 2)), HolidayLanguage::Japanese);
        EXPECT_EQ(name ? name : "-", c.substr(11)) << c;
    }
}

TEST(Holidays, KnownDaysAcrossTheAmendments) {
    ExpectHolidays(
        // Nothing before the law took effect.
        "1947-11-03 -, 1948-01-01 -, 1948-05-05 -, 1948-07-19 -, 1948-09-23 秋分の日, "
        "1948-11-03 文化の日, 1949-01-01 元日, 1949-03-21 春分の日, 1949-04-29 天皇誕生日, "
        // Days added and moved by amendments.
        "1965-09-15 -, 1966-09-15 敬老の日, 1966-10-10 体育の日, 1966-02-11 -, "
        "1967-02-11 建国記念の日, "
        "1999-01-15 成人の日, 2000-01-15 -, 2000-01-10 成人の日, 1999-10-10 体育の日, "
        "2000-10-10 -, 2000-10-09 体育の日, "
        "1995-07-20 -, 1996-07-20 海の日, 2002-07-20 海の日, 2003-07-20 -, 2003-07-21 海の日, "
        "2002-09-15 敬老の日, 2004-09-15 -, 2004-09-20 敬老の日, "
        "2015-08-11 -, 2016-08-11 山の日, 2006-04-29 みどりの日, 2007-04-29 昭和の日, "
        "2007-05-04 みどりの日, 2019-10-14 体育の日, 2022-10-10 スポーツの日, "
        // The Emperor's birthday follows the reign.
        "1988-04-29 天皇誕生日, 1988-12-23 -, 1989-04-29 みどりの日, 1989-12-23 天皇誕生日, "
        "2018-12-23 天皇誕生日, 2019-02-23 -, 2019-12-23 -, 2020-02-23 天皇誕生日, "
        // Olympic years and one-off days.
        "2020-07-20 -, 2020-07-23 海の日, 2020-07-24 スポーツの日, 2020-08-10 山の日, "
        "2020-08-11 -, 2020-10-12 -, 2021-07-19 -, 2021-07-22 海の日, "
        "2021-07-23 スポーツの日, 2021-08-08 山の日, 2021-08-09 振替休日, 2021-08-11 -, "
        "2021-10-11 -, 1959-04-10 皇太子明仁親王の結婚の儀, 1989-02-24 昭和天皇の大喪の礼, "
        "1990-11-12 即位礼正殿の儀, 1993-06-09 皇太子徳仁親王の結婚の儀, "
        // The two days of 2019 count as 国民の祝日 for the two rules below.
        "2019-04-30 国民の休日, 2019-05-01 天皇の即位の日, 2019-05-02 国民の休日, "
        "2019-10-22 即位礼正殿の儀, "
        // 振替休日 not before 1973-04-12; until 2006 the next day, so a Monday
        // 5/4 is one; from 2007 the first day after that is not a holiday.
        "1973-02-12 -, 1973-04-30 振替休日, 1973-09-24 振替休日, 1987-05-04 振替休日, "
        "1998-05-04 振替休日, 2006-01-02 振替休日, 2007-04-30 振替休日, 2008-05-06 振替休日, "
        "2009-05-06 振替休日, 2019-05-06 振替休日, 2020-02-24 振替休日, 2026-05-06 振替休日, "
        // 国民の休日 not before 1985-12-27, nor on a Sunday until 2006.
        "1985-05-04 -, 1986-05-04 -, 1997-05-04 -, 1988-05-04 国民の休日, 2006-05-04 国民の休日, "
        "2009-09-22 国民の休日, 2015-09-22 国民の休日, 2026-09-22 国民の休日, "
        "2032-09-21 国民の休日, 2049-09-21 国民の休日, "
        // Equinoxes close to midnight: 2012 autumn 11 min before it, 2026
        // spring 14 min before, 2074 autumn about 4 min after.
        "2012-09-22 秋分の日, 2026-03-20 春分の日, 2074-09-23 秋分の日, 2074-09-22 -");
}

TEST(Holidays, EquinoxDaysAsAnnounced) {
    // The announced days from 1955 to 2027: March 19 + digit, September 21 + digit.
    const std::string spring =
        "2222212221222122212221222122212221222112211221122112211221122112211221112";
    const std::string autumn =
        "3222322232223222322232223222222222222222222222222222222221222122212221222";
    for (int year = 1955; year <= 2027; ++year) {
        const std::size_t i = std::size_t(year - 1955);
        EXPECT_EQ(EquinoxDay(year, 3), 19 + spring[i] - '0') << year;
        EXPECT_EQ(EquinoxDay(year, 9), 21 + autumn[i] - '0') << year;
    }
}

}  // namespace
}  // namespace rumora
