#pragma once

#include <string>

#include "app/page_settings.h"

namespace rumora {

inline constexpr std::string_view kBoldStyleBlock =
    "<head>\r\n<style type=text/css>\r\ntd {font-weight:bold}\r\n</style></head>\r\n";

// "<center><font face="..."> CRLF" with the font name escaped for the attribute.
void AppendFontLine(std::string& page, const PageSettings& s);

inline bool IsBold(const PageSettings& s) { return s.chkbold.Value != 0; }

}  // namespace rumora
