#pragma once

#include <string>

#include "app/page_settings.h"
#include "calendar/page_encoding.h"

namespace rumora {

// Builds the whole page from the current choices: the page head, the layout
// named by lblLayOut.Caption, and the closing. Reads the record at call time
// and writes only February's month length. Throws PageBuildError when the
// page cannot be built; the caller's strCalendar is then left untouched.
// `encoding` is the one the page file will be stored in, which the page
// declares.
std::string MakeHtmlPage(PageSettings& s, const ScreenMetrics& screen,
                         PageEncoding encoding = PageEncoding::CodePage932);

// Same, into a buffer the caller owns (cleared first), so a caller that
// builds many pages can reuse its memory.
void BuildHtmlPage(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                   PageEncoding encoding = PageEncoding::CodePage932);

// True when 六曜 is on and the page shows a month outside the years that
// carry it: those months are built without it, and the tool that asked says
// so once.
bool PageLacksSomeRokuyo(const PageSettings& s);

}  // namespace rumora
