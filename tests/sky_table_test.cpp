#include "calendar/sky_table.h"

#include <gtest/gtest.h>

namespace rumora::sky {
namespace {

// The table made at build time holds, event for event, what the ephemeris
// gives; past its ends the lookups compute. About 18,000 events: seconds.
TEST(SkyTable, AgreesWithTheEphemeris) {
    int checked = 0;
    for (int year = table::kFirstYear; year <= table::kLastYear; ++year) {
        for (int i = 0; i < kSolarEvents; ++i, ++checked) {
            const SolarDay kept = SolarDayOf(year, i);
            const SolarDay computed = ComputeSolarDay(year, i);
            ASSERT_EQ(kept.day, computed.day) << year << " event " << i;
            ASSERT_EQ(kept.before_noon, computed.before_noon) << year << " event " << i;
        }
    }
    for (int k = table::kFirstLunation - 1; k <= table::kLastLunation + 1; ++k) {
        for (int q = 0; q < kQuarters; ++q, ++checked) {
            ASSERT_EQ(MoonDayOf(k, q), ComputeMoonDay(k, q))
                << "lunation " << k << " quarter " << q;
        }
    }
    EXPECT_EQ(checked, table::kYears * kSolarEvents + (table::kLunations + 2) * kQuarters);
}

}  // namespace
}  // namespace rumora::sky
