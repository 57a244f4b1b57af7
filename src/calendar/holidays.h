// Japan's national holidays under 国民の祝日に関する法律 and the special laws
// beside it, from the day the law took effect (1948-07-20), with every
// change at the date it took effect. Years after the last announced equinox
// days are a projection of today's law.
#pragma once

#include <array>
#include <cstdint>

namespace rumora {

enum class HolidayLanguage {
    Japanese,  // the law's names, 振替休日 and 国民の休日
    English,   // the Cabinet Office's English names
};

// Holiday names of one month by day, index 1 to 31; nullptr on other days.
using MonthHolidayNames = std::array<const char*, 32>;

// Computed once per year and kept, so every later month of it is a lookup.
// Safe to call from several threads.
MonthHolidayNames HolidaysOfMonth(int year, int month, HolidayLanguage language);

// The holiday on one date, or nullptr.
const char* HolidayName(int year, int month, int day, HolidayLanguage language);

// The national holidays of one month as a day set: bit d for day d.
std::uint32_t HolidayDaysOfMonth(int year, int month);

// The Japan-time day of March (春分日) or September (秋分日) on which the
// sun's apparent longitude reaches 0° or 180°.
int EquinoxDay(int year, int month);

}  // namespace rumora
