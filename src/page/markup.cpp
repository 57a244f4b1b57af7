#include "page/markup.h"

namespace rumora {

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    // Most texts have nothing to escape: copied whole.
    if (!NeedsHtmlEscaping(text)) {
        out += text;
        return;
    }
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
    // A POSIX name may hold ":" and "\" as plain characters; in a Windows
    // path "\" separates folders and only a drive letter's colon is "|".
    const bool posix = path.starts_with('/');
    const bool driveLetter = StartsWithDriveLetter(path);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char ch = path[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c == ':' && i == 1 && driveLetter) {
            out.push_back('|');
        } else if (c == '\\' && !posix) {
            out.push_back('/');
        } else if (c >= 0x80 || c == ':' || c == '\\' || NeedsPercentEncoding(c)) {
            // Non-ASCII goes as its UTF-8 bytes, so the address reaches the
            // file whatever character set a browser reads the page in.
            out.push_back('%');
            AppendHexByte(out, c);
        } else {
            out.push_back(ch);
        }
    }
}

}  // namespace rumora
