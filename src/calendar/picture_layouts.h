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
// Progress appends its own body line, with the picture as the background,
// right after the document start.
void AppendProgressBody(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                        MonthCursor& cursor);

}  // namespace rumora
