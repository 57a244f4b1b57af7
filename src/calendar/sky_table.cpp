#include <cmath>

#include "calendar/sky_events.h"

namespace rumora::sky {

SolarDay SolarDayOf(int year, int index) { return ComputeSolarDay(year, index); }

Day MoonDayOf(int lunation, int quarter) { return ComputeMoonDay(lunation, quarter); }

int LunationOf(Day day) {
    constexpr double kJdOfDay0 = 2440587.5;  // JD at 00:00 UT of 1970-01-01
    const double jd = day + kJdOfDay0 + 0.5;
    int k = static_cast<int>(std::floor((jd - kFirstNewMoon) / kSynodicMonth));
    while (MoonDayOf(k, 0) > day) --k;
    while (MoonDayOf(k + 1, 0) <= day) ++k;
    return k;
}

}  // namespace rumora::sky
