// Parsing and evaluation of a shop's closing days (営業日カレンダー).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/closing_rules.h"

namespace rumora {

// The item that failed (without its surrounding blanks) and why, in English.
struct ClosingParseError {
    std::string item;
    std::string reason;
    friend bool operator==(const ClosingParseError&, const ClosingParseError&) = default;
};

// One --closed item: sun ... sat, 1sun ... 5sat, last-sun ... last-sat,
// d1 ... d31 or holidays. Leaves the rules as they were on an error.
std::optional<ClosingParseError> AddClosingRule(ClosingRules& rules, std::string_view item);
// Comma-separated items; all or nothing. A blank list adds nothing.
std::optional<ClosingParseError> AddClosingRuleList(ClosingRules& rules, std::string_view list);

// YYYY-MM-DD, YYYY-MM-DD..YYYY-MM-DD, MM-DD or MM-DD..MM-DD, years 1 to 9999.
std::variant<DateSpan, ClosingParseError> ParseDateSpan(std::string_view item);
// Comma-separated spans appended to spans; all or nothing. A blank list adds nothing.
std::optional<ClosingParseError> AddDateSpanList(std::vector<DateSpan>& spans,
                                                 std::string_view list);

// The texts the parsers read back: "sun,2tue,4tue,last-fri,d1,holidays"
// (empty without weekday or holiday rules), "2027-05-06", "12-29..01-03".
std::string ClosingRuleText(const ClosingRules& rules);
std::string DateSpanText(const DateSpan& span);
std::string DateSpanListText(const std::vector<DateSpan>& spans);

// Why a day is closed; Open also for a day the month does not have. When
// several rules close a day, the first of Dated, Holiday, Weekly is given.
enum class ClosingReason : std::uint8_t {
    Open,
    Weekly,   // a weekday or day-of-month rule
    Holiday,  // a national holiday under the holidays rule
    Dated,    // 臨時休業
    Moved,    // a weekday rule's closing moved here from a holiday before
};

// A weekday rule's closing on a holiday moves to the next day that is neither
// a holiday nor closed; one that finds none within this many days is dropped.
inline constexpr int kLongestClosingMove = 31;

// Index 1 to 31.
using MonthClosings = std::array<ClosingReason, 32>;

MonthClosings ClosingsOfMonth(const ClosingRules& rules, int year, int month);
// Consecutive months from year-month, as ClosingsOfMonth gives each, in one
// pass: a page's months cost little more than one.
void ClosingsOfMonths(const ClosingRules& rules, int year, int month,
                      std::span<MonthClosings> months);
ClosingReason ClosingOn(const ClosingRules& rules, int year, int month, int day);

}  // namespace rumora
