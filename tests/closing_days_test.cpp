#include "calendar/closing_days.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace rumora {
namespace {

ClosingRules Rules(std::string_view closed, std::string_view closedOn = "",
                   std::string_view openOn = "", bool moves = false) {
    ClosingRules rules;
    EXPECT_EQ(AddClosingRuleList(rules, closed), std::nullopt);
    EXPECT_EQ(AddDateSpanList(rules.closedOn, closedOn), std::nullopt);
    EXPECT_EQ(AddDateSpanList(rules.openOn, openOn), std::nullopt);
    rules.movesAfterHoliday = moves;
    return rules;
}

// Closed days of a month, or of the year for month 0, as "M/D" and the
// reason's letter: w weekday rule, h holiday, d dated, m moved.
std::string Closed(const ClosingRules& rules, int year, int month) {
    std::string out;
    for (int m = month == 0 ? 1 : month; m <= (month == 0 ? 12 : month); ++m) {
        const MonthClosings days = ClosingsOfMonth(rules, year, m);
        for (int d = 1; d <= 31; ++d) {
            const auto reason = days[static_cast<std::size_t>(d)];
            if (reason == ClosingReason::Open) continue;
            out += (out.empty() ? "" : " ") + std::to_string(m) + "/" + std::to_string(d);
            out += "?whdm"[static_cast<int>(reason)];
        }
    }
    return out;
}

TEST(ClosingDays, RulesCloseTheirDays) {
    const struct {
        const char *closed, *closedOn, *openOn;
        bool moves;
        int year, month;
        const char* days;
    } cases[] = {
        {"2tue", "", "", false, 2027, 0,
         "1/12w 2/9w 3/9w 4/13w 5/11w 6/8w 7/13w 8/10w 9/14w 10/12w 11/9w 12/14w"},
        {"5FRI", "", "", false, 2027, 0, "1/29w 4/30w 7/30w 10/29w 12/31w"},
        {"last-sat", "", "", false, 2027, 0,
         "1/30w 2/27w 3/27w 4/24w 5/29w 6/26w 7/31w 8/28w 9/25w 10/30w 11/27w 12/25w"},
        {"1sun,d1", "", "", false, 2026, 0,
         "1/1w 1/4w 2/1w 3/1w 4/1w 4/5w 5/1w 5/3w 6/1w 6/7w 7/1w 7/5w 8/1w 8/2w 9/1w 9/6w 10/1w "
         "10/4w 11/1w 12/1w 12/6w"},
        {"d31", "", "", false, 2027, 0, "1/31w 3/31w 5/31w 7/31w 8/31w 10/31w 12/31w"},
        {"", "12-29..01-03", "", false, 2027, 0, "1/1d 1/2d 1/3d 12/29d 12/30d 12/31d"},
        {"", "2026-12-30..2027-01-02, 02-29", "", false, 2027, 0, "1/1d 1/2d"},
        {"", "02-29", "", false, 2028, 0, "2/29d"},
        {"sun", "", "01-01..01-10", false, 2027, 1, "1/17w 1/24w 1/31w"},
        {"sun,holidays", "05-03", "", false, 2026, 5,
         "5/3d 5/4h 5/5h 5/6h 5/10w 5/17w 5/24w 5/31w"},
        // 成人の日 on a Monday, with and without moves and the holidays rule.
        {"mon", "", "", false, 2027, 1, "1/4w 1/11w 1/18w 1/25w"},
        {"mon", "", "", true, 2027, 1, "1/4w 1/12m 1/18w 1/25w"},
        {"mon,holidays", "", "", true, 2027, 1, "1/1h 1/4w 1/11h 1/12m 1/18w 1/25w"},
        {"mon,tue", "", "", true, 2027, 1, "1/4w 1/5w 1/12w 1/13m 1/18w 1/19w 1/25w 1/26w"},
        {"mon", "2027-01-11", "", true, 2027, 1, "1/4w 1/11d 1/12m 1/18w 1/25w"},
        {"mon", "", "2027-01-12", true, 2027, 1, "1/4w 1/18w 1/25w"},
        {"d3", "", "", true, 2026, 11, "11/4m"},
        // Golden Week: past みどりの日, こどもの日 and 振替休日; in 2019 two moves.
        {"mon", "", "", true, 2026, 5, "5/7m 5/11w 5/18w 5/25w"},
        {"mon,holidays", "", "", true, 2026, 5, "5/3h 5/4h 5/5h 5/6h 5/7m 5/11w 5/18w 5/25w"},
        {"mon", "", "", true, 2019, 5, "5/7m 5/8m 5/13w 5/20w 5/27w"},
        // From 振替休日 on 2018-04-30 into May, and from 2018-12-24 into 2019.
        {"mon", "", "", true, 2018, 5, "5/1m 5/7w 5/14w 5/21w 5/28w"},
        {"mon", "2018-12-25..2018-12-31", "", true, 2019, 1, "1/2m 1/7w 1/15m 1/21w 1/28w"},
        {"mon,holidays", "12-25..12-31", "", true, 2019, 1,
         "1/1h 1/2m 1/7w 1/14h 1/15m 1/21w 1/28w"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Closed(Rules(c.closed, c.closedOn, c.openOn, c.moves), c.year, c.month), c.days)
            << c.closed << " / " << c.closedOn << " / " << c.openOn << " in " << c.year;
    }
}

TEST(ClosingDays, MovesEndWithinTheirBound) {
    // 海の日 2026-07-20: 31 days on, the move still lands; 32 days on it is dropped.
    EXPECT_EQ(ClosingOn(Rules("mon", "07-21..08-19", "", true), 2026, 8, 20), ClosingReason::Moved);
    EXPECT_EQ(ClosingOn(Rules("mon", "07-21..08-20", "", true), 2026, 8, 21), ClosingReason::Open);
    // A page's months in one pass are the months one by one, whatever the first.
    const ClosingRules rules = Rules("mon,last-fri", "2018-12-25..2018-12-31", "2019-05-08", true);
    std::array<MonthClosings, 7> page;
    ClosingsOfMonths(rules, 2018, 12, page);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(page[static_cast<std::size_t>(i)],
                  ClosingsOfMonth(rules, i ? 2019 : 2018, i ? i : 12));
    }
    // 5/6's closing lands on the opening and is lost rather than moving on.
    EXPECT_EQ(ClosingOn(rules, 2019, 5, 7), ClosingReason::Moved);
    EXPECT_EQ(ClosingOn(rules, 2019, 5, 9), ClosingReason::Open);
    // Nothing to move to: the holidays stay open.
    const ClosingRules always = Rules("sun,mon,tue,wed,thu,fri,sat", "", "", true);
    EXPECT_EQ(ClosingOn(always, 2027, 1, 1), ClosingReason::Open);
    EXPECT_EQ(ClosingOn(always, 2027, 1, 12), ClosingReason::Weekly);
    EXPECT_EQ(ClosingOn(Rules("sun,mon,tue,wed,thu,fri,sat"), 2027, 13, 1), ClosingReason::Open);
}

TEST(ClosingDays, TextsReadBack) {
    ClosingRules rules = Rules(" SUN , 4tue,2tue, last-fri ,d1, holidays ", "05-03 .. 05-05");
    EXPECT_EQ(ClosingRuleText(rules), "sun,2tue,4tue,last-fri,d1,holidays");
    EXPECT_EQ(Rules(ClosingRuleText(rules), "05-03..05-05"), rules);
    const std::string spans = "2027-05-03..2027-05-06,12-29..01-03,02-29,0001-01-01";
    EXPECT_EQ(AddDateSpanList(rules.openOn, spans), std::nullopt);
    EXPECT_EQ(DateSpanListText(rules.openOn), spans);
    EXPECT_FALSE(rules.Empty());
    EXPECT_TRUE(Rules("", "", "05-03", true).Empty());
}

TEST(ClosingDays, BadItemsAreNamed) {
    const struct {
        const char *list, *item, *reason;
        bool rules;
    } cases[] = {
        {"sun, 6tue", "6tue", "the week of the month must be 1 to 5", true},
        {"tue2", "tue2", "not a closing rule", true},
        {"1sunday,sun", "1sunday", "not a closing rule", true},
        {"d32", "d32", "the day of the month must be 1 to 31", true},
        {"d0", "d0", "the day of the month must be 1 to 31", true},
        {"sun,,mon", "", "empty item", true},
        {"05-03, 2027-02-30..2027-03-02", "2027-02-30..2027-03-02", "that month has no such day",
         false},
        {"04-31", "04-31", "that month has no such day", false},
        {"13-01", "13-01", "the month must be 1 to 12", false},
        {"2027-00-10", "2027-00-10", "the month must be 1 to 12", false},
        {"0000-01-01", "0000-01-01", "the year must be 1 to 9999", false},
        {"2027-05-06..2027-05-03", "2027-05-06..2027-05-03", "the range ends before it starts",
         false},
        {"2027-12-29..01-03", "2027-12-29..01-03", "a range joins two dated days", false},
        {"2027-5-3x", "2027-5-3x", "not a date", false},
        {"05-03,", "", "empty item", false},
    };
    for (const auto& c : cases) {
        ClosingRules rules;
        const auto error =
            c.rules ? AddClosingRuleList(rules, c.list) : AddDateSpanList(rules.closedOn, c.list);
        ASSERT_TRUE(error) << c.list;
        EXPECT_EQ(error->item, c.item);
        EXPECT_EQ(error->reason.rfind(c.reason, 0), 0u) << error->reason;
        EXPECT_EQ(rules, ClosingRules{}) << c.list;  // nothing of a bad list is kept
    }
}

}  // namespace
}  // namespace rumora
