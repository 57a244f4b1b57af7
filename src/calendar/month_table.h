#pragma once

#include <cstdint>
#include <string>

#include "app/page_settings.h"

namespace rumora {

// Appends the HTML table of one month: the title row, the coloured weekday
// header and one row per week. Reads the table border, the language, the
// three colour values, the holiday mark and the week's first day from the
// record at call time; rewrites February's
// entry of the month-length table. Throws PageBuildError for a year outside
// 1 to 9999 or a month outside 1 to 12, dates the calendar cannot form.
void AppendCalendarTable(std::string& out, PageSettings& s, std::int16_t year, std::int16_t month);

// The same table as a text of its own.
std::string MakeCalendarTable(PageSettings& s, std::int16_t year, std::int16_t month);

// 1 = Sunday ... 7 = Saturday, proleptic Gregorian.
int WeekdayOfFirst(int year, int month);

bool IsLeapYear(int year);

}  // namespace rumora
