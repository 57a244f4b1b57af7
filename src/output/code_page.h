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

// Whether `character`, one UTF-8 character, is a character of code page 932
// as itself: without falling back to "?" or a similar character, and not
// sharing the bytes of an ASCII character (as ¥ and ‾ do).
bool CodePage932HoldsExactly(std::string_view character);

}  // namespace rumora
