// Where the sun and the moon stand, and when they reach a given longitude:
// what the equinox days and the old calendar are computed from. Moments are
// Julian dates in Terrestrial Time (TT); Japan's civil date follows from
// them through ΔT and UTC+9.
#pragma once

#include <cmath>

namespace rumora::astronomy {

struct CivilDate {
    int year;
    int month;
    int day;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Degrees brought into [0, 360).
inline double Wrap360(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0) d += 360.0;
    return d >= 360.0 ? 0.0 : d;
}

// Degrees brought into (-180, 180]: the signed difference of two longitudes.
// std::remainder is exact, so a difference near zero keeps every bit.
inline double Wrap180(double degrees) {
    const double d = std::remainder(degrees, 360.0);
    return d <= -180.0 ? d + 360.0 : d;
}

// The moment near jd_tt at which offset(t), a wrapped difference of
// longitudes growing by about rate degrees a day, crosses zero: secant
// steps, falling back to the mean rate where a step lands across a wrap or
// a flat spot. Stops once done(t, step) holds for the newest estimate and
// the step that reached it, or after 30 steps.
template <class Offset, class Done>
double CrossingMoment(Offset offset, double jd_tt, double rate, Done done) {
    double t = jd_tt;
    double f = offset(t);
    double step = -f / rate;
    double next = t + step;
    for (int i = 0; i < 30 && !done(next, step); ++i) {
        const double f_next = offset(next);
        double slope = (f_next - f) / (next - t);
        if (!(slope > rate / 4.0 && slope < rate * 4.0)) slope = rate;
        t = next;
        f = f_next;
        step = -f / slope;
        next = t + step;
    }
    return next;
}

// To under a millisecond.
template <class Offset>
double CrossingMoment(Offset offset, double jd_tt, double rate) {
    return CrossingMoment(offset, jd_tt, rate,
                          [](double, double step) { return std::fabs(step) < 1e-8; });
}

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
