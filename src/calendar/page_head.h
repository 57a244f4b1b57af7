#pragma once

#include <string>

#include "app/page_settings.h"
#include "calendar/page_encoding.h"

namespace rumora {

// "<html>" CRLF, then the bold style block when bold is on. The page's
// character set is declared first thing in the head (or right after
// "<html>" without one), so no browser guesses it from the text.
void AppendDocumentStart(std::string& page, const PageSettings& s, PageEncoding encoding);

// "<center><font face="..."> CRLF" with the font name escaped for the attribute.
void AppendFontLine(std::string& page, const PageSettings& s);

}  // namespace rumora
