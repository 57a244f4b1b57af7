#include "calendar/old_calendar.h"

#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <numbers>

#include "calendar/astronomy.h"

namespace rumora::old_calendar {

namespace {

using Day = std::int32_t;  // days since 1970-01-01, a Japan-time civil date

constexpr double kJdOfDay0 = 2440587.5;  // JD at 00:00 UT of 1970-01-01
constexpr double kSynodicMonth = 29.530588861;
constexpr Day kUnknown = std::numeric_limits<Day>::min();

// Lunation k = 0 is the new moon of 2000-01-06; 中気 g = 0 is the 冬至 of
// 2000. The ranges cover every month that a date of the span can touch,
// with the 11th months just outside it.
constexpr int kFirstLunation = -1590;
constexpr int kLastLunation = 1280;
constexpr int kFirstTerm = (kFirstYear - 2 - 2000) * 12;
constexpr int kLastTerm = (kLastYear + 1 - 2000) * 12 + 1;

double Radians(double degrees) { return degrees * (std::numbers::pi / 180.0); }

Day ToDay(int year, int month, int day) {
    using namespace std::chrono;
    return static_cast<Day>(
        sys_days{std::chrono::year{year} / std::chrono::month{unsigned(month)} / unsigned(day)}
            .time_since_epoch()
            .count());
}

Day ToDay(const astronomy::CivilDate& d) { return ToDay(d.year, d.month, d.day); }

int YearOf(Day day) {
    using namespace std::chrono;
    return int(year_month_day{sys_days{days{day}}}.year());
}

// The mean new moon with its periodic terms (Meeus, Astronomical Algorithms
// ch. 49): within a minute of the true one, so one or two refining steps
// against the ephemeris suffice.
double NewMoonGuess(int k) {
    const double t = k / 1236.85;
    const double t2 = t * t;
    double jde = 2451550.09766 + kSynodicMonth * k + 0.00015437 * t2 - 0.000000150 * t2 * t +
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

double TermLongitude(int g) {
    const int step = ((g % 12) + 12) % 12;
    return std::fmod(270.0 + 30.0 * step, 360.0);
}

// Within a quarter hour of the moment the sun reaches the term's longitude.
double TermGuess(int g) {
    constexpr double kWinterSolstice2000 = 2451900.06;  // 2000-12-21 13:37 TT
    constexpr double kTropicalYear = 365.24219;
    const double target = TermLongitude(g);
    double jd = kWinterSolstice2000 + g * (kTropicalYear / 12.0);
    for (int i = 0; i < 3; ++i) jd += astronomy::Wrap180(target - LowSunLongitude(jd)) / 0.9856;
    return jd;
}

Day JapanDay(double jd_tt) { return ToDay(astronomy::JapanDate(jd_tt)); }

// The Japan-time day of the moment near t at which offset (degrees) passes
// zero, growing at about rate degrees a day, give or take rate_doubt of it.
// Stops as soon as the step's own doubt cannot move the day: one evaluation
// settles nearly every case, and only moments close to midnight are
// followed to the hundredth of a second.
template <class Offset>
Day DayOfCrossing(Offset offset, double t, double rate, double rate_doubt) {
    constexpr double kSlack = 1.0 / 86400.0;
    constexpr double kSettled = 0.01 / 86400.0;
    return JapanDay(
        astronomy::CrossingMoment(offset, t, rate, [rate_doubt](double at, double step) {
            const double doubt = std::fabs(step) * rate_doubt + kSlack;
            return std::fabs(step) < kSettled || JapanDay(at - doubt) == JapanDay(at + doubt);
        }));
}

// Every new moon and 中気 is computed once, when a shown month first needs
// it; so are the 11th months and leap months built from them.
class Almanac {
  public:
    Almanac() {
        new_moon_days_.fill(kUnknown);
        term_days_.fill(kUnknown);
    }

    LunarDate DateOf(Day day) {
        const std::lock_guard lock(mutex_);
        return DateOfLocked(day);
    }

    void FillMonth(Day first, int length, std::span<std::int8_t> out) {
        const std::lock_guard lock(mutex_);
        int lunation = LunationOf(first);
        LunarDate date = DateOfLocked(first);
        for (int i = 0; i < length; ++i) {
            const Day day = first + i;
            if (day >= NewMoonDay(lunation + 1)) {
                ++lunation;
                date = DateOfLocked(day);
            } else if (i > 0) {
                ++date.day;
            }
            out[i] = static_cast<std::int8_t>(RokuyoIndex(date));
        }
    }

  private:
    // The months from one 11th month up to the next.
    struct Sui {
        int first = kUnknown;  // lunation of its 11th month
        int count = 0;         // 12 or 13 months
        int leap = 0;          // months from the first to the leap month; 0: none found
        int scanned = 0;       // months checked for a 中気 so far
        int term = 0;          // the next 中気 to compare
    };

    Day NewMoonDay(int k) {
        Day& slot = new_moon_days_.at(k - kFirstLunation);
        if (slot == kUnknown) {
            // The moon gains on the sun 10.8 to 14.4 degrees a day.
            slot = DayOfCrossing(
                [](double t) {
                    return astronomy::Wrap180(astronomy::MoonApparentLongitude(t) -
                                              astronomy::SunApparentLongitude(t));
                },
                NewMoonGuess(k), 12.19, 0.2);
        }
        return slot;
    }

    Day TermDay(int g) {
        Day& slot = term_days_.at(g - kFirstTerm);
        if (slot == kUnknown) {
            // The sun moves 0.953 to 1.019 degrees a day.
            const double target = TermLongitude(g);
            slot = DayOfCrossing(
                [target](double t) {
                    return astronomy::Wrap180(astronomy::SunApparentLongitude(t) - target);
                },
                TermGuess(g), 0.9856, 0.04);
        }
        return slot;
    }

    // The lunation whose month holds the day.
    int LunationOf(Day day) {
        const double jd = day + kJdOfDay0 + 0.5;
        int k = static_cast<int>(std::floor((jd - 2451550.09766) / kSynodicMonth));
        while (NewMoonDay(k) > day) --k;
        while (NewMoonDay(k + 1) <= day) ++k;
        return k;
    }

    // The lunation of the 11th month that holds the 冬至 of the year.
    int EleventhMonth(int year) {
        Sui& sui = suis_.at(year - kFirstYear + 2);
        if (sui.first == kUnknown) sui.first = LunationOf(TermDay((year - 2000) * 12));
        return sui.first;
    }

    // The sui that ends with the 11th month of the year, and whether its
    // leap month, if any, comes no later than the given month.
    Sui& SuiUpTo(int year, int offset) {
        Sui& sui = suis_.at(year - kFirstYear + 2 - 1);
        if (sui.count == 0) {
            sui.first = EleventhMonth(year - 1);
            sui.count = EleventhMonth(year) - sui.first;
            sui.term = (year - 1 - 2000) * 12 + 1;  // the 中気 after that 冬至
        }
        while (sui.count == 13 && sui.leap == 0 && sui.scanned < offset) {
            const int i = ++sui.scanned;
            const Day start = NewMoonDay(sui.first + i);
            while (TermDay(sui.term) < start) ++sui.term;
            if (TermDay(sui.term) >= NewMoonDay(sui.first + i + 1)) sui.leap = i;
        }
        return sui;
    }

    LunarDate DateOfLocked(Day day) {
        const int k = LunationOf(day);
        int year = YearOf(day);
        if (k >= EleventhMonth(year)) ++year;
        const int offset = k - EleventhMonth(year - 1);
        const Sui& sui = SuiUpTo(year, offset);
        const bool leap = sui.leap != 0 && offset == sui.leap;
        const int counted = (sui.leap != 0 && offset >= sui.leap) ? offset - 1 : offset;
        return LunarDate{(10 + counted) % 12 + 1, day - NewMoonDay(k) + 1, leap};
    }

    std::mutex mutex_;
    std::array<Day, kLastLunation - kFirstLunation + 1> new_moon_days_;
    std::array<Day, kLastTerm - kFirstTerm + 1> term_days_;
    // From the year before the first to the year after the last.
    std::array<Sui, kLastYear - kFirstYear + 4> suis_;
};

Almanac& TheAlmanac() {
    static Almanac almanac;
    return almanac;
}

}  // namespace

std::optional<LunarDate> LunarDateOf(int year, int month, int day) {
    if (!InSpan(year)) return std::nullopt;
    return TheAlmanac().DateOf(ToDay(year, month, day));
}

bool MonthRokuyo(int year, int month, std::span<std::int8_t> days) {
    if (!InSpan(year)) return false;
    using namespace std::chrono;
    const auto last = year_month_day_last{std::chrono::year{year} /
                                          std::chrono::month{unsigned(month)} / std::chrono::last};
    TheAlmanac().FillMonth(ToDay(year, month, 1), int(unsigned(last.day())), days);
    return true;
}

std::string_view RokuyoName(int index, bool japanese) {
    static constexpr std::array<std::string_view, 6> kJapanese{"大安", "赤口", "先勝",
                                                               "友引", "先負", "仏滅"};
    static constexpr std::array<std::string_view, 6> kRomanised{"Taian",    "Shakko", "Sensho",
                                                                "Tomobiki", "Senbu",  "Butsumetsu"};
    return (japanese ? kJapanese : kRomanised).at(static_cast<std::size_t>(index));
}

std::string_view OutsideSpanNote(bool japanese) {
    return japanese
               ? "六曜は 1873 年から 2100 年の月にだけ付きます。それより前は旧暦の決め方が違い、"
                 "後は地球の自転の遅れが予測できず新月の日が定まらないためです。"
               : "六曜 is shown only from 1873 to 2100: before, the old calendar was kept "
                 "by other rules, and after, the earth's slowing rotation is too uncertain "
                 "to fix the day of each new moon; months outside have none";
}

}  // namespace rumora::old_calendar
