#pragma once

#include <string>
#include <string_view>

namespace rumora {

// Converts UTF-8 text to Windows code page 932 (Shift-JIS), the page file's
// format. A character the code page lacks becomes a similar one where glibc
// knows one, otherwise "?". A similar character that would be markup
// (< > & " ') is written as "?" too, so escaped text stays escaped. Bytes
// that are not UTF-8 become "?". The result never depends on the process
// locale.
std::string ToCodePage932(std::string_view utf8);

}  // namespace rumora
