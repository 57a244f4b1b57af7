#include "logic/closing_fields.h"

#include <string_view>
#include <utility>
#include <variant>

#include "calendar/closing_days.h"

namespace rumora {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The parser's reasons in the window's language.
std::string JapaneseReason(std::string_view reason) {
    static constexpr std::pair<std::string_view, const char*> kReasons[] = {
        {"the year must be 1 to 9999", "年は 1～9999 です"},
        {"the month must be 1 to 12", "月は 1～12 です"},
        {"that month has no such day", "その月にない日です"},
        {"a range joins two dated days or two yearly days",
         "年のある日と年のない日は範囲にできません"},
        {"the range ends before it starts", "範囲の終わりが始まりより前です"},
    };
    for (const auto& [english, japanese] : kReasons) {
        if (reason == english) return japanese;
    }
    return "日付として読めません (例 2027-05-06、12-29..01-03)";
}

void AddProblems(std::string& out, const char* field, const std::vector<BadClosingLine>& bad,
                 bool numbered) {
    for (const BadClosingLine& entry : bad) {
        if (!out.empty()) out += '\n';
        out += field;
        if (numbered) out += ' ' + std::to_string(entry.line) + " 行目";
        out += "「" + entry.text + "」: " + entry.reason;
    }
}

}  // namespace

DateLines ParseDateLines(std::string_view text) {
    DateLines lines;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        auto parsed = ParseDateSpan(line);
        if (const auto* span = std::get_if<DateSpan>(&parsed)) {
            lines.spans.push_back(*span);
        } else {
            lines.bad.push_back({number, std::string(line),
                                 JapaneseReason(std::get<ClosingParseError>(parsed).reason)});
        }
    }
    return lines;
}

MonthDayList ParseMonthDays(std::string_view text) {
    MonthDayList list;
    // Every separator as a blank, so one split takes them all.
    std::string spaced;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::string_view rest = text.substr(at);
        if (rest.starts_with("、") || rest.starts_with("，")) {
            spaced += ' ';
            at += 2;
        } else {
            spaced += rest[0] == ',' ? ' ' : rest[0];
        }
    }
    std::string_view rest = spaced;
    for (;;) {
        const std::size_t first = rest.find_first_not_of(kBlanks);
        if (first == std::string_view::npos) break;
        rest.remove_prefix(first);
        const std::string_view item = rest.substr(0, rest.find_first_of(kBlanks));
        rest.remove_prefix(item.size());
        int day = 0;
        bool digits = item.size() <= 2;
        for (std::size_t i = 0; digits && i < item.size(); ++i) {
            digits = item[i] >= '0' && item[i] <= '9';
            day = day * 10 + (item[i] - '0');
        }
        if (digits && day >= 1 && day <= 31) {
            list.days |= std::uint32_t{1} << day;
        } else {
            list.bad.push_back({0, std::string(item), "日は 1～31 の数です"});
        }
    }
    return list;
}

ClosingFields ReadClosingFields(const PageSettings& s) {
    ClosingFields fields;
    ClosingRules& rules = fields.rules;
    for (std::size_t weekday = 0; weekday < 7; ++weekday) {
        const auto bit = static_cast<std::uint8_t>(1u << weekday);
        if (s.chkClosedWeekly[weekday].Value != 0) rules.weekly |= bit;
        for (std::size_t week = 0; week < 6; ++week) {
            if (s.chkClosedNth[7 * week + weekday].Value == 0) continue;
            (week < 5 ? rules.nth[week] : rules.last) |= bit;
        }
    }
    const MonthDayList days = ParseMonthDays(s.txtClosedDays.Text);
    rules.monthDays = days.days;
    rules.holidays = s.chkClosedHolidays.Value != 0;
    rules.movesAfterHoliday = s.chkClosedMoves.Value != 0;
    DateLines closed = ParseDateLines(s.txtClosedOn.Text);
    DateLines open = ParseDateLines(s.txtOpenOn.Text);
    rules.closedOn = std::move(closed.spans);
    rules.openOn = std::move(open.spans);
    AddProblems(fields.problems, "毎月の日", days.bad, false);
    AddProblems(fields.problems, "臨時休業", closed.bad, true);
    AddProblems(fields.problems, "臨時営業", open.bad, true);
    return fields;
}

}  // namespace rumora
