#include "calendar/sky_events.h"

#include <array>
#include <chrono>
#include <cmath>
#include <numbers>

#include "calendar/astronomy.h"

namespace rumora::sky {

namespace {

double Radians(double degrees) { return degrees * (std::numbers::pi / 180.0); }

// The mean new moon with its periodic terms (Meeus, Astronomical Algorithms
// ch. 49): within a minute of the true one, so one or two refining steps
// against the ephemeris suffice.
double NewMoonGuess(int k) {
    const double t = k / 1236.85;
    const double t2 = t * t;
    double jde = kFirstNewMoon + kSynodicMonth * k + 0.00015437 * t2 - 0.000000150 * t2 * t +
                 0.00000000073 * t2 * t2;
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2;
    const double m = Radians(2.5534 + 29.10535670 * k - 0.0000014 * t2 - 0.00000011 * t2 * t);
    const double mp = Radians(201.5643 + 385.81693528 * k + 0.0107582 * t2 + 0.00001238 * t2 * t -
                              0.000000058 * t2 * t2);
    const double f = Radians(160.7108 + 390.67050284 * k - 0.0016118 * t2 - 0.00000227 * t2 * t +
                             0.000000011 * t2 * t2);
    const double om = Radians(124.7746 - 1.56375588 * k + 0.0020672 * t2 + 0.00000215 * t2 * t);
    using std::sin;
    jde += -0.40720 * sin(mp) + 0.17241 * e * sin(m) + 0.01608 * sin(2 * mp) +
           0.01039 * sin(2 * f) + 0.00739 * e * sin(mp - m) - 0.00514 * e * sin(mp + m) +
           0.00208 * e * e * sin(2 * m) - 0.00111 * sin(mp - 2 * f) - 0.00057 * sin(mp + 2 * f) +
           0.00056 * e * sin(2 * mp + m) - 0.00042 * sin(3 * mp) + 0.00042 * e * sin(m + 2 * f) +
           0.00038 * e * sin(m - 2 * f) - 0.00024 * e * sin(2 * mp - m) - 0.00017 * sin(om) -
           0.00007 * sin(mp + 2 * m) + 0.00004 * sin(2 * mp - 2 * f) + 0.00004 * sin(3 * m) +
           0.00003 * sin(mp + m - 2 * f) + 0.00003 * sin(2 * mp + 2 * f) -
           0.00003 * sin(mp + m + 2 * f) + 0.00003 * sin(mp - m + 2 * f) -
           0.00002 * sin(mp - m - 2 * f) - 0.00002 * sin(3 * mp + m) + 0.00002 * sin(4 * mp);
    static constexpr std::array<std::array<double, 3>, 14> kPlanetary{{
        {0.000325, 299.77, 0.107408},
        {0.000165, 251.88, 0.016321},
        {0.000164, 251.83, 26.651886},
        {0.000126, 349.42, 36.412478},
        {0.000110, 84.66, 18.206239},
        {0.000062, 141.74, 53.303771},
        {0.000060, 207.14, 2.453732},
        {0.000056, 154.84, 7.306860},
        {0.000047, 34.52, 27.261239},
        {0.000042, 207.19, 0.121824},
        {0.000040, 291.34, 1.844379},
        {0.000037, 161.72, 24.198154},
        {0.000035, 239.56, 25.513099},
        {0.000023, 331.55, 3.592518},
    }};
    for (std::size_t i = 0; i < kPlanetary.size(); ++i) {
        const auto& [amplitude, base, rate] = kPlanetary[i];
        double argument = base + rate * k;
        if (i == 0) argument -= 0.009173 * t2;
        jde += amplitude * sin(Radians(argument));
    }
    return jde;
}

// The sun's apparent longitude to about 0.01° (Meeus ch. 25).
double LowSunLongitude(double jd) {
    const double t = (jd - 2451545.0) / 36525.0;
    const double l0 = 280.46646 + 36000.76983 * t + 0.0003032 * t * t;
    const double m = Radians(357.52911 + 35999.05029 * t - 0.0001537 * t * t);
    const double c = (1.914602 - 0.004817 * t - 0.000014 * t * t) * std::sin(m) +
                     (0.019993 - 0.000101 * t) * std::sin(2 * m) + 0.000289 * std::sin(3 * m);
    const double omega = Radians(125.04 - 1934.136 * t);
    return l0 + c - 0.00569 - 0.00478 * std::sin(omega);
}

// Within a quarter hour of the moment the sun reaches the longitude.
double SolarGuess(int year, double longitude) {
    constexpr double kWinterSolstice2000 = 2451900.06;  // 2000-12-21 13:37 TT
    constexpr double kTropicalYear = 365.24219;
    double past = astronomy::Wrap360(longitude - 270.0);  // since the 冬至 before
    if (past == 0.0) past = 360.0;
    double jd = kWinterSolstice2000 + (year - 2001 + past / 360.0) * kTropicalYear;
    for (int i = 0; i < 3; ++i) jd += astronomy::Wrap180(longitude - LowSunLongitude(jd)) / 0.9856;
    return jd;
}

Day JapanDay(double jd_tt) {
    const astronomy::CivilDate d = astronomy::JapanDate(jd_tt);
    return ToDay(d.year, d.month, d.day);
}

// The Japan-time day of the moment near t at which offset (degrees) passes
// zero, growing at about rate degrees a day, give or take rate_doubt of it,
// and with halves whether the moment falls before noon. Stops as soon as
// the step's own doubt cannot move the day (or the half): one evaluation
// settles nearly every case, and only moments close to midnight (or noon)
// are followed to the hundredth of a second.
template <class Offset>
SolarDay DayOfCrossing(Offset offset, double t, double rate, double rate_doubt, bool halves) {
    constexpr double kSlack = 1.0 / 86400.0;
    constexpr double kSettled = 0.01 / 86400.0;
    const auto slot = [halves](double at) {
        const Day day = JapanDay(at);
        return halves ? day * 2 + (JapanDay(at + 0.5) - day) : day;
    };
    const double at =
        astronomy::CrossingMoment(offset, t, rate, [&slot, rate_doubt](double now, double step) {
            const double doubt = std::fabs(step) * rate_doubt + kSlack;
            return std::fabs(step) < kSettled || slot(now - doubt) == slot(now + doubt);
        });
    const Day day = JapanDay(at);
    return {day, halves && JapanDay(at + 0.5) == day};
}

}  // namespace

Day ToDay(int year, int month, int day) {
    using namespace std::chrono;
    return static_cast<Day>(
        sys_days{std::chrono::year{year} / std::chrono::month{unsigned(month)} / unsigned(day)}
            .time_since_epoch()
            .count());
}

int DaysInMonth(int year, int month) {
    using namespace std::chrono;
    return int(unsigned(
        year_month_day_last{std::chrono::year{year} / std::chrono::month{unsigned(month)} / last}
            .day()));
}

double SolarEventLongitude(int index) {
    static constexpr std::array<double, kSolarEvents - kTerms> kOthers{80, 100, 297, 27, 117, 207};
    if (index < kTerms) return astronomy::Wrap360(285.0 + 15.0 * index);
    return kOthers.at(static_cast<std::size_t>(index - kTerms));
}

SolarDay ComputeSolarDay(int year, int index) {
    // The sun moves 0.953 to 1.019 degrees a day.
    const double target = SolarEventLongitude(index);
    return DayOfCrossing(
        [target](double t) {
            return astronomy::Wrap180(astronomy::SunApparentLongitude(t) - target);
        },
        SolarGuess(year, target), 0.9856, 0.04, true);
}

Day ComputeMoonDay(int lunation, int quarter) {
    // The moon gains on the sun 10.8 to 14.4 degrees a day; the quarters lie
    // within a day of a quarter of the mean month past the new moon.
    const double target = 90.0 * quarter;
    return DayOfCrossing(
               [target](double t) {
                   return astronomy::Wrap180(astronomy::MoonApparentLongitude(t) -
                                             astronomy::SunApparentLongitude(t) - target);
               },
               NewMoonGuess(lunation) + quarter * (kSynodicMonth / 4.0), 12.19, 0.2, false)
        .day;
}

}  // namespace rumora::sky
