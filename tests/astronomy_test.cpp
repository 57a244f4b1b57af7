#include "calendar/astronomy.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rumora::astronomy {
namespace {

// Equinoxes within half an hour of midnight in Japan, and new moons, with the
// time an accurate ephemeris gives; the day must be right and the minute close.
TEST(Astronomy, MomentsNearMidnightFallOnTheRightDay) {
    struct Case {
        double degrees;  // solar longitude, or -1 for a new moon
        CivilDate day;
        double minutes;
    };
    const Case cases[] = {
        {180, {1950, 9, 23}, 23 * 60 + 43.5}, {0, {1956, 3, 21}, 20.2},
        {180, {1979, 9, 24}, 16.4},           {0, {1993, 3, 20}, 23 * 60 + 40.6},
        {180, {2012, 9, 22}, 23 * 60 + 49.0}, {0, {2026, 3, 20}, 23 * 60 + 46.0},
        {180, {2041, 9, 23}, 26.6},           {180, {2074, 9, 23}, 3.5},
        {-1, {2024, 1, 11}, 20 * 60 + 57.4},  {-1, {2023, 2, 20}, 16 * 60 + 5.8},
    };
    for (const Case& c : cases) {
        const double near = JapanMidnight(c.day) + 0.5;
        const double moment = c.degrees < 0 ? NewMoonMoment(near + 3.0)
                                            : SolarLongitudeMoment(c.degrees, near + 40.0);
        EXPECT_EQ(JapanDate(moment), c.day) << c.day.year << "-" << c.day.month;
        EXPECT_NEAR((moment - JapanMidnight(c.day)) * 1440.0, c.minutes, 0.75)
            << c.day.year << "-" << c.day.month;
        const double longitude = c.degrees < 0 ? SunApparentLongitude(moment) : c.degrees;
        const double moon =
            c.degrees < 0 ? MoonApparentLongitude(moment) : SunApparentLongitude(moment);
        EXPECT_NEAR(std::remainder(moon - longitude, 360.0), 0.0, 1e-6);
    }
}

TEST(Astronomy, DeltaTFollowsTheMeasurementsAndGrowsAfterThem) {
    EXPECT_NEAR(DeltaTSeconds(1950.0), 29.1, 0.5);
    EXPECT_NEAR(DeltaTSeconds(1973.0), 43.94, 0.01);
    EXPECT_NEAR(DeltaTSeconds(2020.5), 69.36, 0.01);
    EXPECT_NEAR(DeltaTSeconds(2026.0), 69.12, 0.01);
    EXPECT_NEAR(DeltaTSeconds(2100.0), 202.9, 0.5);
    // No step where the measurements end.
    for (double y : {1973.0, 2026.0, 2050.0}) {
        EXPECT_NEAR(DeltaTSeconds(y - 1e-6), DeltaTSeconds(y + 1e-6), 1e-3) << y;
    }
}

}  // namespace
}  // namespace rumora::astronomy
