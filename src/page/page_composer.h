#pragma once

#include <string>
#include <string_view>

#include "core/page_options.h"

namespace rumora {

// Builds the whole page: the page head, the layout's body and the closing.
// The picture layouts size the picture with the screen's measures. Throws
// PageBuildError when the page cannot be built. The page declares
// options.encoding, the one its file will be stored in.
std::string MakeHtmlPage(const PageOptions& options, const ScreenMetrics& screen);

// Same, into a buffer the caller owns (cleared first), so a caller that
// builds many pages can reuse its memory.
void BuildHtmlPage(std::string& page, const PageOptions& options, const ScreenMetrics& screen);

// The page's body block: what lies between the line of its <body> tag and
// "</body>", for a web site's own template. Empty when there is none.
std::string_view PageBodyBlock(std::string_view page);

// True when 六曜 is on and the page shows a month outside the years that
// carry it: those months are built without it, and the tool that asked says
// so once.
bool PageLacksSomeRokuyo(const PageOptions& options);

}  // namespace rumora
