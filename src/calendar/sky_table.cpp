#include "calendar/sky_table.h"

#include <cmath>

namespace rumora::sky {

SolarDay SolarDayOf(int year, int index) {
    if (year < table::kFirstYear || year > table::kLastYear) return ComputeSolarDay(year, index);
    const std::uint16_t entry = table::kSolar[year - table::kFirstYear][index];
    return {ToDay(year, 1, 1) + (entry & ~table::kBeforeNoon), (entry & table::kBeforeNoon) != 0};
}

std::array<SolarDay, kSolarEvents> SolarDaysOf(int year) {
    std::array<SolarDay, kSolarEvents> days{};
    if (year < table::kFirstYear || year > table::kLastYear) {
        for (int i = 0; i < kSolarEvents; ++i) days[std::size_t(i)] = ComputeSolarDay(year, i);
        return days;
    }
    const Day newYear = ToDay(year, 1, 1);
    const std::uint16_t(&entries)[kSolarEvents] = table::kSolar[year - table::kFirstYear];
    for (int i = 0; i < kSolarEvents; ++i) {
        const std::uint16_t entry = entries[i];
        days[std::size_t(i)] = {newYear + (entry & ~table::kBeforeNoon),
                                (entry & table::kBeforeNoon) != 0};
    }
    return days;
}

Day MoonDayOf(int lunation, int quarter) {
    if (lunation < table::kFirstLunation || lunation > table::kLastLunation) {
        return ComputeMoonDay(lunation, quarter);
    }
    const table::Lunation& entry = table::kLunation[lunation - table::kFirstLunation];
    const Day new_moon = table::MeanNewMoonDay(lunation) + entry.new_moon;
    return quarter == 0 ? new_moon : new_moon + entry.quarters[quarter - 1];
}

int LunationOf(Day day) {
    constexpr double kJdOfDay0 = 2440587.5;  // JD at 00:00 UT of 1970-01-01
    const double jd = day + kJdOfDay0 + 0.5;
    int k = static_cast<int>(std::floor((jd - kFirstNewMoon) / kSynodicMonth));
    while (MoonDayOf(k, 0) > day) --k;
    while (MoonDayOf(k + 1, 0) <= day) ++k;
    return k;
}

}  // namespace rumora::sky
