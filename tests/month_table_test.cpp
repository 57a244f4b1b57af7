#include "page/month_table.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "page/page_error.h"

namespace rumora {
namespace {

PageOptions Settings(const std::string& language, const std::string& border = "1",
                     bool mondayFirst = false) {
    PageOptions s;
    s.language = LanguageNamed(language);
    s.tableBorder = border;
    s.weekStart = mondayFirst ? WeekStart::Monday : WeekStart::Sunday;
    return s;
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The week rows from the first on, Sundays red and Saturdays blue, after
// `blanks` empty cells.
std::string Weeks(int blanks, int days, bool mondayFirst = false) {
    std::string rows;
    for (int cell = 0; cell < blanks + days; ++cell) {
        const std::string day = std::to_string(cell - blanks + 1);
        const int weekday = (cell + mondayFirst) % 7;  // 0 for Sunday
        rows += cell < blanks  ? std::string("<td></td>")
                : weekday == 0 ? "<td><font color=#ff0000>" + day + "</font></td>"
                : weekday == 6 ? "<td><font color=#0000ff>" + day + "</font></td>"
                               : "<td>" + day + "</td>";
        if (cell % 7 == 6) rows += "</tr>\r\n<tr align=right>";
    }
    return rows + "</tr></table>";
}

TEST(MonthTable, September1999MatchesTheWorkedExampleInEveryLanguage) {
    struct Case {
        const char* language;
        const char* name;
        const char* header;  // the header row, which opens the first week's row too
        std::uint8_t red, green, blue;
        const char* border;
        const char* borderWritten;
    };
    for (const Case c : {
             Case{"英語", "September",
                  "<tr align=center bgcolor=#96FAB4>\r\n<td><font color=#ff0000>Sun</font></td>"
                  "<td>Mon</td><td>Tue</td><td>Wed</td><td>Thu</td><td> Fri </td><td><font "
                  "color=#0000ff>Sat</font></td></tr>\r\n<tr align=right>",
                  150, 250, 180, "1", "1"},
             Case{"日本語", "長月",
                  "<tr align=center bgcolor=#0A80FA>\r\n<td><font color=#ff0000> 日 </font></td>"
                  "<td>月</td><td>火</td><td>水</td><td>木</td><td>金</td><td><font "
                  "color=#0000ff>土</font></td></tr>\r\n<tr align=right>",
                  10, 128, 250, "\"", "&quot;"},
             // Any other text: the English title and no header, but the
             // first week's row opened all the same.
             Case{"", "September", "\r\n<tr align=right>", 0, 0, 0, "1", "1"},
             Case{"日本語 ", "September", "\r\n<tr align=right>", 0, 0, 0, "1", "1"},
             Case{"english", "September", "\r\n<tr align=right>", 0, 0, 0, "1", "1"},
             Case{"英語\t", "September", "\r\n<tr align=right>", 0, 0, 0, "1", "1"},
         }) {
        PageOptions s = Settings(c.language, c.border);
        s.headerColor = {c.red, c.green, c.blue};
        EXPECT_EQ(MakeCalendarTable(s, 1999, 9),
                  std::string("<table border=") + c.borderWritten +
                      ">\r\n<tr><td colspan=7 align=right><font size=-1>1999.9  - " + c.name +
                      " -</font></td></tr>" + c.header + Weeks(3, 30))
            << c.language;
    }
}

// Blank cells before day 1, and the days in order, from either week start.
TEST(MonthTable, MonthLengthsAndFirstWeekdays) {
    struct Case {
        int year, month;
        int blanks, days;
        bool mondayFirst = false;
    };
    for (const Case c :
         {Case{1999, 1, 5, 31}, Case{1999, 2, 1, 28}, Case{1999, 3, 1, 31}, Case{1999, 4, 4, 30},
          Case{1999, 5, 6, 31}, Case{1999, 6, 2, 30}, Case{1999, 7, 4, 31}, Case{1999, 8, 0, 31},
          Case{1999, 9, 3, 30}, Case{1999, 10, 5, 31}, Case{1999, 11, 1, 30}, Case{1999, 12, 3, 31},
          // Gregorian leap years: every fourth, but not whole centuries
          // unless they divide by 400.
          Case{2000, 2, 2, 29}, Case{1900, 2, 4, 28}, Case{2100, 2, 1, 28}, Case{2400, 2, 2, 29},
          Case{1600, 2, 2, 29}, Case{2000, 1, 6, 31}, Case{1753, 1, 1, 31}, Case{9999, 12, 3, 31},
          Case{1999, 8, 6, 31, true}, Case{1999, 2, 0, 28, true}}) {
        PageOptions s = Settings("英語", "1", c.mondayFirst);
        const std::string table = MakeCalendarTable(s, c.year, c.month);
        EXPECT_EQ(table.substr(table.find("<tr align=right>") + 16),
                  Weeks(c.blanks, c.days, c.mondayFirst))
            << c.year << "." << c.month;
    }
}

TEST(MonthTable, HolidaysChangeOnlyTheirOwnCellsInEitherLanguage) {
    const std::string plainWeek =
        "<td><font color=#ff0000>3</font></td><td>4</td><td>5</td><td>6</td><td>7</td>";
    for (const auto& [language, names] :
         std::initializer_list<std::pair<std::string, std::array<const char*, 4>>>{
             {"日本語", {"憲法記念日", "みどりの日", "こどもの日", "振替休日"}},
             {"英語",
              {"Constitution Memorial Day", "Greenery Day", "Children&#39;s Day",
               "Substitute Holiday"}}}) {
        PageOptions s = Settings(language);
        std::string expected = MakeCalendarTable(s, 2026, 5);
        std::string week;
        for (int day = 3; day <= 6; ++day) {
            week += std::string("<td title=\"") + names[day - 3] + "\"><font color=#ff0000>" +
                    std::to_string(day) + "</font></td>";
        }
        s.holidays = true;
        expected.replace(expected.find(plainWeek), plainWeek.size(), week + "<td>7</td>");
        EXPECT_EQ(MakeCalendarTable(s, 2026, 5), expected);
    }
    // A Saturday holiday is red like any other.
    PageOptions s = Settings("日本語");
    s.holidays = true;
    EXPECT_NE(MakeCalendarTable(s, 2023, 9).find("<td title=\"秋分の日\"><font color=#ff0000>23<"),
              std::string::npos);
}

TEST(MonthTable, MondayFirstWeekEndingOnSundayLeavesAnEmptyLastRow) {
    PageOptions s = Settings("英語", "1", true);
    EXPECT_EQ(MakeCalendarTable(s, 2026, 5),
              "<table border=1>\r\n<tr><td colspan=7 align=right><font size=-1>2026.5  - May "
              "-</font></td></tr><tr align=center bgcolor=#96FAB4>\r\n<td>Mon</td><td>Tue</"
              "td><td>Wed</td><td>Thu</td><td> Fri </td><td><font color=#0000ff>Sat</font></"
              "td><td><font color=#ff0000>Sun</font></td></tr>\r\n<tr align=right>" +
                  Weeks(4, 31, true));
}

TEST(MonthTable, DatesTheCalendarCannotFormAreErrors) {
    PageOptions s = Settings("英語");
    EXPECT_THROW(MakeCalendarTable(s, 10000, 1), PageBuildError);
    EXPECT_THROW(MakeCalendarTable(s, 1999, 13), PageBuildError);
    EXPECT_THROW(MakeCalendarTable(s, 1999, 0), PageBuildError);
    EXPECT_THROW(MakeCalendarTable(s, -5, 3), PageBuildError);
}

// Each day's 六曜 follows its number, after the number's colour, inside the
// same cell; nothing else changes, whatever the other options.
TEST(MonthTable, RokuyoFollowsEachDayNumber) {
    // January 2018: 11月15日 of the old calendar, a new month on the 17th.
    const std::string kRokuyo = "2345012345012345123450123450123";
    const char* kJapanese[] = {"大安", "赤口", "先勝", "友引", "先負", "仏滅"};
    const char* kRomanised[] = {"Taian", "Shakko", "Sensho", "Tomobiki", "Senbu", "Butsumetsu"};
    static const std::regex kDay("(<td[^>]*>(?:<font color=#\\w+>)?(\\d+)(?:</font>)?)</td>");
    for (const char* language : {"日本語", "英語", "other"}) {
        for (int options = 0; options < 4; ++options) {
            PageOptions plain = Settings(language, "1", (options & 2) != 0);
            plain.holidays = (options & 1) != 0;
            PageOptions with = plain;
            with.rokuyo = true;
            const std::string table = MakeCalendarTable(plain, 2018, 1);
            std::string expected;
            auto rest = table.cbegin();
            for (std::sregex_iterator it(table.begin(), table.end(), kDay), end; it != end; ++it) {
                const int name = kRokuyo.at(std::stoul((*it)[2]) - 1) - '0';
                expected.append(rest, (*it)[1].second) += "<br><font size=-2>";
                expected += (std::string(language) == "日本語" ? kJapanese : kRomanised)[name];
                expected += "</font>";
                rest = (*it)[1].second;
            }
            expected.append(rest, table.end());
            EXPECT_EQ(MakeCalendarTable(with, 2018, 1), expected) << language << options;
        }
    }
}

// May 2026: Monday 4 is みどりの日, then こどもの日 and 振替休日 on the 6th, so
// a Monday closing moves to Thursday 7. With the holiday rule too, the
// holidays stay closed, each tip naming the holiday first.
TEST(MonthTable, ClosedDaysTakeTheColourAndTheLabelAfterTheHolidayName) {
    for (const bool japanese : {true, false}) {
        PageOptions s = Settings(japanese ? "日本語" : "英語");
        s.holidays = true;
        std::string expected = MakeCalendarTable(s, 2026, 5);
        ASSERT_FALSE(AddClosingRuleList(s.closing, "mon,holidays"));
        s.closing.movesAfterHoliday = true;
        s.closingColor = {1, 171, 255};
        const auto close = [&](const std::string& cell, const std::string& title) {
            const auto at = expected.find(cell);
            ASSERT_NE(at, std::string::npos) << cell;
            expected.replace(at, cell.find('>') + 1,
                             "<td bgcolor=#01ABFF title=\"" + title + "\">");
        };
        const std::string label = japanese ? "休業日" : "Closed";
        const std::array<const char*, 4> names =
            japanese
                ? std::array<const char*, 4>{"憲法記念日", "みどりの日", "こどもの日", "振替休日"}
                : std::array<const char*, 4>{"Constitution Memorial Day", "Greenery Day",
                                             "Children&#39;s Day", "Substitute Holiday"};
        for (int day = 3; day <= 6; ++day) {
            close(std::string("<td title=\"") + names[day - 3] + "\">",
                  names[day - 3] + std::string("&#10;") + label);
        }
        for (const char* day : {"7", "11", "18", "25"}) {
            close(std::string("<td>") + day + "</td>", label);
        }
        EXPECT_EQ(MakeCalendarTable(s, 2026, 5), expected) << japanese;
    }
}

// February 2027 with the whole almanac: 節分 and 土用の丑 on Wednesday 3, a
// closed day; 立春 on the 4th; the new moon on Sunday 7; 建国記念の日 on the
// 11th; the first quarter on the 14th; 雨水 on the 19th.
TEST(MonthTable, TheAlmanacAddsItsNamesAfterTheHolidayAndTheLabel) {
    for (const bool japanese : {true, false}) {
        PageOptions s = Settings(japanese ? "日本語" : "英語");
        s.holidays = s.solarTerms = s.seasonalDays = s.moonPhases = s.eraYear = true;
        ASSERT_FALSE(AddClosingRuleList(s.closing, "wed"));
        const std::string table = MakeCalendarTable(s, 2027, 2);
        const std::vector<std::string> parts =
            japanese
                ? std::vector<
                      std::string>{"2027.2  - 如月 - 令和9年</font>",
                                   "<td bgcolor=#FFCCCC title=\"休業日&#10;節分&#10;土用の丑"
                                   "\">3<br><font size=-2>節分</font><br><font "
                                   "size=-2>土用の丑</font></td>",
                                   "<td title=\"立春\">4<br><font size=-2>立春</font></td>",
                                   "<td title=\"新月\"><font color=#ff0000>7</font><font "
                                   "size=-2>&#9679;</font></td>",
                                   "<td title=\"建国記念の日\"><font color=#ff0000>11<",
                                   "<td title=\"上弦\"><font color=#ff0000>14</font><font "
                                   "size=-2>&#9680;</font></td>",
                                   "<td title=\"雨水\">19<br>"}
                : std::vector<std::string>{
                      "2027.2  - February - Reiwa 9</font>",
                      "<td bgcolor=#FFCCCC title=\"Closed&#10;Setsubun&#10;Doyo no Ushi\">3<br>",
                      "<td title=\"Risshun\">4<br><font size=-2>Risshun</font></td>",
                      "<td title=\"New moon\"><font color=#ff0000>7</font>",
                      "<td title=\"First quarter\"><font color=#ff0000>14</font>"};
        for (const std::string& part : parts) {
            EXPECT_NE(table.find(part), std::string::npos) << part << "\n" << table;
        }
        // Each name once in the tips and once in the cells; the moon only in tips.
        EXPECT_EQ(Count(table, japanese ? "立春" : "Risshun"), 2);
        EXPECT_EQ(Count(table, japanese ? "新月" : "New moon"), 1);
    }
    // Before 1873 the almanac and the era year have nothing to add.
    PageOptions s = Settings("日本語");
    const std::string plain = MakeCalendarTable(s, 1872, 2);
    s.solarTerms = s.seasonalDays = s.moonPhases = s.eraYear = true;
    EXPECT_EQ(MakeCalendarTable(s, 1872, 2), plain);
}

// February 2027 with the user's events: a trip from 31 January to 2
// February, a dentist at 15:00 on the 11th (a holiday) after a lunch at 12:00
// on the 10th–11th. Each covered day has the mark and its names after the
// holiday's; the list under the month has its days within the month.
TEST(MonthTable, EventsMarkTheirDaysAndAreListedUnderTheMonth) {
    PageOptions s = Settings("日本語");
    s.holidays = true;
    const std::string plain = MakeCalendarTable(s, 2027, 3);
    const std::int32_t february = 20850;  // 2027-02-01
    s.events = {{february - 1, february + 1, PageEvent::kAllDay, "旅行"},
                {february + 9, february + 10, 12 * 60, "昼食&amp;会議"},
                {february + 10, february + 10, 15 * 60 + 5, "歯医者"}};
    const std::string table = MakeCalendarTable(s, 2027, 2);
    for (const std::string part :
         {"<td title=\"旅行\">1<font size=-2>◆</font></td>",
          "<td title=\"旅行\">2<font size=-2>◆</font></td><td>3</td>",
          "<td title=\"12:00 昼食&amp;会議\">10<font size=-2>◆</font></td>",
          "<td title=\"建国記念の日&#10;12:00 昼食&amp;会議&#10;15:05 歯医者\"><font "
          "color=#ff0000>11</font><font size=-2>◆</font></td>",
          "</tr></table>\r\n<table><tr><td align=left><font size=-1>1&#8211;2 旅行<br>10&#8211;11 "
          "昼食&amp;会議 12:00<br>11 歯医者 15:05</font></td></tr></table>"}) {
        EXPECT_NE(table.find(part), std::string::npos) << part << "\n" << table;
    }
    EXPECT_TRUE(table.ends_with("</font></td></tr></table>"));
    EXPECT_EQ(Count(table, "◆"), 4);
    // Past ten names a day and sixty a month, the rest are counted.
    PageOptions many = Settings("日本語");
    many.events.assign(70, {february + 2, february + 2, PageEvent::kAllDay, "x"});
    const std::string crowded = MakeCalendarTable(many, 2027, 2);
    EXPECT_NE(
        crowded.find("title=\"x&#10;x&#10;x&#10;x&#10;x&#10;x&#10;x&#10;x&#10;x&#10;x&#10;+60\""),
        std::string::npos);
    EXPECT_EQ(Count(crowded, "<br>3 x"), 59);
    EXPECT_NE(crowded.find("<br>+10</font>"), std::string::npos);
    // A month the events miss is as before.
    EXPECT_EQ(MakeCalendarTable(s, 2027, 3), plain);
}

// A day whose tip runs to kilobytes, with 六曜 and the almanac under its
// number: only its own cell changes, and the days after it are as before.
TEST(MonthTable, ADayWithLongNamesKeepsItsNeighbours) {
    PageOptions s = Settings("日本語");
    s.rokuyo = s.seasonalDays = true;
    const std::string before = MakeCalendarTable(s, 2027, 2);
    const std::string cellStart = "<td title=\"節分&#10;土用の丑\">3";
    const std::size_t at = before.find(cellStart);
    ASSERT_NE(at, std::string::npos) << before;
    const std::size_t cellEnd = before.find("</td>", at);
    const std::string name(400, 'n');
    s.events.assign(12, {20852, 20852, PageEvent::kAllDay, name});  // 2027-02-03
    std::string tip;
    for (int i = 0; i < 10; ++i) tip += name + "&#10;";
    std::string expected = before.substr(0, at) + "<td title=\"節分&#10;土用の丑&#10;" + tip +
                           "+2\">3<font size=-2>◆</font>" +
                           before.substr(at + cellStart.size(), cellEnd - at - cellStart.size()) +
                           before.substr(cellEnd);
    std::string list = "\r\n<table><tr><td align=left><font size=-1>";
    for (int i = 0; i < 12; ++i) list += (i ? "<br>3 " : "3 ") + name;
    expected += list + "</font></td></tr></table>";
    EXPECT_EQ(MakeCalendarTable(s, 2027, 2), expected);
}

// What holidays, 六曜 and the almanac add to a month is worked out once a
// thread and kept: tables asked for in any order, with any of these choices
// and in either language, are those a fresh thread makes.
TEST(MonthTable, KeptMonthsFollowEveryChoice) {
    const auto choose = [](unsigned bits) {
        PageOptions s = Settings(bits & 1 ? "日本語" : "英語");
        s.holidays = bits & 2;
        s.rokuyo = bits & 4;
        s.solarTerms = bits & 8;
        s.seasonalDays = bits & 16;
        s.moonPhases = bits & 32;
        return s;
    };
    const auto fresh = [](const PageOptions& s, int year, int month) {
        std::string table;
        std::thread([&] { table = MakeCalendarTable(s, year, month); }).join();
        return table;
    };
    std::vector<std::string> tables;
    for (unsigned bits = 0; bits < 64; ++bits) tables.push_back(fresh(choose(bits), 2027, 3));
    // Each choice set right after each that differs from it in one choice.
    for (unsigned bits = 0; bits < 64; ++bits) {
        for (unsigned flip = 1; flip < 64; flip <<= 1) {
            for (const unsigned asked : {bits, bits ^ flip}) {
                EXPECT_EQ(MakeCalendarTable(choose(asked), 2027, 3), tables[asked]) << asked;
            }
        }
    }
    // Three years in turn, where two are kept.
    const PageOptions all = choose(63);
    for (const int year : {2026, 2027, 2028, 2026, 2028, 2027}) {
        EXPECT_EQ(MakeCalendarTable(all, year, 9), fresh(all, year, 9)) << year;
    }
}

}  // namespace
}  // namespace rumora
