#include "calendar/month_table.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/page_error.h"

namespace rumora {
namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

PageSettings Settings(const std::string& language, const std::string& border = "1") {
    PageSettings s = MakeDefaultSettings();
    s.cmbLanguage.Text = language;
    s.txttblborder.Text = border;
    return s;
}

const std::string kSeptember1999Weeks = Lines({
    "<tr align=right><td></td><td></td><td></td><td>1</td><td>2</td><td>3</td><td><font "
    "color=#0000ff>4</font></td></tr>",
    "<tr align=right><td><font color=#ff0000>5</font></td><td>6</td><td>7</td><td>8</td><td>9</"
    "td><td>10</td><td><font color=#0000ff>11</font></td></tr>",
    "<tr align=right><td><font color=#ff0000>12</font></td><td>13</td><td>14</td><td>15</"
    "td><td>16</td><td>17</td><td><font color=#0000ff>18</font></td></tr>",
    "<tr align=right><td><font color=#ff0000>19</font></td><td>20</td><td>21</td><td>22</"
    "td><td>23</td><td>24</td><td><font color=#0000ff>25</font></td></tr>",
    "<tr align=right><td><font color=#ff0000>26</font></td><td>27</td><td>28</td><td>29</"
    "td><td>30</td></tr></table>",
});

TEST(MonthTable, September1999InEnglishMatchesTheWorkedExample) {
    PageSettings s = Settings("英語");
    const std::string expected =
        Lines({
            "<table border=1>",
            "<tr><td colspan=7 align=right><font size=-1>1999.9  - September -</font></td></tr><tr "
            "align=center bgcolor=#96FAB4>",
            "<td><font color=#ff0000>Sun</font></td><td>Mon</td><td>Tue</td><td>Wed</td><td>Thu</"
            "td><td> Fri </td><td><font color=#0000ff>Sat</font></td></tr>",
        }) +
        "\r\n" + kSeptember1999Weeks;
    EXPECT_EQ(MakeCalendarTable(s, 1999, 9), expected);
}

TEST(MonthTable, September1999InJapaneseUsesTraditionalNameAndJapaneseHeader) {
    PageSettings s = Settings("日本語");
    const std::string expected =
        Lines({
            "<table border=1>",
            "<tr><td colspan=7 align=right><font size=-1>1999.9  - 長月 -</font></td></tr><tr "
            "align=center bgcolor=#96FAB4>",
            "<td><font color=#ff0000> 日 </font></td><td>月</td><td>火</td><td>水</td><td>木</"
            "td><td>金</td><td><font color=#0000ff>土</font></td></tr>",
        }) +
        "\r\n" + kSeptember1999Weeks;
    EXPECT_EQ(MakeCalendarTable(s, 1999, 9), expected);
}

TEST(MonthTable, OtherLanguageTextGivesEnglishTitleAndNoHeaderRow) {
    for (const std::string language : {"", "日本語 ", "english", "英語\t"}) {
        PageSettings s = Settings(language);
        const std::string table = MakeCalendarTable(s, 1999, 9);
        EXPECT_NE(table.find("1999.9  - September -</font></td></tr><td></td><td></td>"),
                  std::string::npos)
            << language;
        EXPECT_EQ(table.find("bgcolor"), std::string::npos);
        // From the second week on, rows open as usual.
        EXPECT_NE(table.find("</tr>\r\n<tr align=right><td><font color=#ff0000>5<"),
                  std::string::npos);
        EXPECT_EQ(table.find("<tr align=right><td></td>"), std::string::npos);
    }
}

TEST(MonthTable, FirstWeekdayDecidesLeadingBlanks) {
    PageSettings s = Settings("英語");
    // August 1999 starts on a Sunday: no blanks, day 1 in red.
    EXPECT_NE(MakeCalendarTable(s, 1999, 8).find("<tr align=right><td><font color=#ff0000>1<"),
              std::string::npos);
    // January 2000 starts on a Saturday: six blanks, day 1 blue, last row 30 (red) and 31.
    const std::string january = MakeCalendarTable(s, 2000, 1);
    EXPECT_NE(january.find("<tr align=right><td></td><td></td><td></td><td></td><td></td><td></"
                           "td><td><font color=#0000ff>1</font></td></tr>"),
              std::string::npos);
    EXPECT_TRUE(january.ends_with(
        "<tr align=right><td><font color=#ff0000>30</font></td><td>31</td></tr></table>"));
    EXPECT_EQ(WeekdayOfFirst(1753, 1), 2);   // a Monday
    EXPECT_EQ(WeekdayOfFirst(9999, 12), 4);  // a Wednesday
}

TEST(MonthTable, MonthEndingOnSaturdayLeavesAnEmptyLastRow) {
    PageSettings s = Settings("英語");
    EXPECT_TRUE(MakeCalendarTable(s, 2009, 2)
                    .ends_with("<font color=#0000ff>28</font></td></tr>\r\n<tr "
                               "align=right></tr></table>"));
}

TEST(MonthTable, FebruaryLengthFollowsGregorianLeapYears) {
    PageSettings s = Settings("英語");
    for (int year : {2000, 2004, 1600, 2400}) {
        const std::string table = MakeCalendarTable(s, static_cast<std::int16_t>(year), 2);
        EXPECT_NE(table.find(">29<"), std::string::npos) << year;
        EXPECT_EQ(s.intMonthDays[2], 29);
    }
    for (int year : {1900, 1999, 2100}) {
        const std::string table = MakeCalendarTable(s, static_cast<std::int16_t>(year), 2);
        EXPECT_EQ(table.find(">29<"), std::string::npos) << year;
        EXPECT_EQ(s.intMonthDays[2], 28);
    }
}

TEST(MonthTable, HeaderColourIsTwoUpperCaseHexDigitsPerShare) {
    struct Case {
        std::int16_t r, g, b;
        const char* hex;
    };
    for (const Case c :
         {Case{0, 128, 255, "#0080FF"}, Case{150, 250, 180, "#96FAB4"},
          Case{255, 255, 255, "#FFFFFF"}, Case{0, 0, 0, "#000000"}, Case{10, 11, 15, "#0A0B0F"}}) {
        PageSettings s = Settings("日本語");
        s.ScrColor[0].Value = c.r;
        s.ScrColor[1].Value = c.g;
        s.ScrColor[2].Value = c.b;
        EXPECT_NE(MakeCalendarTable(s, 1999, 9).find(std::string("bgcolor=") + c.hex + ">\r\n"),
                  std::string::npos)
            << c.hex;
    }
}

TEST(MonthTable, BorderTextIsInsertedUnchangedButEscaped) {
    PageSettings empty = Settings("英語", "");
    EXPECT_TRUE(MakeCalendarTable(empty, 1999, 12).starts_with("<table border=>\r\n<tr>"));
    PageSettings letter = Settings("英語", "a");
    EXPECT_TRUE(MakeCalendarTable(letter, 1999, 12).starts_with("<table border=a>\r\n"));
    PageSettings markup = Settings("英語", "\"><x");
    EXPECT_TRUE(MakeCalendarTable(markup, 1999, 12).starts_with("<table border=&quot;&gt;&lt;x>"));
}

TEST(MonthTable, TitleHasNoLeadingZerosAndTableHasNoTrailingLineBreak) {
    PageSettings s = Settings("英語");
    const std::string december = MakeCalendarTable(s, 1999, 12);
    EXPECT_NE(december.find(">1999.12  - December -<"), std::string::npos);
    EXPECT_NE(MakeCalendarTable(s, 1753, 1).find(">1753.1  - January -<"), std::string::npos);
    EXPECT_TRUE(december.ends_with("</tr></table>"));
}

TEST(MonthTable, DatesTheCalendarCannotFormAreErrors) {
    PageSettings s = Settings("英語");
    try {
        MakeCalendarTable(s, 10000, 1);
        FAIL() << "year 10000 was accepted";
    } catch (const PageBuildError& error) {
        EXPECT_EQ(error.kind(), PageBuildError::Kind::PastLastMonth);
    }
    EXPECT_THROW(MakeCalendarTable(s, 1999, 13), PageBuildError);
    EXPECT_THROW(MakeCalendarTable(s, 1999, 0), PageBuildError);
    EXPECT_THROW(MakeCalendarTable(s, -5, 3), PageBuildError);
}

}  // namespace
}  // namespace rumora
