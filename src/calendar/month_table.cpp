#include "calendar/month_table.h"

#include <chrono>

#include "calendar/holidays.h"
#include "calendar/markup.h"
#include "calendar/old_calendar.h"
#include "calendar/page_error.h"

namespace rumora {

namespace {

constexpr std::string_view kCrLf = "\r\n";

void ThrowIfUnformable(int year, int month) {
    if (year > 9999) {
        throw PageBuildError(PageBuildError::Kind::PastLastMonth,
                             "the page would need a month after December 9999");
    }
    if (year < 1 || month < 1 || month > 12) {
        throw PageBuildError(PageBuildError::Kind::MonthOutOfRange,
                             "the calendar cannot form month " + std::to_string(month) +
                                 " of year " + std::to_string(year));
    }
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int WeekdayOfFirst(int year, int month) {
    using namespace std::chrono;
    const weekday day{sys_days{std::chrono::year{year} / std::chrono::month{unsigned(month)} / 1}};
    return static_cast<int>(day.c_encoding()) + 1;
}

void AppendCalendarTable(std::string& out, PageSettings& s, std::int16_t year, std::int16_t month) {
    ThrowIfUnformable(year, month);

    if (month == 2) s.intMonthDays[2] = IsLeapYear(year) ? 29 : 28;
    const int monthLength = s.intMonthDays[month];
    const int firstWeekday = WeekdayOfFirst(year, month);

    out += "<table border=";
    AppendHtmlEscaped(out, s.txttblborder.Text);
    out += ">";
    out += kCrLf;

    const bool japanese = s.cmbLanguage.Text == kLanguageJapanese;
    const bool english = s.cmbLanguage.Text == kLanguageEnglish;

    out += "<tr><td colspan=7 align=right><font size=-1>";
    AppendDecimal(out, year);
    out += '.';
    AppendDecimal(out, month);
    out += "  - ";
    out += japanese ? s.strMonthJp[month] : s.strMonthEn[month];
    out += " -</font></td></tr>";

    const bool mondayFirst = s.optWeekStart[1].Value;
    if (japanese || english) {
        out += "<tr align=center bgcolor=#";
        for (const ScrollBar& bar : s.ScrColor)
            AppendHexByte(out, static_cast<unsigned>(bar.Value));
        out += '>';
        out += kCrLf;
        const std::string_view sunday = japanese ? "<td><font color=#ff0000> 日 </font></td>"
                                                 : "<td><font color=#ff0000>Sun</font></td>";
        const std::string_view rest =
            japanese ? "<td>月</td><td>火</td><td>水</td><td>木</td><td>金</td><td><font "
                       "color=#0000ff>土</font></td>"
                     : "<td>Mon</td><td>Tue</td><td>Wed</td><td>Thu</td><td> Fri </td><td><font "
                       "color=#0000ff>Sat</font></td>";
        if (!mondayFirst) out += sunday;
        out += rest;
        if (mondayFirst) out += sunday;
        out += "</tr>";
        out += kCrLf;
        out += "<tr align=right>";
    }

    MonthHolidayNames holidays{};
    if (s.chkHolidays.Value != 0) {
        holidays = HolidaysOfMonth(year, month,
                                   japanese ? HolidayLanguage::Japanese : HolidayLanguage::English);
    }

    std::array<std::int8_t, 31> rokuyo{};
    const bool withRokuyo =
        s.chkRokuyo.Value != 0 && old_calendar::MonthRokuyo(year, month, rokuyo);

    // Weekdays 1 = Sunday ... 7 = Saturday; a week's row closes after its
    // last column, Saturday or Sunday.
    const int lastWeekday = mondayFirst ? 1 : 7;
    const int blanks = mondayFirst ? (firstWeekday + 5) % 7 : firstWeekday - 1;
    for (int i = 0; i < blanks; ++i) out += "<td></td>";

    int weekday = firstWeekday;
    for (int day = 1; day <= monthLength; ++day) {
        if (holidays[day] != nullptr) {
            out += "<td title=\"";
            AppendHtmlEscaped(out, holidays[day]);
            out += "\"><font color=#ff0000>";
            AppendDecimal(out, day);
            out += "</font>";
        } else if (weekday == 1) {
            out += "<td><font color=#ff0000>";
            AppendDecimal(out, day);
            out += "</font>";
        } else if (weekday == 7) {
            out += "<td><font color=#0000ff>";
            AppendDecimal(out, day);
            out += "</font>";
        } else {
            out += "<td>";
            AppendDecimal(out, day);
        }
        if (withRokuyo) {
            out += "<br><font size=-2>";
            out += old_calendar::RokuyoName(rokuyo[day - 1], japanese);
            out += "</font>";
        }
        out += "</td>";
        if (weekday == lastWeekday) {
            out += "</tr>";
            out += kCrLf;
            out += "<tr align=right>";
        }
        weekday = weekday % 7 + 1;
    }
    out += "</tr></table>";
}

std::string MakeCalendarTable(PageSettings& s, std::int16_t year, std::int16_t month) {
    std::string table;
    table.reserve(1536);
    AppendCalendarTable(table, s, year, month);
    return table;
}

}  // namespace rumora
