// The layout of the table of the sun's and moon's events that
// make_almanac_table computes at build time, shared by the maker and the
// lookups in sky_table.cpp.
#pragma once

#include <cstdint>

#include "calendar/sky_events.h"

namespace rumora::sky::table {

// Two years beyond the almanac's at each end: the old calendar reaches
// back to the 冬至 of 1871 and on to the months of early 2102.
inline constexpr int kFirstYear = 1871;
inline constexpr int kLastYear = 2102;
inline constexpr int kYears = kLastYear - kFirstYear + 1;
inline constexpr int kFirstLunation = -1600;  // 1870-10
inline constexpr int kLastLunation = 1280;    // 2103-06
inline constexpr int kLunations = kLastLunation - kFirstLunation + 1;

// Each solar event: its day of the year (0 = 1 January) in the low bits,
// kBeforeNoon when its instant falls before noon.
inline constexpr std::uint16_t kBeforeNoon = 0x8000;
extern const std::uint16_t kSolar[kYears][kSolarEvents];

// Each lunation: its new moon's day less MeanNewMoonDay, then the days from
// the new moon to the first quarter, the full and the last quarter.
struct Lunation {
    std::int8_t new_moon;
    std::uint8_t quarters[kQuarters - 1];
};
extern const Lunation kLunation[kLunations];

// The Japan-time day of the mean new moon, in integers so that the maker
// and the lookups agree on every platform.
inline Day MeanNewMoonDay(int lunation) {
    // Millionths of a day since 1970-01-01 00:00 Japan time.
    constexpr std::int64_t kLunation0 = 10962972660;
    constexpr std::int64_t kMonth = 29530589;
    const std::int64_t t = kLunation0 + kMonth * lunation;
    return static_cast<Day>(t >= 0 ? t / 1000000 : -((-t + 999999) / 1000000));
}

}  // namespace rumora::sky::table
