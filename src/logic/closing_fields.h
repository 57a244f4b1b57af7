// The "営業日" page's fields read as closing rules. A field line that names
// no day is left out and listed with its reason, so one typing slip never
// loses the other lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/closing_rules.h"
#include "logic/page_settings.h"

namespace rumora {

// A line (or a day of the days field) left out, as typed, and why in Japanese.
struct BadClosingLine {
    int line = 0;  // from 1
    std::string text;
    std::string reason;
    friend bool operator==(const BadClosingLine&, const BadClosingLine&) = default;
};

struct DateLines {
    std::vector<DateSpan> spans;
    std::vector<BadClosingLine> bad;
};

// One date or range a line; blank lines are skipped.
DateLines ParseDateLines(std::string_view text);

struct MonthDayList {
    std::uint32_t days = 0;  // bit d: day d
    std::vector<BadClosingLine> bad;
};

// Days 1 to 31, separated by commas (also 、 and ，) or blanks.
MonthDayList ParseMonthDays(std::string_view text);

struct ClosingFields {
    ClosingRules rules;
    // One line per entry left out, naming its field: what lblClosedProblems shows.
    std::string problems;
};

ClosingFields ReadClosingFields(const PageSettings& s);

}  // namespace rumora
