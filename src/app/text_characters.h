// Text fields count and select whole characters, while the record holds
// UTF-8. These helpers walk UTF-8 the way the fields count it: a complete,
// valid sequence is one character, and every byte that is not part of one
// counts as a character of its own, so no text can make the count stall.
#pragma once

#include <cstddef>
#include <string_view>

namespace rumora {

// Byte length of the character that starts at `text[at]` (at < size).
std::size_t CharacterLength(std::string_view text, std::size_t at);

// Number of characters in `text`.
int CharacterCount(std::string_view text);

}  // namespace rumora
