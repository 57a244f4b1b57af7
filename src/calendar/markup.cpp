#include "calendar/markup.h"

#include <algorithm>

#include "output/code_page.h"

namespace rumora {

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                entity = "&quot;";
                break;
            case '\'':
                entity = "&#39;";
                break;
            default:
                continue;
        }
        out.append(text.substr(run, i - run));
        out.append(entity);
        run = i + 1;
    }
    out.append(text.substr(run));
}

namespace {

bool NeedsPercentEncoding(unsigned char c) {
    if (c < 0x20 || c == 0x7F) return true;
    switch (c) {
        case ' ':
        case '"':
        case '#':
        case '%':
        case '&':
        case '\'':
        case '(':
        case ')':
        case '<':
        case '>':
        case '?':
        case '`':
        case '{':
        case '}':
            return true;
        default:
            return false;
    }
}

}  // namespace

void AppendPictureUrlPath(std::string& out, std::string_view path) {
    std::size_t i = 0;
    while (i < path.size()) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c >= 0x80) {
            // A character the page file cannot hold as itself would come out
            // as "?" or a look-alike; its UTF-8 bytes, percent-encoded, still
            // lead the browser to the file. So does a byte that is not UTF-8.
            std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            length = std::min(length, path.size() - i);
            const std::string_view character = path.substr(i, length);
            if (length > 1 && CodePage932HoldsExactly(character)) {
                out.append(character);
            } else {
                out.push_back('%');
                AppendHexByte(out, c);
                length = 1;
            }
            i += length;
            continue;
        }
        if (c == ':') {
            out.push_back('|');
        } else if (c == '\\') {
            out.push_back('/');
        } else if (NeedsPercentEncoding(c)) {
            out.push_back('%');
            AppendHexByte(out, c);
        } else {
            out.push_back(static_cast<char>(c));
        }
        ++i;
    }
}

}  // namespace rumora
