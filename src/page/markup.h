// Small appenders shared by the generators. Everything appends into one
// buffer; nothing formats through streams.
#pragma once

#include <string>
#include <string_view>

#include "core/decimal.h"

namespace rumora {

// Text placed inside markup: & < > " ' become entities, all else verbatim.
void AppendHtmlEscaped(std::string& out, std::string_view text);

// Whether AppendHtmlEscaped would change the text.
inline bool NeedsHtmlEscaping(std::string_view text) {
    for (const char c : text) {
        if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') return true;
    }
    return false;
}

// "D:...": an ASCII letter and a colon, a Windows drive.
inline bool StartsWithDriveLetter(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The picture path as the URL path P. A path starting with "/" is a POSIX
// name: its ":" and "\" are %3A and %5C. Any other path is a Windows one:
// "\" becomes "/", a drive letter's colon ("D:") becomes "|", and any other
// colon %3A. Everywhere, the characters a URL or the surrounding markup
// cannot hold, and every non-ASCII byte, become %XX.
void AppendPictureUrlPath(std::string& out, std::string_view path);

}  // namespace rumora
