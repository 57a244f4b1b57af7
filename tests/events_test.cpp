// Events from iCalendar files: which Japan days each covers, one case a row,
// and the files as real programs write them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "events/event_reader.h"

namespace rumora::events {
namespace {

std::int32_t DayOf(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    return static_cast<std::int32_t>(
        sys_days{std::chrono::year{year} / month / day}.time_since_epoch().count());
}

// "MMDD", "MMDD-MMDD", then " HH:MM" for a timed event, then the name; one
// occurrence a line, in start order.
std::string Shown(const Calendar& calendar) {
    std::vector<Occurrence> list = calendar.occurrences;
    std::stable_sort(list.begin(), list.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.startSecond < b.startSecond;
    });
    std::string text;
    char buffer[64];
    for (const Occurrence& o : list) {
        using namespace std::chrono;
        const year_month_day first{sys_days{days{o.firstDay}}};
        const year_month_day last{sys_days{days{o.lastDay}}};
        std::snprintf(buffer, sizeof buffer, "%02u%02u", unsigned{first.month()},
                      unsigned{first.day()});
        text += buffer;
        if (o.lastDay != o.firstDay) {
            std::snprintf(buffer, sizeof buffer, "-%02u%02u", unsigned{last.month()},
                          unsigned{last.day()});
            text += buffer;
        }
        if (o.startMinute >= 0) {
            std::snprintf(buffer, sizeof buffer, " %02d:%02d", o.startMinute / 60,
                          o.startMinute % 60);
            text += buffer;
        }
        text += ' ' + o.summary + '|';
    }
    return text;
}

constexpr const char* kNewYork =
    "BEGIN:VTIMEZONE\nTZID:NY\nBEGIN:STANDARD\nDTSTART:19701101T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
    "END:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:19700308T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\n"
    "END:DAYLIGHT\nEND:VTIMEZONE\n";

Calendar Read(const std::string& body, int year = 2027) {
    const std::string file =
        "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//t//t//EN\n" + body + "END:VCALENDAR\n";
    return ReadCalendar(file, DayOf(year, 1, 1), DayOf(year, 12, 31));
}

std::string Event(const std::string& lines, const std::string& name = "A") {
    return "BEGIN:VEVENT\nUID:" + name + "@t\nSUMMARY:" + name + "\n" + lines + "END:VEVENT\n";
}

struct Case {
    const char* what;
    std::string body;
    std::string shown;
    int year = 2027;
};

TEST(Events, EachCaseCoversItsJapanDays) {
    const std::vector<Case> cases{
        {"all day", Event("DTSTART;VALUE=DATE:20270114\nDTEND;VALUE=DATE:20270115\n"), "0114 A|"},
        {"all day without DTEND", Event("DTSTART;VALUE=DATE:20270114\n"), "0114 A|"},
        {"several days, the end exclusive",
         Event("DTSTART;VALUE=DATE:20270120\nDTEND;VALUE=DATE:20270123\n"), "0120-0122 A|"},
        {"all day with DURATION", Event("DTSTART;VALUE=DATE:20270120\nDURATION:P2D\n"),
         "0120-0121 A|"},
        {"floating is Japan time", Event("DTSTART:20270114T150000\nDTEND:20270114T160000\n"),
         "0114 15:00 A|"},
        {"UTC", Event("DTSTART:20270114T200000Z\nDURATION:PT1H\n"), "0115 05:00 A|"},
        {"a DURATION in weeks", Event("DTSTART:20270114T100000\nDURATION:P1W\n"),
         "0114-0121 10:00 A|"},
        {"ends at midnight", Event("DTSTART:20270114T220000\nDTEND:20270115T000000\n"),
         "0114 22:00 A|"},
        {"no length", Event("DTSTART:20270114T220000\nDTEND:20270114T220000\n"), "0114 22:00 A|"},
        {"over midnight", Event("DTSTART:20270114T230000\nDTEND:20270115T020000\n"),
         "0114-0115 23:00 A|"},
        {"daily, COUNT", Event("DTSTART;VALUE=DATE:20270130\nRRULE:FREQ=DAILY;COUNT=3\n"),
         "0130 A|0131 A|0201 A|"},
        {"weekly BYDAY, UNTIL inclusive",
         Event("DTSTART:20270104T090000\nRRULE:FREQ=WEEKLY;BYDAY=MO,TH;UNTIL=20270111T090000\n"),
         "0104 09:00 A|0107 09:00 A|0111 09:00 A|"},
        {"every other week",
         Event("DTSTART;VALUE=DATE:20270104\nRRULE:FREQ=WEEKLY;INTERVAL=2;COUNT=3\n"),
         "0104 A|0118 A|0201 A|"},
        {"monthly, last day",
         Event("DTSTART;VALUE=DATE:20270131\nRRULE:FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=3\n"),
         "0131 A|0228 A|0331 A|"},
        {"monthly, last weekday by BYSETPOS",
         Event("DTSTART;VALUE=DATE:20270129\n"
               "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=3\n"),
         "0129 A|0226 A|0331 A|"},
        {"yearly, 29 February only in leap years",
         Event("DTSTART;VALUE=DATE:20240229\nRRULE:FREQ=YEARLY\n"), "0229 A|", 2028},
        {"yearly, none in a common year", Event("DTSTART;VALUE=DATE:20240229\nRRULE:FREQ=YEARLY\n"),
         ""},
        {"hourly", Event("DTSTART:20270114T220000\nRRULE:FREQ=HOURLY;INTERVAL=2;COUNT=2\n"),
         "0114 22:00 A|0115 00:00 A|"},
        {"minutely and secondly",
         Event("DTSTART:20270114T235959\nRRULE:FREQ=SECONDLY;COUNT=2\n") +
             Event("DTSTART:20270301T120000\nRRULE:FREQ=MINUTELY;INTERVAL=30;COUNT=2\n", "B"),
         "0114 23:59 A|0115 00:00 A|0301 12:00 B|0301 12:30 B|"},
        {"EXDATE, a list",
         Event("DTSTART;VALUE=DATE:20270101\nRRULE:FREQ=DAILY;COUNT=4\n"
               "EXDATE;VALUE=DATE:20270102,20270104\n"),
         "0101 A|0103 A|"},
        {"EXDATE in UTC and without a zone on a zoned series",
         std::string(kNewYork) + Event("DTSTART;TZID=NY:20270104T190000\nRRULE:FREQ=DAILY;COUNT=3\n"
                                       "EXDATE:20270106T000000Z\nEXDATE:20270106T190000\n"),
         "0105 09:00 A|"},
        {"RDATE in UTC and without a zone on a zoned series",
         std::string(kNewYork) + Event("DTSTART;TZID=NY:20270104T190000\n"
                                       "RDATE:20270110T000000Z\nRDATE:20270112T190000\n"),
         "0105 09:00 A|0110 09:00 A|0113 09:00 A|"},
        {"RDATE, a time and a period",
         Event("DTSTART:20270301T100000\nDTEND:20270301T110000\nRDATE:20270310T100000\n"
               "RDATE;VALUE=PERIOD:20270320T230000/20270322T010000\n"),
         "0301 10:00 A|0310 10:00 A|0320-0322 23:00 A|"},
        {"series by RDATE alone",
         Event("DTSTART;VALUE=DATE:20270501\nRDATE;VALUE=DATE:20270505,20270510\n"),
         "0501 A|0505 A|0510 A|"},
        {"two RRULEs, their union",
         Event("DTSTART;VALUE=DATE:20270601\nRRULE:FREQ=DAILY;COUNT=2\n"
               "RRULE:FREQ=WEEKLY;COUNT=2\n"),
         "0601 A|0602 A|0608 A|"},
        {"a moved and a cancelled instance",
         Event("DTSTART:20270104T100000\nDTEND:20270104T110000\nRRULE:FREQ=WEEKLY;COUNT=4\n", "W") +
             "BEGIN:VEVENT\nUID:W@t\nRECURRENCE-ID:20270111T100000\nSUMMARY:W moved\n"
             "DTSTART:20270112T150000\nDTEND:20270112T160000\nEND:VEVENT\n"
             "BEGIN:VEVENT\nUID:W@t\nRECURRENCE-ID:20270118T100000\nSTATUS:CANCELLED\n"
             "DTSTART:20270118T100000\nEND:VEVENT\n",
         "0104 10:00 W|0112 15:00 W moved|0125 10:00 W|"},
        {"a cancelled event", Event("DTSTART;VALUE=DATE:20270114\nSTATUS:CANCELLED\n"), ""},
        {"fifth Wednesdays, which only some months have",
         Event("DTSTART;VALUE=DATE:20270331\nRRULE:FREQ=MONTHLY;BYDAY=+5WE;COUNT=2\n"),
         "0331 A|0630 A|"},
        {"the year's sixth and seventh Mondays",
         Event("DTSTART;VALUE=DATE:20270208\nRRULE:FREQ=YEARLY;BYDAY=+6MO,+7MO;COUNT=2\n"),
         "0208 A|0215 A|"},
        {"a moved instance without its series stands alone",
         "BEGIN:VEVENT\nUID:O@t\nRECURRENCE-ID:20270111T100000\nSUMMARY:O\n"
         "DTSTART:20270112T150000\nEND:VEVENT\n",
         "0112 15:00 O|"},
        {"a cancelled series takes its moved instances with it",
         Event("DTSTART:20270104T100000\nRRULE:FREQ=WEEKLY;COUNT=4\nSTATUS:CANCELLED\n", "W") +
             "BEGIN:VEVENT\nUID:W@t\nRECURRENCE-ID:20270111T100000\nSUMMARY:W moved\n"
             "DTSTART:20270112T150000\nEND:VEVENT\n",
         ""},
        {"New York's evening is Japan's next morning, summer and winter",
         std::string(kNewYork) + Event("DTSTART;TZID=NY:20270714T190000\nDURATION:PT1H\n") +
             Event("DTSTART;TZID=NY:20271214T190000\nDURATION:PT1H\n", "B"),
         "0715 08:00 A|1215 09:00 B|"},
        {"a zone defined after its events",
         Event("DTSTART;TZID=NY:20270714T190000\nDURATION:PT1H\n") + kNewYork, "0715 08:00 A|"},
        {"a zone given by its onsets",
         "BEGIN:VTIMEZONE\nTZID:X\nBEGIN:DAYLIGHT\nDTSTART:20270314T020000\n"
         "RDATE:20280312T020000\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\nEND:DAYLIGHT\n"
         "BEGIN:STANDARD\nDTSTART:20261101T020000\nRDATE:20271107T020000\n"
         "TZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nEND:STANDARD\nEND:VTIMEZONE\n" +
             Event("DTSTART;TZID=X:20270714T190000\n") +
             Event("DTSTART;TZID=X:20271214T190000\n", "B"),
         "0715 08:00 A|1215 09:00 B|"},
        {"an IANA name without VTIMEZONE, and a Windows name",
         Event("DTSTART;TZID=America/New_York:20270714T190000\n") +
             Event("DTSTART;TZID=Eastern Standard Time:20271214T190000\n", "B") +
             Event("DTSTART;TZID=Tokyo Standard Time:20270301T000000\n", "C"),
         "0301 00:00 C|0715 08:00 A|1215 09:00 B|"},
        {"UNTIL in UTC across the summer-time change",
         std::string(kNewYork) +
             Event("DTSTART;TZID=NY:20270301T090000\nRRULE:FREQ=WEEKLY;UNTIL=20270322T130000Z\n"),
         "0301 23:00 A|0308 23:00 A|0315 22:00 A|0322 22:00 A|"},
        {"UNTIL in UTC east of it",
         Event(
             "DTSTART;TZID=Asia/Tokyo:20270301T090000\nRRULE:FREQ=DAILY;UNTIL=20270302T000000Z\n"),
         "0301 09:00 A|0302 09:00 A|"},
        {"a DATE UNTIL on a timed series",
         Event("DTSTART:20270301T090000\nRRULE:FREQ=DAILY;UNTIL=20270302\n"),
         "0301 09:00 A|0302 09:00 A|"},
        {"a TZID on a date keeps the date",
         std::string(kNewYork) + Event("DTSTART;TZID=NY;VALUE=DATE:20270714\n"), "0714 A|"},
        {"an end without a zone is in the start's",
         std::string(kNewYork) + Event("DTSTART;TZID=NY:20270714T190000\nDTEND:20270715T190000\n"),
         "0715-0716 08:00 A|"},
        {"an end without a zone still covers the start day",
         std::string(kNewYork) + Event("DTSTART;TZID=NY:20270714T190000\nDTEND:20270714T080000\n"),
         "0715 08:00 A|"},
        {"beyond 2037 summer time still holds",
         std::string(kNewYork) + Event("DTSTART;TZID=NY:20400714T190000\n"), "0715 08:00 A|", 2040},
        {"Japanese and emoji names, folded inside a character",
         "BEGIN:VEVENT\nUID:j@t\nDTSTART;VALUE=DATE:20270505\nSUMMARY:こどもの\xE6\n"
         " \x97\xA5 🎏\nEND:VEVENT\n",
         "0505 こどもの日 🎏|"},
        {"to-dos, journals and unknown components are skipped",
         "BEGIN:VTODO\nDTSTART:20270101T100000\nSUMMARY:T\nEND:VTODO\nBEGIN:VJOURNAL\n"
         "DTSTART:20270101T100000\nSUMMARY:J\nEND:VJOURNAL\nBEGIN:X-THING\nSUMMARY:X\n"
         "END:X-THING\n" +
             Event("DTSTART;VALUE=DATE:20270102\n"),
         "0102 A|"},
        {"an empty LOCATION, as Google writes it, is no error",
         Event("DTSTART;VALUE=DATE:20270114\nLOCATION:\n"), "0114 A|"},
        {"outside the page", Event("DTSTART;VALUE=DATE:20260114\n"), ""},
        {"east of Japan, a wall time after the page that is its last day",
         "BEGIN:VTIMEZONE\nTZID:K\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
         "TZOFFSETFROM:+1400\nTZOFFSETTO:+1400\nEND:STANDARD\nEND:VTIMEZONE\n" +
             Event("DTSTART;TZID=K:20271225T020000\nRRULE:FREQ=WEEKLY;COUNT=2\n"),
         "1224 21:00 A|1231 21:00 A|"},
        {"west of Japan, a wall time before the page that is its first day",
         "BEGIN:VTIMEZONE\nTZID:P\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
         "TZOFFSETFROM:-1100\nTZOFFSETTO:-1100\nEND:STANDARD\nEND:VTIMEZONE\n" +
             Event("DTSTART;TZID=P:20261224T100000\nRRULE:FREQ=WEEKLY;COUNT=3\n"),
         "0101 06:00 A|0108 06:00 A|"},
        {"29 February 2000, a leap year by the 400-year rule",
         Event("DTSTART;VALUE=DATE:20000228\nRRULE:FREQ=DAILY;COUNT=3\n"), "0228 A|0229 A|0301 A|",
         2000},
        {"none in 2100, no leap year by the 100-year rule",
         Event("DTSTART:21000228T230000\nDTEND:21000301T010000\n"), "0228-0301 23:00 A|", 2100},
    };
    for (const Case& c : cases) {
        const Calendar calendar = Read(c.body, c.year);
        EXPECT_TRUE(calendar.problem.empty()) << c.what << ": " << calendar.problem;
        EXPECT_EQ(Shown(calendar), c.shown) << c.what;
        for (const Warning& w : calendar.warnings) ADD_FAILURE() << c.what << ": " << w.reason;
    }
}

TEST(Events, FilesAsTheyComeAndAsTheyShouldNot) {
    const std::string event = "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20270114\r\nSUMMARY:";
    const std::string end = "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const std::string head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    const auto read = [](const std::string& bytes) {
        return ReadCalendar(bytes, DayOf(2027, 1, 1), DayOf(2027, 1, 31));
    };
    // A byte-order mark and CR LF; code page 932 where UTF-8 fails.
    EXPECT_EQ(Shown(read("\xEF\xBB\xBF" + head + event + "歯医者" + end)), "0114 歯医者|");
    EXPECT_EQ(Shown(read(head + event + "\x8E\x95\x88\xE3\x8E\xD2" + end)), "0114 歯医者|");
    EXPECT_EQ(read(head + event + "\xFF\xFE" + end).problem,
              "neither UTF-8 nor code page 932, from line 6");
    // Two calendars in one file, as some programs export: both are read.
    EXPECT_EQ(Shown(read(head + event + "一" + end + head + event + "二" + end)),
              "0114 一|0114 二|");
    EXPECT_EQ(read("hello\n").problem, "holds no VCALENDAR");
    EXPECT_EQ(read("").problem, "holds no VCALENDAR");
    Limits small;
    small.fileBytes = 10;
    EXPECT_EQ(ReadCalendar(head, 0, 1, small).problem, "larger than the limit of 0 MiB");

    // An event libical cannot read is left out, naming its line; the rest stay.
    const Calendar bad = read(head + "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:2027011\r\nEND:VEVENT\r\n" +
                              event + "ok" + end);
    EXPECT_EQ(Shown(bad), "0114 ok|");
    ASSERT_EQ(bad.warnings.size(), 1U);
    EXPECT_EQ(bad.warnings[0].line, 3);

    // Dates and times that do not exist are left out, naming their line.
    for (const char* impossible : {"20270231T100000", "20271301T100000", "00000101T100000",
                                   "20270101T250000", "20270101T106100", "20270101T100061"}) {
        const Calendar c = read(head + "BEGIN:VEVENT\r\nUID:b\r\nDTSTART:" + impossible +
                                "\r\nEND:VEVENT\r\n" + event + "ok" + end);
        EXPECT_EQ(Shown(c), "0114 ok|") << impossible;
        ASSERT_FALSE(c.warnings.empty()) << impossible;
        EXPECT_EQ(c.warnings[0].reason, "DTSTART is no real date and time of the years 1 to 9999");
    }

    // libical's own complaint about a stray END never reaches standard error.
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    std::FILE* caught = std::tmpfile();
    ::dup2(::fileno(caught), STDERR_FILENO);
    read(head + "END:VEVENT\r\n" + event + "x" + end);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    EXPECT_EQ(std::ftell(caught), 0L);
    std::fclose(caught);
}

TEST(Events, LimitsCutHostileRules) {
    const std::string file =
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:s\nDTSTART:20270101T000000\nRRULE:FREQ=SECONDLY\n"
        "SUMMARY:s\nEND:VEVENT\nBEGIN:VEVENT\nUID:o\nDTSTART:19000101T000000\n"
        "RRULE:FREQ=MINUTELY\nSUMMARY:o\nEND:VEVENT\nEND:VCALENDAR\n";
    const Calendar calendar = ReadCalendar(file, DayOf(2027, 1, 1), DayOf(2027, 12, 31));
    EXPECT_EQ(calendar.occurrences.size(), 1000U);
    // A weekday no month has so many of is refused before libical searches
    // years for it.
    for (const char* rule : {"FREQ=MONTHLY;BYDAY=-6WE", "FREQ=YEARLY;BYMONTH=3;BYDAY=6FR"}) {
        const Calendar missing =
            Read(Event(std::string("DTSTART;VALUE=DATE:20270106\nRRULE:") + rule + "\n"));
        ASSERT_EQ(missing.warnings.size(), 1U) << rule;
        EXPECT_NE(missing.warnings[0].reason.find("BYDAY asks for a weekday"), std::string::npos)
            << missing.warnings[0].reason;
        EXPECT_EQ(Shown(missing), "0106 A|");
    }
    ASSERT_EQ(calendar.warnings.size(), 2U);
    EXPECT_EQ(calendar.warnings[0].line, 2);
    EXPECT_EQ(calendar.warnings[1].line, 8);
    Limits tight;
    tight.workPerFile = 10;
    // A long list of dates counts as much work as a rule.
    std::string dates =
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:r\nDTSTART;VALUE=DATE:20270101\n"
        "SUMMARY:r\nRDATE;VALUE=DATE:20270102";
    for (int day = 3; day <= 28; ++day)
        dates += ",202701" + std::to_string(day / 10) + std::to_string(day % 10);
    dates += "\nEND:VEVENT\nEND:VCALENDAR\n";
    const Calendar listed = ReadCalendar(dates, DayOf(2027, 1, 1), DayOf(2027, 12, 31), tight);
    EXPECT_LE(listed.occurrences.size(), 10U);
    EXPECT_EQ(listed.warnings.size(), 1U);
    EXPECT_LE(ReadCalendar(file, DayOf(2027, 1, 1), DayOf(2027, 12, 31), tight).occurrences.size(),
              10U);
}

TEST(Events, WindowsNamesFromTheMapping) {
    EXPECT_EQ(ZoneForWindowsName("Tokyo Standard Time"), "Asia/Tokyo");
    EXPECT_EQ(ZoneForWindowsName("W. Europe Standard Time"), "Europe/Berlin");
    EXPECT_EQ(ZoneForWindowsName("Tokyo"), "");
}

}  // namespace
}  // namespace rumora::events
