#include "core/utf8.h"

namespace rumora {

void AppendUtf8(std::string& out, char32_t codePoint) {
    const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | codePoint >> 6);
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | codePoint >> 12);
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | codePoint >> 18);
        put(0x80 | (codePoint >> 12 & 0x3F));
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

int CharacterCount(std::string_view text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) ++count;
    return count;
}

}  // namespace rumora
