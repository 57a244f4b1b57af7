#include "calendar/astronomy.h"

#include <erfa.h>
#include <erfam.h>

#include <array>
#include <cmath>

namespace rumora::astronomy {

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
constexpr double kJstOffsetDays = 9.0 / 24.0;

// TT − UT1 at the start of each year, 1973 to 2026, from the IERS Earth
// orientation series (finals.all).
constexpr int kFirstMeasuredYear = 1973;
constexpr std::array<double, 54> kMeasuredDeltaT{
    43.9444, 44.9847, 45.9713, 46.9903, 48.0236, 49.0803, 50.0844, 50.9650, 51.7885,
    52.5609, 53.4066, 54.0722, 54.6134, 55.1033, 55.5703, 56.0721, 56.5631, 57.2122,
    57.9439, 58.7244, 59.5665, 60.3887, 61.2232, 61.9739, 62.6409, 63.2509, 63.6502,
    63.9658, 64.1971, 64.3981, 64.5366, 64.6356, 64.7790, 64.9860, 65.3179, 65.6171,
    65.9295, 66.2152, 66.4592, 66.7574, 67.1050, 67.4695, 67.8619, 68.3699, 68.7985,
    69.0995, 69.3231, 69.3891, 69.3312, 69.2439, 69.1967, 69.1661, 69.1252, 69.1160};
constexpr double kLastMeasuredYear = kFirstMeasuredYear + double(kMeasuredDeltaT.size() - 1);

// Horner's rule over coefficients of rising powers.
template <std::size_t N>
double Polynomial(double t, const double (&c)[N]) {
    double sum = 0.0;
    for (std::size_t i = N; i-- > 0;) sum = sum * t + c[i];
    return sum;
}

double LongTermParabola(double y) {
    const double u = (y - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u;
}

// Espenak and Meeus, "Five Millennium Canon of Solar Eclipses" (2006).
double EspenakMeeus(double y) {
    if (y < -500.0) return LongTermParabola(y);
    if (y < 500.0) {
        return Polynomial(y / 100.0, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452,
                                      0.022174192, 0.0090316521});
    }
    if (y < 1600.0) {
        return Polynomial((y - 1000.0) / 100.0, {1574.2, -556.01, 71.23472, 0.319781, -0.8503463,
                                                 -0.005050998, 0.0083572073});
    }
    if (y < 1700.0) return Polynomial(y - 1600.0, {120.0, -0.9808, -0.01532, 1.0 / 7129.0});
    if (y < 1800.0) {
        return Polynomial(y - 1700.0, {8.83, 0.1603, -0.0059285, 0.00013336, -1.0 / 1174000.0});
    }
    if (y < 1860.0) {
        return Polynomial(y - 1800.0, {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436,
                                       0.0000121272, -0.0000001699, 0.000000000875});
    }
    if (y < 1900.0) {
        return Polynomial(y - 1860.0,
                          {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1.0 / 233174.0});
    }
    if (y < 1920.0) {
        return Polynomial(y - 1900.0, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
    }
    if (y < 1941.0) return Polynomial(y - 1920.0, {21.20, 0.84493, -0.076100, 0.0020936});
    if (y < 1961.0) {
        return Polynomial(y - 1950.0, {29.07, 0.407, -1.0 / 233.0, 1.0 / 2547.0});
    }
    if (y < 1986.0) {
        return Polynomial(y - 1975.0, {45.45, 1.067, -1.0 / 260.0, -1.0 / 718.0});
    }
    if (y < 2005.0) {
        return Polynomial(y - 2000.0,
                          {63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599});
    }
    if (y < 2050.0) return Polynomial(y - 2000.0, {62.92, 0.32217, 0.005589});
    if (y < 2150.0) return LongTermParabola(y) - 0.5628 * (2150.0 - y);
    return LongTermParabola(y);
}

double Length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Longitude on the true ecliptic and equinox of date of a GCRS direction.
double EclipticLongitudeOfDate(double date2, double gcrs[3]) {
    double rm[3][3];
    eraEcm06(ERFA_DJM0, date2, rm);
    double ecliptic[3];
    eraRxp(rm, gcrs, ecliptic);
    double dpsi = 0.0;
    double deps = 0.0;
    eraNut06a(ERFA_DJM0, date2, &dpsi, &deps);
    return Wrap360((std::atan2(ecliptic[1], ecliptic[0]) + dpsi) * kDegreesPerRadian);
}

double DecimalYear(double jd) { return 2000.0 + (jd - ERFA_DJ00) / 365.25; }

}  // namespace

double DeltaTSeconds(double y) {
    if (y < kFirstMeasuredYear) {
        // The polynomial fit to the measurements before the table, moved to
        // meet its first value.
        return EspenakMeeus(y) + (kMeasuredDeltaT.front() - EspenakMeeus(kFirstMeasuredYear)) *
                                     std::fmax(0.0, 1.0 - (kFirstMeasuredYear - y) / 10.0);
    }
    if (y <= kLastMeasuredYear) {
        const double at = y - kFirstMeasuredYear;
        const auto i = static_cast<std::size_t>(at);
        if (i + 1 >= kMeasuredDeltaT.size()) return kMeasuredDeltaT.back();
        return kMeasuredDeltaT[i] +
               (at - double(i)) * (kMeasuredDeltaT[i + 1] - kMeasuredDeltaT[i]);
    }
    // The prediction, with the step at the last measured value faded out by
    // 2050, where its next piece takes over without a step.
    constexpr double kFadeEnd = 2050.0;
    const double step = kMeasuredDeltaT.back() - EspenakMeeus(kLastMeasuredYear);
    const double weight = std::fmax(0.0, (kFadeEnd - y) / (kFadeEnd - kLastMeasuredYear));
    return EspenakMeeus(y) + step * weight;
}

double SunApparentLongitude(double jd_tt) {
    const double date2 = jd_tt - ERFA_DJM0;
    double earthHelio[2][3];
    double earthBary[2][3];
    eraEpv00(ERFA_DJM0, date2, earthHelio, earthBary);

    // The sun where it was when the light left it, seen from where the
    // earth is now.
    double sun[3];
    double tau = 0.0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < 3; ++k) {
            const double sunBary = earthBary[0][k] - earthHelio[0][k];
            const double sunBaryVelocity = earthBary[1][k] - earthHelio[1][k];
            sun[k] = sunBary - sunBaryVelocity * tau - earthBary[0][k];
        }
        tau = Length(sun) / ERFA_DC;
    }
    const double distance = Length(sun);
    double natural[3];
    double velocity[3];
    for (int k = 0; k < 3; ++k) {
        natural[k] = sun[k] / distance;
        velocity[k] = earthBary[1][k] / ERFA_DC;
    }
    const double bm1 = std::sqrt(
        1.0 - (velocity[0] * velocity[0] + velocity[1] * velocity[1] + velocity[2] * velocity[2]));
    double proper[3];
    eraAb(natural, velocity, distance, bm1, proper);
    return EclipticLongitudeOfDate(date2, proper);
}

double MoonApparentLongitude(double jd_tt) {
    const double date2 = jd_tt - ERFA_DJM0;
    double pv[2][3];
    eraMoon98(ERFA_DJM0, date2, pv);
    const double tau = Length(pv[0]) / ERFA_DC;
    double moon[3];
    for (int k = 0; k < 3; ++k) moon[k] = pv[0][k] - pv[1][k] * tau;
    return EclipticLongitudeOfDate(date2, moon);
}

double SolarLongitudeMoment(double target_degrees, double jd_tt_near) {
    return CrossingMoment(
        [target_degrees](double t) { return Wrap180(SunApparentLongitude(t) - target_degrees); },
        jd_tt_near, 360.0 / 365.2422);
}

double NewMoonMoment(double jd_tt_near) {
    return CrossingMoment(
        [](double t) { return Wrap180(MoonApparentLongitude(t) - SunApparentLongitude(t)); },
        jd_tt_near, 360.0 / 29.530589);
}

CivilDate JapanDate(double jd_tt) {
    const double toJst = kJstOffsetDays - DeltaTSeconds(DecimalYear(jd_tt)) / ERFA_DAYSEC;
    CivilDate date{};
    double fraction = 0.0;
    eraJd2cal(jd_tt, toJst, &date.year, &date.month, &date.day, &fraction);
    return date;
}

double JapanMidnight(CivilDate date) {
    double mjd0 = 0.0;
    double mjd = 0.0;
    eraCal2jd(date.year, date.month, date.day, &mjd0, &mjd);
    const double utc = mjd - kJstOffsetDays;
    return mjd0 + utc + DeltaTSeconds(DecimalYear(mjd0 + utc)) / ERFA_DAYSEC;
}

}  // namespace rumora::astronomy
