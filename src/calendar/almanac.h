// What Japanese almanacs print on a day besides its number: the 二十四節気,
// the 雑節 as the national observatory defines them, and the moon's four
// phases, each on the Japan-time (UTC+9) day of its instant.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace rumora::almanac {

// As for 六曜: the years whose events the table made at build time holds.
inline constexpr int kFirstYear = 1873;
inline constexpr int kLastYear = 2100;

enum class Kind : std::uint8_t { SolarTerm, SeasonalDay, MoonPhase };

// SolarTerm: 0 小寒 (285°) ... 23 冬至 (270°), in the order of their dates.
// MoonPhase: 0 新月, 1 上弦, 2 満月, 3 下弦.
enum SeasonalDay : std::uint8_t {
    kSetsubun,        // the day before 立春
    kHiganIri,        // 3 days before 春分 and 秋分
    kHiganAke,        // 3 days after them
    kShanichi,        // the 戊 day nearest 春分 and 秋分
    kHachijuHachiya,  // 立春 as day 1: day 88
    kNihyakuToka,     // day 210
    kNihyakuHatsuka,  // day 220
    kNyubai,          // the sun at 80°
    kHangesho,        // at 100°
    kDoyoIri,         // at 297°, 27°, 117° and 207°
    kDoyoUshi,  // each 丑 day from then to the day before the next 立春, 立夏, 立秋 or 立冬
    kSeasonalDays
};

struct Event {
    Kind kind;
    std::uint8_t index;
    friend bool operator==(const Event&, const Event&) = default;
};

// A day holds at most one term, two 雑節 (節分 and 土用の丑, say) and one
// phase.
inline constexpr std::size_t kMaxEventsPerDay = 4;

// Each day's events in a fixed order: the term, then the 雑節, then the
// phase.
struct MonthAlmanac {
    struct Day {
        std::uint8_t count = 0;
        std::array<Event, kMaxEventsPerDay> events{};
    };
    std::array<Day, 32> days{};  // by day of the month, 1 to 31

    std::span<const Event> On(int day) const {
        const Day& d = days.at(static_cast<std::size_t>(day));
        return {d.events.data(), d.count};
    }
};

// The events of one month, of the groups asked for; none outside the years
// above.
MonthAlmanac AlmanacOfMonth(int year, int month, bool solarTerms, bool seasonalDays,
                            bool moonPhases);

// Japanese, or romanised (terms and 雑節) and English (phases).
std::string_view EventName(Event event, bool japanese);

}  // namespace rumora::almanac
