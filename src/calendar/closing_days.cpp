#include "calendar/closing_days.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <span>
#include <utility>

#include "calendar/holidays.h"

namespace rumora {

namespace {

namespace chr = std::chrono;

constexpr std::array<std::string_view, 7> kWeekdays{"sun", "mon", "tue", "wed",
                                                    "thu", "fri", "sat"};

constexpr std::string_view kNotARule =
    "not a closing rule: sun ... sat, 1sun ... 5sat, last-sun ... last-sat, d1 ... d31 or "
    "holidays";
constexpr std::string_view kNotADate =
    "not a date: YYYY-MM-DD or MM-DD, or two of them joined by ..";

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A run of 1 to maxWidth digits, or -1.
int Number(std::string_view s, std::size_t maxWidth) {
    if (s.empty() || s.size() > maxWidth) return -1;
    int n = 0;
    for (char c : s) {
        if (!IsDigit(c)) return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

int WeekdayIndex(std::string_view name) {
    const auto* found = std::find(kWeekdays.begin(), kWeekdays.end(), name);
    return found == kWeekdays.end() ? -1 : static_cast<int>(found - kWeekdays.begin());
}

// Year 0 stands for every year, whose February may have a 29th.
int MonthLength(int year, int month) {
    if (month == 2) return year == 0 || chr::year{year}.is_leap() ? 29 : 28;
    return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

ClosingParseError Failure(std::string_view item, std::string_view reason) {
    return {std::string(item), std::string(reason)};
}

// YYYY-MM-DD as YYYYMMDD or MM-DD as MMDD; a reason when it is no day.
std::variant<std::int32_t, std::string_view> ParseDay(std::string_view text) {
    int year = 0;
    const std::size_t firstDash = text.find('-');
    if (firstDash == 4 && text.find('-', 5) != std::string_view::npos) {
        year = Number(text.substr(0, 4), 4);
        if (year < 0) return kNotADate;
        if (year == 0) return "the year must be 1 to 9999";
        text.remove_prefix(5);
    }
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) return kNotADate;
    const int month = Number(text.substr(0, dash), 2);
    const int day = Number(text.substr(dash + 1), 2);
    if (month < 0 || day < 0) return kNotADate;
    if (month < 1 || month > 12) return "the month must be 1 to 12";
    if (day < 1 || day > MonthLength(year, month)) return "that month has no such day";
    return static_cast<std::int32_t>(year * 10000 + month * 100 + day);
}

void AppendDay(std::string& out, std::int32_t key) {
    char text[16];
    if (key < 10000) {
        std::snprintf(text, sizeof text, "%02d-%02d", key / 100, key % 100);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", key / 10000, key / 100 % 100, key % 100);
    }
    out += text;
}

template <typename Add>
std::optional<ClosingParseError> ForEachItem(std::string_view list, Add add) {
    if (Trim(list).empty()) return std::nullopt;
    for (;;) {
        const std::size_t comma = list.find(',');
        if (auto error = add(list.substr(0, comma))) return error;
        if (comma == std::string_view::npos) return std::nullopt;
        list.remove_prefix(comma + 1);
    }
}

// Day sets of one month: bit d for day d.
using DayMask = std::uint32_t;

DayMask DayRange(int from, int to) {
    if (from > to) return 0;
    return ((DayMask{2} << to) - 1) & ~((DayMask{1} << from) - 1);
}

// The days of month base + 1 ... base + length (keys as in DateSpan) that lie
// in first ... last.
DayMask Clip(std::int32_t first, std::int32_t last, std::int32_t base, int length) {
    return DayRange(std::max(first - base, 1), std::min(last - base, length));
}

DayMask SpanDays(const std::vector<DateSpan>& spans, int year, int month, int length) {
    DayMask days = 0;
    const std::int32_t yearly = month * 100;
    for (const DateSpan& span : spans) {
        if (!span.Yearly()) {
            days |= Clip(span.first, span.last, year * 10000 + yearly, length);
        } else if (span.first <= span.last) {
            days |= Clip(span.first, span.last, yearly, length);
        } else {
            days |= Clip(span.first, 1231, yearly, length) | Clip(101, span.last, yearly, length);
        }
    }
    return days;
}

// Holidays by month of the last few years asked for in this thread, so a
// page's months cost no lock.
DayMask HolidayDays(int year, int month) {
    struct Year {
        int year = 0;
        std::array<DayMask, 13> months{};
    };
    thread_local std::array<Year, 4> years;
    thread_local std::size_t next = 0;
    auto found =
        std::find_if(years.begin(), years.end(), [year](const Year& y) { return y.year == year; });
    if (found == years.end()) {
        found = years.begin() + static_cast<std::ptrdiff_t>(next);
        next = (next + 1) % years.size();
        found->year = year;
        for (int m = 1; m <= 12; ++m) {
            found->months[static_cast<std::size_t>(m)] = HolidayDaysOfMonth(year, m);
        }
    }
    return found->months[static_cast<std::size_t>(month)];
}

struct MonthDays {
    int first;  // day 1 as days since 1970-01-01
    int length;
    DayMask holiday;
    DayMask weekday;  // closed by a weekday or day-of-month rule
    DayMask closed;   // 臨時休業
    DayMask open;     // 臨時営業
};

MonthDays DaysOf(const ClosingRules& r, int year, int month) {
    const chr::year_month ym{chr::year{year}, chr::month{static_cast<unsigned>(month)}};
    const chr::sys_days first{ym / 1};
    const int length = MonthLength(year, month);
    const DayMask days = DayRange(1, length);
    MonthDays m{static_cast<int>(first.time_since_epoch().count()),
                length,
                r.holidays || r.movesAfterHoliday ? HolidayDays(year, month) : 0,
                r.monthDays & days,
                SpanDays(r.closedOn, year, month, length),
                SpanDays(r.openOn, year, month, length)};
    std::uint8_t ruled = r.weekly | r.last;
    for (const std::uint8_t set : r.nth) ruled |= set;
    const int firstWeekday = static_cast<int>(chr::weekday{first}.c_encoding());
    for (int w = 0; w < 7; ++w) {
        if ((ruled >> w & 1) == 0) continue;
        const int firstDay = 1 + (w - firstWeekday + 7) % 7;
        const DayMask every = (DayMask{0x10204081} << firstDay) & days;  // every 7th day
        if ((r.weekly >> w & 1) != 0) m.weekday |= every;
        for (std::size_t n = 0; n < 5; ++n) {
            const int day = firstDay + 7 * static_cast<int>(n);
            if ((r.nth[n] >> w & 1) != 0 && day <= length) m.weekday |= DayMask{1} << day;
        }
        if ((r.last >> w & 1) != 0) m.weekday |= DayMask{1} << (31 - std::countl_zero(every));
    }
    return m;
}

// Far enough back to pass a holiday-free month: Japan has had one every
// June since the law began.
constexpr int kScannedMonths = 26;

// Closings moved off holidays wait here, earliest first, for the first day
// after their holiday that is neither a holiday nor closed.
class MoveQueue {
  public:
    // The days of m from the day `from` on that take a closing.
    DayMask Pass(const ClosingRules& r, const MonthDays& m, int from) {
        const DayMask sources = m.weekday & m.holiday;
        const DayMask closed =
            ((m.weekday & ~m.holiday) | (r.holidays ? m.holiday : 0) | m.closed) & ~m.open;
        const DayMask free = ~m.holiday & ~closed;
        DayMask moved = 0;
        // Only sources, and free days while a closing waits, matter.
        DayMask events = (sources | free) & DayRange(std::max(1, from - m.first + 1), m.length);
        while (events != 0) {
            const DayMask next = size_ == 0 ? events & sources : events;
            if (next == 0) break;
            const int d = std::countr_zero(next);
            events &= ~((DayMask{2} << d) - 1);
            const int day = m.first + d - 1;
            while (size_ != 0 && day - days_[head_] > kLongestClosingMove) Pop();
            const DayMask bit = DayMask{1} << d;
            if ((sources & bit) != 0) {
                days_[(head_ + size_++) % days_.size()] = day;
            } else if (size_ != 0) {
                Pop();
                moved |= bit & ~m.open;  // one that lands on an opening is lost
            }
        }
        return moved;
    }

  private:
    void Pop() {
        head_ = (head_ + 1) % days_.size();
        --size_;
    }

    std::array<int, 64> days_;  // holidays of the last kLongestClosingMove days
    std::size_t head_ = 0, size_ = 0;
};

// Each day once, in the order Dated, Holiday, Weekly, Moved.
MonthClosings Reasons(const ClosingRules& rules, const MonthDays& m, DayMask moved) {
    MonthClosings closings{};
    DayMask left = DayRange(1, m.length) & ~m.open;
    const auto mark = [&](DayMask days, ClosingReason reason) {
        days &= left;
        left &= ~days;
        for (; days != 0; days &= days - 1)
            closings[static_cast<std::size_t>(std::countr_zero(days))] = reason;
    };
    mark(m.closed, ClosingReason::Dated);
    if (rules.holidays) mark(m.holiday, ClosingReason::Holiday);
    mark(rules.movesAfterHoliday ? m.weekday & ~m.holiday : m.weekday, ClosingReason::Weekly);
    mark(moved, ClosingReason::Moved);
    return closings;
}

}  // namespace

std::optional<ClosingParseError> AddClosingRule(ClosingRules& rules, std::string_view item) {
    item = Trim(item);
    if (item.empty()) return Failure(item, "empty item");
    std::string name(item);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    const std::string_view n = name;
    const auto bit = [](int w) { return static_cast<std::uint8_t>(1 << w); };
    if (n == "holidays") {
        rules.holidays = true;
    } else if (const int w = WeekdayIndex(n); w >= 0) {
        rules.weekly |= bit(w);
    } else if (n.starts_with("last-") && WeekdayIndex(n.substr(5)) >= 0) {
        rules.last |= bit(WeekdayIndex(n.substr(5)));
    } else if (n.size() > 1 && n[0] == 'd' && std::all_of(n.begin() + 1, n.end(), IsDigit)) {
        const int day = Number(n.substr(1), 2);
        if (day < 1 || day > 31) return Failure(item, "the day of the month must be 1 to 31");
        rules.monthDays |= DayMask{1} << day;
    } else {
        const std::size_t digits = n.find_first_not_of("0123456789");
        if (digits == 0 || digits == std::string_view::npos || WeekdayIndex(n.substr(digits)) < 0)
            return Failure(item, kNotARule);
        const int week = Number(n.substr(0, digits), 1);
        if (week < 1 || week > 5) return Failure(item, "the week of the month must be 1 to 5");
        rules.nth[static_cast<std::size_t>(week - 1)] |= bit(WeekdayIndex(n.substr(digits)));
    }
    return std::nullopt;
}

std::optional<ClosingParseError> AddClosingRuleList(ClosingRules& rules, std::string_view list) {
    ClosingRules added = rules;
    auto error =
        ForEachItem(list, [&added](std::string_view item) { return AddClosingRule(added, item); });
    if (!error) rules = std::move(added);
    return error;
}

std::variant<DateSpan, ClosingParseError> ParseDateSpan(std::string_view item) {
    item = Trim(item);
    if (item.empty()) return Failure(item, "empty item");
    const std::size_t dots = item.find("..");
    const std::string_view from = Trim(item.substr(0, dots));
    const std::string_view to = dots == std::string_view::npos ? from : Trim(item.substr(dots + 2));
    const auto first = ParseDay(from);
    const auto last = ParseDay(to);
    if (const auto* reason = std::get_if<std::string_view>(&first)) return Failure(item, *reason);
    if (const auto* reason = std::get_if<std::string_view>(&last)) return Failure(item, *reason);
    const DateSpan span{std::get<std::int32_t>(first), std::get<std::int32_t>(last)};
    if (span.Yearly() != (span.last < 10000))
        return Failure(item, "a range joins two dated days or two yearly days");
    if (!span.Yearly() && span.last < span.first)
        return Failure(item, "the range ends before it starts");
    return span;
}

std::optional<ClosingParseError> AddDateSpanList(std::vector<DateSpan>& spans,
                                                 std::string_view list) {
    std::vector<DateSpan> added;
    auto error = ForEachItem(list, [&added](std::string_view item) {
        auto parsed = ParseDateSpan(item);
        if (auto* failure = std::get_if<ClosingParseError>(&parsed)) return std::optional(*failure);
        added.push_back(std::get<DateSpan>(parsed));
        return std::optional<ClosingParseError>();
    });
    if (!error) spans.insert(spans.end(), added.begin(), added.end());
    return error;
}

std::string ClosingRuleText(const ClosingRules& rules) {
    std::string text;
    const auto add = [&text](std::string_view prefix, std::string_view name) {
        if (!text.empty()) text += ',';
        text += prefix;
        text += name;
    };
    const auto addWeekdays = [&](std::uint8_t set, std::string_view prefix) {
        for (std::size_t w = 0; w < 7; ++w) {
            if ((set >> w & 1) != 0) add(prefix, kWeekdays[w]);
        }
    };
    addWeekdays(rules.weekly, "");
    for (std::size_t n = 0; n < 5; ++n) addWeekdays(rules.nth[n], std::to_string(n + 1));
    addWeekdays(rules.last, "last-");
    for (int d = 1; d <= 31; ++d) {
        if ((rules.monthDays >> d & 1) != 0) add("d", std::to_string(d));
    }
    if (rules.holidays) add("holidays", "");
    return text;
}

std::string DateSpanText(const DateSpan& span) {
    std::string text;
    AppendDay(text, span.first);
    if (span.last != span.first) {
        text += "..";
        AppendDay(text, span.last);
    }
    return text;
}

std::string DateSpanListText(const std::vector<DateSpan>& spans) {
    std::string text;
    for (const DateSpan& span : spans) {
        if (!text.empty()) text += ',';
        text += DateSpanText(span);
    }
    return text;
}

void ClosingsOfMonths(const ClosingRules& rules, int year, int month,
                      std::span<MonthClosings> months) {
    std::fill(months.begin(), months.end(), MonthClosings{});
    if (month < 1 || month > 12 || rules.Empty() || months.empty()) return;

    // Back to a day that no closing can be moved past: one without a weekday
    // rule's holiday in the kLongestClosingMove days before it.
    std::array<MonthDays, kScannedMonths> earlier;
    std::size_t count = 0;
    const MonthDays firstMonth = DaysOf(rules, year, month);
    int start = firstMonth.first;
    for (int y = year, m = month; rules.movesAfterHoliday && count < earlier.size(); ++count) {
        if (start - ((count == 0 ? firstMonth : earlier[count - 1]).first - 1) >
            kLongestClosingMove)
            break;
        if (--m == 0) {
            m = 12;
            --y;
        }
        const MonthDays& e = earlier[count] = DaysOf(rules, y, m);
        const DayMask sources = e.weekday & e.holiday;
        for (;;) {
            const int from = start - kLongestClosingMove - e.first + 1;
            const DayMask near =
                sources & DayRange(std::max(from, 1), std::min(start - e.first, 31));
            if (near == 0) break;
            start = e.first + (31 - std::countl_zero(near)) - 1;
        }
    }
    MoveQueue queue;
    for (std::size_t i = count; i-- > 0;) queue.Pass(rules, earlier[i], start);
    for (std::size_t i = 0; i < months.size(); ++i) {
        const MonthDays m = i == 0 ? firstMonth : DaysOf(rules, year, month);
        months[i] = Reasons(rules, m, rules.movesAfterHoliday ? queue.Pass(rules, m, start) : 0);
        if (++month == 13) {
            month = 1;
            ++year;
        }
    }
}

MonthClosings ClosingsOfMonth(const ClosingRules& rules, int year, int month) {
    MonthClosings closings;
    ClosingsOfMonths(rules, year, month, {&closings, 1});
    return closings;
}

ClosingReason ClosingOn(const ClosingRules& rules, int year, int month, int day) {
    if (day < 1 || day > 31) return ClosingReason::Open;
    return ClosingsOfMonth(rules, year, month)[static_cast<std::size_t>(day)];
}

}  // namespace rumora
