// The three layouts that place the user's picture: above a row of three
// months, left of a column of three, or as the centred page background
// behind six months.
#pragma once

#include <string>

#include "core/page_options.h"
#include "page/month_cursor.h"

namespace rumora {

void AppendStandard1Body(std::string& page, const PageOptions& options, const ScreenMetrics& screen,
                         MonthCursor& cursor);
void AppendStandard2Body(std::string& page, const PageOptions& options, const ScreenMetrics& screen,
                         MonthCursor& cursor);
// Progress appends its own body line, with the picture as the background,
// right after the document start.
void AppendProgressBody(std::string& page, const PageOptions& options, const ScreenMetrics& screen,
                        MonthCursor& cursor);

}  // namespace rumora
