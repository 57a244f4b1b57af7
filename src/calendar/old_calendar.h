// The old lunisolar calendar (旧暦) as today's almanacs compute it, and the
// six-day 六曜 cycle that follows from it.
//
// A month begins on the Japan-time (UTC+9) day of a new moon. It holds a
// 中気 when the Japan-time date of the sun reaching a multiple of 30° falls
// within it. The month holding 冬至 is the 11th; when thirteen months begin
// between one 11th month and the next, the first of them without a 中気 is
// a leap month numbered like the month before it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace rumora::old_calendar {

// Years whose days carry a 六曜: from Japan's first Gregorian year to the
// last year for which ΔT is known well enough to place every new moon.
inline constexpr int kFirstYear = 1873;
inline constexpr int kLastYear = 2100;

inline bool InSpan(int year) { return year >= kFirstYear && year <= kLastYear; }

struct LunarDate {
    int month;  // 1 to 12
    int day;    // 1 to 30
    bool leap;  // 閏 month, numbered like the month before it
};

// The old-calendar date of a Gregorian date; none outside the span.
std::optional<LunarDate> LunarDateOf(int year, int month, int day);

// 0 大安, 1 赤口, 2 先勝, 3 友引, 4 先負, 5 仏滅.
inline int RokuyoIndex(const LunarDate& d) { return (d.month + d.day) % 6; }

std::string_view RokuyoName(int index, bool japanese);

// Writes the 六曜 index of each day of a Gregorian month into days (which
// holds at least the month's length). False, and nothing written, outside
// the span.
bool MonthRokuyo(int year, int month, std::span<std::int8_t> days);

// The note a tool shows once when a page reaches outside the span.
std::string_view OutsideSpanNote(bool japanese);

}  // namespace rumora::old_calendar
