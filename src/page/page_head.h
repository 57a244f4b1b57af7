#pragma once

#include <string>

#include "core/page_options.h"

namespace rumora {

// "<html>" CRLF, then the bold style block when bold is on. The page's
// character set is declared first thing in the head (or right after
// "<html>" without one), so no browser guesses it from the text.
void AppendDocumentStart(std::string& page, const PageOptions& options);

// "<center><font face="..."> CRLF" with the font name escaped for the attribute.
void AppendFontLine(std::string& page, const PageOptions& options);

}  // namespace rumora
