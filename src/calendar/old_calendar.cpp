#include "calendar/old_calendar.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <limits>
#include <mutex>

#include "calendar/sky_events.h"

namespace rumora::old_calendar {

namespace {

using sky::Day;

constexpr int kUnknown = std::numeric_limits<int>::min();

using sky::ToDay;

int YearOf(Day day) {
    using namespace std::chrono;
    return int(year_month_day{sys_days{days{day}}}.year());
}

Day NewMoonDay(int k) { return sky::MoonDayOf(k, 0); }

// 中気 g = 0 is the 冬至 of 2000, g = 1 the 大寒 of 2001.
Day TermDay(int g) {
    const int year = 2000 + (g >= 0 ? g / 12 : (g - 11) / 12);
    const int step = g - (year - 2000) * 12;
    return step == 0 ? sky::SolarDayOf(year, sky::kTerms - 1).day
                     : sky::SolarDayOf(year + 1, 2 * step - 1).day;
}

using sky::LunationOf;

// The 11th months and leap months are found once, when a shown month first
// needs them.
class Almanac {
  public:
    LunarDate DateOf(Day day) {
        const std::lock_guard lock(mutex_);
        return DateOfLocked(day);
    }

    void FillMonth(Day first, int length, std::span<std::int8_t> out) {
        const std::lock_guard lock(mutex_);
        int lunation = LunationOf(first);
        Day nextNewMoon = NewMoonDay(lunation + 1);
        LunarDate date = DateOfLocked(first);
        for (int i = 0; i < length; ++i) {
            const Day day = first + i;
            if (day >= nextNewMoon) {
                nextNewMoon = NewMoonDay(++lunation + 1);
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
    const int length = int(unsigned(last.day()));
    // The months found on this thread, of the last two years asked for: a
    // page's months lie in at most two, and a window shows its page again
    // and again.
    struct Kept {
        int year = 0;
        std::uint16_t filled = 0;  // bit m: month m is known
        std::array<std::array<std::int8_t, 31>, 12> months{};
    };
    thread_local std::array<Kept, 2> kept;
    thread_local std::size_t older = 0;
    Kept* slot = kept[0].year == year ? &kept[0] : kept[1].year == year ? &kept[1] : nullptr;
    if (slot == nullptr) {
        slot = &kept[older];
        older ^= 1;
        *slot = Kept{year, 0, {}};
    }
    std::array<std::int8_t, 31>& known = slot->months[std::size_t(month - 1)];
    if ((slot->filled >> month & 1) == 0) {
        TheAlmanac().FillMonth(ToDay(year, month, 1), length, known);
        slot->filled = std::uint16_t(slot->filled | 1u << month);
    }
    std::copy_n(known.begin(), std::min<std::size_t>(std::size_t(length), days.size()),
                days.begin());
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
