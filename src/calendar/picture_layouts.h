// The three layouts that place the user's picture: above a row of three
// months, left of a column of three, or as the centred page background
// behind six months.
#pragma once

#include <string>

#include "app/page_settings.h"
#include "calendar/month_cursor.h"

namespace rumora {

void AppendStandard1Body(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                         MonthCursor& cursor);
void AppendStandard2Body(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                         MonthCursor& cursor);
// Progress starts the page anew with its own head, then appends its body.
void WriteProgressPage(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                       MonthCursor& cursor);

}  // namespace rumora
