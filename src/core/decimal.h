// Numbers written into generated text: plain decimal without sign, blank,
// leading zero or grouping, and two-digit hexadecimal bytes.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace rumora {

inline void AppendDecimal(std::string& out, std::int64_t value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// Two upper-case hex digits, as in a header colour "#96FAB4".
inline void AppendHexByte(std::string& out, unsigned value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.push_back(kHex[(value >> 4) & 0xF]);
    out.push_back(kHex[value & 0xF]);
}

}  // namespace rumora
