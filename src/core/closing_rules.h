// The days a shop or clinic is closed, as its owner states them: weekly
// rules, national holidays, and dated or yearly exceptions. Parsed and
// evaluated in calendar/closing_days.h.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace rumora {

// One day or a run of days. Dated days are YYYYMMDD, yearly days MMDD (the
// same days every year); first == last for one day. A yearly span whose last
// day comes before its first runs over the year's end (12-29..01-03).
struct DateSpan {
    std::int32_t first = 0;
    std::int32_t last = 0;

    bool Yearly() const { return first < 10000; }
    friend bool operator==(const DateSpan&, const DateSpan&) = default;
};

struct ClosingRules {
    // Weekday sets hold bit w for weekday w, 0 = Sunday ... 6 = Saturday.
    std::uint8_t weekly = 0;            // every week
    std::array<std::uint8_t, 5> nth{};  // nth[n - 1]: the nth such weekday of the month
    std::uint8_t last = 0;              // the last such weekday of the month
    std::uint32_t monthDays = 0;        // bit d: day d of every month that has one
    bool holidays = false;              // every national holiday
    bool movesAfterHoliday = false;     // a weekday rule's closing on a holiday moves on
    std::vector<DateSpan> closedOn;     // 臨時休業
    std::vector<DateSpan> openOn;       // 臨時営業: open whatever the other rules say

    // True when no day is closed, so the page stays as it was without
    // closings. Openings and moves alone close nothing.
    bool Empty() const {
        return weekly == 0 && nth == std::array<std::uint8_t, 5>{} && last == 0 && monthDays == 0 &&
               !holidays && closedOn.empty();
    }
    friend bool operator==(const ClosingRules&, const ClosingRules&) = default;
};

}  // namespace rumora
