// The sun's and the moon's events that the almanac and the old calendar are
// made of, each as the Japan-time (UTC+9) day of its instant: the solar
// longitudes of each year and the four quarters of each lunation.
#pragma once

#include <array>
#include <cstdint>

namespace rumora::sky {

using Day = std::int32_t;  // days since 1970-01-01, a Japan-time civil date

Day ToDay(int year, int month, int day);
int DaysInMonth(int year, int month);

// The solar longitudes of a year in the order of their dates: the 24 terms
// from 小寒 (285°) to 冬至 (270°), then 入梅 (80°), 半夏生 (100°) and the four
// 土用 (297°, 27°, 117°, 207°). Every one of them falls inside its year.
inline constexpr int kTerms = 24;
inline constexpr int kRisshun = 2;
inline constexpr int kShunbun = 5;
inline constexpr int kShubun = 17;
inline constexpr int kNyubai = 24;
inline constexpr int kHangesho = 25;
inline constexpr int kFirstDoyo = 26;  // winter, spring, summer, autumn
inline constexpr int kSolarEvents = 30;
double SolarEventLongitude(int index);

struct SolarDay {
    Day day;
    bool before_noon;  // the instant falls before 12:00 Japan time
};

// Lunation 0 has the new moon of 2000-01-06. Quarter 0 is the new moon,
// 1 the first quarter, 2 the full moon, 3 the last quarter: the moon's
// apparent longitude 0°, 90°, 180° or 270° past the sun's.
inline constexpr int kQuarters = 4;
inline constexpr double kSynodicMonth = 29.530588861;
inline constexpr double kFirstNewMoon = 2451550.09766;  // lunation 0, TT

// From the ephemeris (ERFA).
SolarDay ComputeSolarDay(int year, int index);
Day ComputeMoonDay(int lunation, int quarter);

// The same, from the table made at build time where it holds them.
SolarDay SolarDayOf(int year, int index);
// All of a year's, in the order above.
std::array<SolarDay, kSolarEvents> SolarDaysOf(int year);
Day MoonDayOf(int lunation, int quarter);

// The lunation whose new moon is the last on or before the day.
int LunationOf(Day day);

}  // namespace rumora::sky
