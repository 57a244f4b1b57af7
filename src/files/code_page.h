#pragma once

#include <string>
#include <string_view>

#include "core/page_encoding.h"

namespace rumora {

// Converts UTF-8 text to Windows code page 932 (Shift-JIS), the page file's
// format. A character the code page lacks becomes a similar one where glibc
// knows one, otherwise "?". A similar character that would be markup
// (< > & " ') is written as "?" too, so escaped text stays escaped. Bytes
// that are not UTF-8 become "?". The result never depends on the process
// locale.
std::string ToCodePage932(std::string_view utf8);

// A name from a calendar file as page markup: & < > " ' as entities, control
// characters as blanks, bytes that are not UTF-8 as "?", and on code page
// 932 pages every character the code page lacks (an emoji, say) as a
// numeric character reference, which the browser shows as it is.
std::string EventNameMarkup(std::string_view utf8, PageEncoding encoding);

}  // namespace rumora
