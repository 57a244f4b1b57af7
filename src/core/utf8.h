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
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

// The code point of the well-formed sequence of `length` bytes at text[at].
char32_t DecodeUtf8(std::string_view text, std::size_t at, std::size_t length);

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
