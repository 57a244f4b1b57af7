#include "calendar/holidays.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "calendar/sky_events.h"

namespace rumora {

namespace {

enum Id : std::uint8_t {
    kNone,
    kNewYear,
    kComingOfAge,
    kFoundation,
    kEmperorsBirthday,
    kVernalEquinox,
    kShowa,
    kConstitution,
    kGreenery,
    kChildren,
    kMarine,
    kMountain,
    kRespectForAged,
    kAutumnalEquinox,
    kHealthAndSports,
    kSports,
    kCulture,
    kLaborThanksgiving,
    kEnthronement,
    kEnthronementCeremony,
    kWedding1959,
    kFuneral1989,
    kWedding1993,
    kSubstitute,
    kCitizens,
    kIdCount
};

struct Names {
    const char* japanese;
    const char* english;
};

constexpr Names kNames[kIdCount] = {
    {nullptr, nullptr},
    {"元日", "New Year's Day"},
    {"成人の日", "Coming of Age Day"},
    {"建国記念の日", "National Foundation Day"},
    {"天皇誕生日", "The Emperor's Birthday"},
    {"春分の日", "Vernal Equinox Day"},
    {"昭和の日", "Showa Day"},
    {"憲法記念日", "Constitution Memorial Day"},
    {"みどりの日", "Greenery Day"},
    {"こどもの日", "Children's Day"},
    {"海の日", "Marine Day"},
    {"山の日", "Mountain Day"},
    {"敬老の日", "Respect for the Aged Day"},
    {"秋分の日", "Autumnal Equinox Day"},
    {"体育の日", "Health and Sports Day"},
    {"スポーツの日", "Sports Day"},
    {"文化の日", "Culture Day"},
    {"勤労感謝の日", "Labor Thanksgiving Day"},
    {"天皇の即位の日", "Day of the Emperor's Enthronement"},
    {"即位礼正殿の儀", "Day of the Enthronement Ceremony"},
    {"皇太子明仁親王の結婚の儀", "Wedding of Crown Prince Akihito"},
    {"昭和天皇の大喪の礼", "Funeral of Emperor Showa"},
    {"皇太子徳仁親王の結婚の儀", "Wedding of Crown Prince Naruhito"},
    {"振替休日", "Substitute Holiday"},
    {"国民の休日", "Citizens' Holiday"},
};

constexpr int Stamp(int year, int month, int day) { return year * 10000 + month * 100 + day; }

constexpr int kLawInForce = Stamp(1948, 7, 20);
constexpr int kSubstituteInForce = Stamp(1973, 4, 12);
constexpr int kCitizensInForce = Stamp(1985, 12, 27);
constexpr int kAmendment2007 = Stamp(2007, 1, 1);

using YearTable = std::array<std::array<std::uint8_t, 32>, 13>;

// One year's days in order, so a rule can step to the next or previous day
// across a month's end.
struct Day {
    int month;
    int day;
};

std::chrono::weekday Weekday(int year, int month, int day) {
    using namespace std::chrono;
    return weekday{sys_days{std::chrono::year{year} / unsigned(month) / unsigned(day)}};
}

// The n-th Monday of a month.
int NthMonday(int year, int month, int n) {
    const unsigned first = Weekday(year, month, 1).c_encoding();  // 0 = Sunday
    return 1 + int((8 - first) % 7) + 7 * (n - 1);
}

YearTable ComputeYear(int year) {
    YearTable table{};
    if (year < 1948) return table;

    // 国民の祝日: Article 2, and the two days of 2019 that count as such.
    YearTable national{};
    auto set = [&](int month, int day, Id id) {
        if (Stamp(year, month, day) >= kLawInForce) national[month][day] = id;
    };
    set(1, 1, kNewYear);
    set(1, year <= 1999 ? 15 : NthMonday(year, 1, 2), kComingOfAge);
    if (year > 1948) set(3, EquinoxDay(year, 3), kVernalEquinox);
    set(5, 3, kConstitution);
    set(5, 5, kChildren);
    if (year >= 1967) set(2, 11, kFoundation);
    if (year <= 1988) {
        set(4, 29, kEmperorsBirthday);
    } else if (year <= 2018) {
        set(12, 23, kEmperorsBirthday);
    } else if (year >= 2020) {
        set(2, 23, kEmperorsBirthday);
    }
    if (year >= 1989) set(4, 29, year <= 2006 ? kGreenery : kShowa);
    if (year >= 2007) set(5, 4, kGreenery);
    if (year == 2020) {
        set(7, 23, kMarine);
        set(7, 24, kSports);
        set(8, 10, kMountain);
    } else if (year == 2021) {
        set(7, 22, kMarine);
        set(7, 23, kSports);
        set(8, 8, kMountain);
    } else {
        if (year >= 1996) set(7, year <= 2002 ? 20 : NthMonday(year, 7, 3), kMarine);
        if (year >= 2016) set(8, 11, kMountain);
        if (year >= 1966 && year <= 2019) {
            set(10, year <= 1999 ? 10 : NthMonday(year, 10, 2), kHealthAndSports);
        }
        if (year >= 2022) set(10, NthMonday(year, 10, 2), kSports);
    }
    if (year >= 1966) set(9, year <= 2002 ? 15 : NthMonday(year, 9, 3), kRespectForAged);
    set(9, EquinoxDay(year, 9), kAutumnalEquinox);
    set(11, 3, kCulture);
    set(11, 23, kLaborThanksgiving);
    if (year == 2019) {
        set(5, 1, kEnthronement);
        set(10, 22, kEnthronementCeremony);
    }
    table = national;

    // Days made 休日 by laws of their own, not 国民の祝日: they start
    // neither rule below.
    if (year == 1959) table[4][10] = kWedding1959;
    if (year == 1989) table[2][24] = kFuneral1989;
    if (year == 1990) table[11][12] = kEnthronementCeremony;
    if (year == 1993) table[6][9] = kWedding1993;

    Day days[367];
    int count = 0;
    for (int month = 1; month <= 12; ++month) {
        const auto last = unsigned(std::chrono::year_month_day_last{
            std::chrono::year{year} / std::chrono::month{unsigned(month)} / std::chrono::last}
                                       .day());
        for (int day = 1; day <= int(last); ++day) days[count++] = {month, day};
    }
    auto isNational = [&](int i) {
        return i >= 0 && i < count && national[days[i].month][days[i].day] != kNone;
    };

    // 振替休日: a 国民の祝日 on a Sunday gives the next day; from 2007 the
    // first following day that is not a 国民の祝日.
    for (int i = 0; i < count; ++i) {
        const auto [month, day] = days[i];
        const int stamp = Stamp(year, month, day);
        if (!isNational(i) || stamp < kSubstituteInForce ||
            Weekday(year, month, day) != std::chrono::Sunday) {
            continue;
        }
        int next = i + 1;
        if (stamp >= kAmendment2007) {
            while (isNational(next)) ++next;
        }
        if (next < count && table[days[next].month][days[next].day] == kNone) {
            table[days[next].month][days[next].day] = kSubstitute;
        }
    }

    // 国民の休日: a day between two 国民の祝日. Until 2006 neither a Sunday
    // nor a 振替休日; from 2007 any day that is not a 国民の祝日.
    for (int i = 1; i + 1 < count; ++i) {
        const auto [month, day] = days[i];
        const int stamp = Stamp(year, month, day);
        if (stamp < kCitizensInForce || !isNational(i - 1) || !isNational(i + 1) ||
            table[month][day] != kNone) {
            continue;
        }
        if (stamp < kAmendment2007 && Weekday(year, month, day) == std::chrono::Sunday) continue;
        table[month][day] = kCitizens;
    }
    return table;
}

const YearTable& Year(int year) {
    // A page asks for the same one or two years month after month; the
    // map's entries stay where they are, so this thread keeps the last two
    // it found.
    thread_local std::array<std::pair<int, const YearTable*>, 2> kept{};
    thread_local std::size_t older = 0;
    for (const auto& [keptYear, table] : kept) {
        if (table != nullptr && keptYear == year) return *table;
    }
    static std::mutex lock;
    static std::map<int, YearTable> years;
    std::lock_guard<std::mutex> guard(lock);
    auto found = years.find(year);
    if (found == years.end()) found = years.emplace(year, ComputeYear(year)).first;
    kept[older] = {year, &found->second};
    older ^= 1;
    return found->second;
}

const char* NameOf(std::uint8_t id, HolidayLanguage language) {
    return language == HolidayLanguage::Japanese ? kNames[id].japanese : kNames[id].english;
}

}  // namespace

int EquinoxDay(int year, int month) {
    return sky::SolarDayOf(year, month == 3 ? sky::kShunbun : sky::kShubun).day -
           sky::ToDay(year, month, 1) + 1;
}

MonthHolidayNames HolidaysOfMonth(int year, int month, HolidayLanguage language) {
    MonthHolidayNames names{};
    if (month < 1 || month > 12) return names;
    const auto& days = Year(year)[month];
    // Eight days at a time: most months have a holiday or two.
    for (std::size_t block = 0; block < days.size(); block += 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, days.data() + block, sizeof eight);
        if (eight == 0) continue;
        for (std::size_t day = block; day < block + 8; ++day) {
            if (days[day] != kNone) names[day] = NameOf(days[day], language);
        }
    }
    return names;
}

std::uint32_t HolidayDaysOfMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    const auto& days = Year(year)[month];
    std::uint32_t set = 0;
    for (int day = 1; day <= 31; ++day) set |= std::uint32_t{days[day] != kNone} << day;
    return set;
}

const char* HolidayName(int year, int month, int day, HolidayLanguage language) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return nullptr;
    return NameOf(Year(year)[month][day], language);
}

}  // namespace rumora
