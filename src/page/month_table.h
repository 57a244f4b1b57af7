#pragma once

#include <cstdint>
#include <string>

#include "calendar/closing_days.h"
#include "core/page_options.h"

namespace rumora {

// Appends the HTML table of one month: the title row, the coloured weekday
// header and one row per week, with the table border, language, header
// colour, holiday marks, 六曜 and week start of `options`. Throws
// PageBuildError for a year outside 1 to 9999 or a month outside 1 to 12,
// dates the calendar cannot form.
// `closings` are the month's closing days, given by a composer that works
// them out for all its months at once; without them the table works them
// out itself when options.closing has any.
void AppendCalendarTable(std::string& out, const PageOptions& options, int year, int month,
                         const MonthClosings* closings = nullptr);

// The same table as a text of its own.
std::string MakeCalendarTable(const PageOptions& options, int year, int month);

// The month's name in the title: traditional Japanese, or English.
std::string_view MonthName(int month, bool japanese);

}  // namespace rumora
