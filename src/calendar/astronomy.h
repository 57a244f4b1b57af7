// Where the sun and the moon stand, and when they reach a given longitude:
// what the equinox days and the old calendar are computed from. Moments are
// Julian dates in Terrestrial Time (TT); Japan's civil date follows from
// them through ΔT and UTC+9.
#pragma once

namespace rumora::astronomy {

struct CivilDate {
    int year;
    int month;
    int day;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// TT − UT1 in seconds: the measured yearly values up to the last known one,
// the Espenak–Meeus polynomials before and after them.
double DeltaTSeconds(double decimal_year);

// The sun's apparent geocentric ecliptic longitude, true equinox and ecliptic
// of date, in degrees [0, 360): light time, aberration, precession, nutation.
double SunApparentLongitude(double jd_tt);

// The moon's, in the same frame (light time only: the moon shares the
// earth's orbital motion, so annual aberration does not apply to it).
double MoonApparentLongitude(double jd_tt);

// The TT moment when the sun's apparent longitude reaches target_degrees,
// the one nearest to jd_tt_near (within half a year of it).
double SolarLongitudeMoment(double target_degrees, double jd_tt_near);

// The TT moment of the new moon (equal apparent longitudes) nearest to
// jd_tt_near (within half a lunation of it).
double NewMoonMoment(double jd_tt_near);

// The civil date at UTC+9 of a TT moment.
CivilDate JapanDate(double jd_tt);

// The TT Julian date of 0 h UTC+9 on a civil date: the moment a Japanese
// day begins.
double JapanMidnight(CivilDate date);

}  // namespace rumora::astronomy
