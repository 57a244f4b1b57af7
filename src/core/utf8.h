// UTF-8 as every part of rumora reads it: a well-formed sequence is one
// character; every byte that is not part of one is a character of its own,
// which the page file writes as "?" and the text fields count and select as
// one. No text can make a walk over it stall.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rumora {

// Byte length of the well-formed sequence at text[at] (at < size), or 0
// when the bytes there form none: a stray continuation byte, an overlong
// form, a surrogate, a code point beyond U+10FFFF, a sequence cut short.
// Inline: the page file's conversion calls it for every character.
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80U) return 1;

    // Length and the allowed range of the second byte, which rules out
    // overlong forms, surrogates and code points above U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80U;
    unsigned char high = 0xBFU;
    if (lead >= 0xC2U && lead <= 0xDFU) {
        length = 2;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
        length = 3;
        if (lead == 0xE0U) low = 0xA0U;
        if (lead == 0xEDU) high = 0x9FU;
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
        length = 4;
        if (lead == 0xF0U) low = 0x90U;
        if (lead == 0xF4U) high = 0x8FU;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0U) != 0x80U) return 0;
    }
    return length;
}

// The code point of the well-formed sequence of `length` bytes at text[at].
inline char32_t DecodeUtf8(std::string_view text, std::size_t at, std::size_t length) {
    const auto byte = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(text[at + i]));
    };
    if (length == 1) return byte(0);
    static constexpr char32_t kLeadBits[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t codePoint = byte(0) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) codePoint = codePoint << 6 | (byte(i) & 0x3F);
    return codePoint;
}

// Appends the UTF-8 form of a code point (below U+110000, no surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

// Byte length of the character at text[at]: the sequence there, or one byte.
inline std::size_t CharacterLength(std::string_view text, std::size_t at) {
    const std::size_t length = Utf8SequenceLength(text, at);
    return length == 0 ? 1 : length;
}

// Number of characters in `text`.
int CharacterCount(std::string_view text);

}  // namespace rumora
