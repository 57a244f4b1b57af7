#include "app/text_characters.h"

namespace rumora {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

}  // namespace

std::size_t CharacterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const std::size_t left = text.size() - at;
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
        return 1;
    }
    if (left < length || byte(1) < low || byte(1) > high) return 1;
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(byte(i))) return 1;
    }
    return length;
}

int CharacterCount(std::string_view text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) ++count;
    return count;
}

}  // namespace rumora
