#include "page/page_composer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "page/month_table.h"

namespace rumora {
namespace {

constexpr const char* kFont = "ＭＳ Ｐゴシック";

PageOptions Start(const char* layout, int year, int month) {
    PageOptions s;
    s.layout = LayoutNamed(layout);
    s.firstMonth = {year, month};
    s.fontFace = kFont;
    s.picturePath = "D:\\pic\\cat.jpg";
    s.pictureBorder = "2";
    s.pictureScalePercent = 50;
    s.pictureWidthTwips = 4500;
    s.pictureHeightTwips = 3000;
    return s;
}

std::string Repeat(int times, const std::string& text) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

// `page` with each "@" replaced by the next month's table, from (year, month).
std::string FillMonths(const PageOptions& s, std::string page, int year, int month) {
    for (auto at = page.find('@'); at != std::string::npos; at = page.find('@', at)) {
        page.replace(at, 1, MakeCalendarTable(s, year, month));
        if (++month == 13) month = 1, ++year;
    }
    return page;
}

const std::string kBody = "<body bgcolor=#ffffff text=#000000>\r\n";
const std::string kFontLine = std::string("<center><font face=\"") + kFont + "\">\r\n";
const std::string kClosing = "</font></center></body></html>";

// "<html>", the head, and the character-set declaration first in it.
std::string DocumentStart(bool bold, PageEncoding encoding) {
    return std::string("<html>\r\n") + (bold ? "<head>\r\n" : "") +
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
           (encoding == PageEncoding::Utf8 ? "UTF-8" : "Shift_JIS") + "\">\r\n" +
           (bold ? "<style type=text/css>\r\ntd {font-weight:bold}\r\n</style></head>\r\n" : "");
}

struct LayoutCase {
    const char* layout;
    int year, month;
    bool threeRowsOfFour;
    std::string rest;  // everything after the document start
};

TEST(PageComposer, EveryLayoutByteForByteWithBothHeadsAndEncodings) {
    const auto simple = [](int rows, int columns) {
        return kBody + kFontLine + "<br><br><table width=95%>\r\n" +
               Repeat(rows, "<tr valign=top align=center>\r\n" + Repeat(columns, "<td>@</td>\r\n") +
                                "</tr>\r\n<tr><td><spacer size=50 type= vertical></td></tr>\r\n") +
               "</table>\r\n" + kClosing;
    };
    static const std::string kProgressCell = "<tr><td>@</td></tr><tr><td><br><br></td></tr>\r\n";
    const LayoutCase cases[] = {
        // Three rows of four, and four rows of three across a year end.
        {"シンプル", 1999, 6, true, simple(3, 4)},
        {"シンプル", 1999, 11, false, simple(4, 3)},
        {"スタンダード 1", 1999, 11, true,
         kBody + kFontLine +
             "<table border=2><td><img src=\"file:///D|/pic/cat.jpg\" width=150 height=100>"
             "</td></table><br><br>\r\n<table width=95%>\r\n<tr valign=top align=center>\r\n" +
             Repeat(3, "<td>@</td>\r\n") + "</tr></table>\r\n" + kClosing},
        {"スタンダード 2", 1999, 11, true,
         kBody + kFontLine +
             "<table width=95%>\r\n<tr valign=top align=left>\r\n<td rowspan=3><table "
             "border=2><td><img src=file:///D|/pic/cat.jpg width=150 height=100></td></table>"
             "\r\n</td>\r\n" +
             Repeat(3, "<td>@</td>\r\n</tr><tr valign=top align=left>\r\n") + "</table>\r\n" +
             kClosing},
        // The scale does not apply to the background; its table is as high
        // as the picture.
        {"プログレス", 1999, 9, true,
         "\r\n<body bgcolor=#ffffff text=#000000 style=\"background:url(file:///D|/pic/cat.jpg) "
         "no-repeat center center\">\r\n" +
             kFontLine +
             "<table width=95% height=200>\r\n<td align=left valign=middle><table>\r\n" +
             Repeat(3, kProgressCell) + "</table></td>\r\n<td align=right><table>\r\n" +
             Repeat(3, kProgressCell) + "</table></td>\r\n</table>\r\n" + kClosing},
        // A caption that is no layout's name, by a full-width digit or a
        // trailing blank, gives the frame alone.
        {"スタンダード １", 1999, 1, true, kBody + kFontLine + kClosing},
    };
    for (const LayoutCase& c : cases) {
        for (const int bold : {0, 1, 2}) {
            for (const PageEncoding encoding : {PageEncoding::CodePage932, PageEncoding::Utf8}) {
                PageOptions s = Start(c.layout, c.year, c.month);
                s.grid =
                    c.threeRowsOfFour ? SimpleGrid::ThreeRowsOfFour : SimpleGrid::FourRowsOfThree;
                s.weight = bold != 0 ? FontWeight::Bold : FontWeight::Regular;
                s.encoding = encoding;
                EXPECT_EQ(MakeHtmlPage(s, {}), DocumentStart(bold != 0, encoding) +
                                                   FillMonths(s, c.rest, c.year, c.month))
                    << c.layout << " " << c.year << "." << c.month << " bold " << bold
                    << (encoding == PageEncoding::Utf8 ? " UTF-8" : " Shift_JIS");
            }
        }
    }
}

// The legend follows the months once, in the closing colour, with the label
// escaped; a user's label replaces the language's.
TEST(PageComposer, ClosingsAddTheLegendUnderTheMonths) {
    for (const auto& [language, label, written] :
         {std::tuple{TitleLanguage::Japanese, "", "休業日"},
          std::tuple{TitleLanguage::Unlisted, "", "Closed"},
          std::tuple{TitleLanguage::English, "定休日 <&>", "定休日 &lt;&amp;&gt;"}}) {
        PageOptions s = Start("スタンダード 2", 2027, 1);
        s.language = language;
        const std::string plain = MakeHtmlPage(s, {});
        s.closing.weekly = 1 << 3;
        s.closingColor = {255, 0, 16};
        s.closingLabel = label;
        const std::string page = MakeHtmlPage(s, {});
        const std::string legend =
            "<style>@media print{td{-webkit-print-color-adjust:exact;print-color-adjust:exact}}"
            "</style>\r\n<br><table><tr><td bgcolor=#FF0010 style=\"border:1px solid "
            "#808080\"><font color=#FF0010>■</font></td><td>" +
            std::string(written) + "</td></tr></table>\r\n";
        const std::string print =
            "<style>@media print{@page{margin:10mm}html{zoom:0.7}table{break-inside:avoid;height:"
            "auto!important}img{width:auto!important;height:auto!important;max-width:600px;"
            "max-height:1100px}}</style>\r\n";
        const std::size_t tail = legend.size() + print.size() + kClosing.size();
        EXPECT_EQ(page.substr(page.size() - tail), legend + print + kClosing);
        // Thirteen Wednesdays in the three months, and nothing else changed.
        std::string unmarked = page.substr(0, page.size() - tail);
        const std::string cell = "<td bgcolor=#FF0010 title=\"" + std::string(written) + "\">";
        int marked = 0;
        for (auto at = unmarked.find(cell); at != std::string::npos; at = unmarked.find(cell)) {
            unmarked.replace(at, cell.size(), "<td>");
            ++marked;
        }
        EXPECT_EQ(marked, 13);
        EXPECT_EQ(unmarked + kClosing, plain);
    }
}

// Any of the almanac, holiday, week or closing choices brings the print
// rules, shrunk to each layout; without them the page has none.
TEST(PageComposer, PrintRulesComeWithTheNewChoicesOnly) {
    const std::pair<void (*)(PageOptions&), const char*> choices[] = {
        {[](PageOptions& s) { s.holidays = true; }, "スタンダード 1"},
        {[](PageOptions& s) { s.rokuyo = true; }, "プログレス"},
        {[](PageOptions& s) { s.weekStart = WeekStart::Monday; }, "シンプル"},
        {[](PageOptions& s) { s.solarTerms = true; }, "スタンダード 2"},
        {[](PageOptions& s) { s.seasonalDays = true; }, "シンプル"},
        {[](PageOptions& s) { s.moonPhases = true; }, "シンプル"},
        {[](PageOptions& s) { s.eraYear = true; }, "シンプル"},
        {[](PageOptions& s) { s.closing.weekly = 1; }, "シンプル"}};
    for (const auto& [choose, layout] : choices) {
        PageOptions s = Start(layout, 2027, 1);
        EXPECT_EQ(MakeHtmlPage(s, {}).find("@media print{@page"), std::string::npos) << layout;
        choose(s);
        const std::string page = MakeHtmlPage(s, {});
        EXPECT_NE(page.find("@media print{@page{margin:10mm}html{zoom:0."), std::string::npos);
        EXPECT_TRUE(page.ends_with("</style>\r\n" + std::string(kClosing))) << layout;
    }
}

}  // namespace
}  // namespace rumora
