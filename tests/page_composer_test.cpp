#include "calendar/page_composer.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/month_table.h"
#include "calendar/page_error.h"

namespace rumora {
namespace {

constexpr const char* kBoldBlock =
    "<head>\r\n<style type=text/css>\r\ntd {font-weight:bold}\r\n</style></head>\r\n";

PageSettings Start(int year, int month) {
    PageSettings s = MakeDefaultSettings();
    s.MonthView1.Year = static_cast<std::int16_t>(year);
    s.MonthView1.Month = static_cast<std::int16_t>(month);
    s.lblFont.Caption = "ＭＳ Ｐゴシック";
    return s;
}

std::string Table(PageSettings s, int year, int month) {
    return MakeCalendarTable(s, static_cast<std::int16_t>(year), static_cast<std::int16_t>(month));
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(PageComposer, SimpleThreeRowsOfFourBoldMatchesTheWorkedExample) {
    PageSettings s = Start(1999, 6);
    s.chkbold.Value = 1;
    std::string expected = std::string("<html>\r\n") + kBoldBlock +
                           "<body bgcolor=#ffffff text=#000000>\r\n"
                           "<center><font face=\"ＭＳ Ｐゴシック\">\r\n"
                           "<br><br><table width=95%>\r\n";
    int year = 1999, month = 6;
    for (int row = 0; row < 3; ++row) {
        expected += "<tr valign=top align=center>\r\n";
        for (int i = 0; i < 4; ++i) {
            expected += "<td>" + Table(s, year, month) + "</td>\r\n";
            if (++month == 13) month = 1, ++year;
        }
        expected += "</tr>\r\n<tr><td><spacer size=50 type= vertical></td></tr>\r\n";
    }
    expected += "</table>\r\n</font></center></body></html>";
    EXPECT_EQ(MakeHtmlPage(s, {}), expected);
    EXPECT_EQ(MakeHtmlPage(s, {}), expected) << "a second build differs";
}

TEST(PageComposer, SimpleFourRowsOfThreeAndMonthsAcrossYearEnd) {
    PageSettings s = Start(1999, 11);
    s.optOnSmplMode[0].Value = false;
    s.optOnSmplMode[1].Value = true;
    const std::string page = MakeHtmlPage(s, {});
    EXPECT_EQ(Count(page, "<tr valign=top align=center>\r\n"), 4u);
    EXPECT_EQ(Count(page, "<spacer size=50 type= vertical>"), 4u);
    EXPECT_EQ(Count(page, "<table border=0>"), 12u);
    // Three cells per row: the second row starts with the fourth month, February 2000.
    EXPECT_NE(page.find("<tr valign=top align=center>\r\n<td><table border=0>\r\n<tr><td "
                        "colspan=7 align=right><font size=-1>2000.2  -"),
              std::string::npos);
    EXPECT_NE(page.find(">1999.12  -"), std::string::npos);
    EXPECT_NE(page.find(">2000.10  -"), std::string::npos);
    EXPECT_EQ(page.find(">2000.11  -"), std::string::npos);
}

TEST(PageComposer, BoldOffHasNoHeadAndAnyNonZeroValueIsBold) {
    PageSettings s = Start(1999, 1);
    const std::string plain = MakeHtmlPage(s, {});
    EXPECT_TRUE(plain.starts_with("<html>\r\n<body bgcolor=#ffffff text=#000000>\r\n"));
    EXPECT_NE(plain.find(">1999.12  -"), std::string::npos);
    EXPECT_EQ(plain.find(">2000.1  -"), std::string::npos);
    s.chkbold.Value = 2;
    EXPECT_TRUE(MakeHtmlPage(s, {}).starts_with(std::string("<html>\r\n") + kBoldBlock));
}

TEST(PageComposer, CaptionMatchingNoLayoutGivesFrameOnly) {
    for (const std::string caption : {"スタンダード １", "シンプル ", "", "simple"}) {
        PageSettings s = Start(1999, 1);
        s.lblLayOut.Caption = caption;
        s.chkbold.Value = 1;
        EXPECT_EQ(MakeHtmlPage(s, {}),
                  std::string("<html>\r\n") + kBoldBlock +
                      "<body bgcolor=#ffffff text=#000000>\r\n<center><font "
                      "face=\"ＭＳ Ｐゴシック\">\r\n</font></center></body></html>")
            << caption;
    }
}

TEST(PageComposer, FontNameIsEscapedAndOtherwiseVerbatim) {
    PageSettings s = Start(1999, 1);
    s.lblLayOut.Caption = "none";
    s.lblFont.Caption = "";
    EXPECT_NE(MakeHtmlPage(s, {}).find("<center><font face=\"\">\r\n"), std::string::npos);
    s.lblFont.Caption = " A&B \"<x>' ";
    EXPECT_NE(
        MakeHtmlPage(s, {}).find("<center><font face=\" A&amp;B &quot;&lt;x&gt;&#39; \">\r\n"),
        std::string::npos);
}

TEST(PageComposer, PageNeedingAMonthAfterDecember9999Fails) {
    PageSettings late = Start(9999, 2);
    EXPECT_THROW(MakeHtmlPage(late, {}), PageBuildError);
    // Twelve months from January 9999 end in December 9999 and are fine.
    PageSettings fits = Start(9999, 1);
    EXPECT_TRUE(MakeHtmlPage(fits, {}).ends_with("</html>"));
    PageSettings three = Start(9999, 10);
    three.lblLayOut.Caption = kLayoutStandard1;
    EXPECT_NO_THROW(MakeHtmlPage(three, {}));
    three.MonthView1.Month = 11;
    EXPECT_THROW(MakeHtmlPage(three, {}), PageBuildError);
}

}  // namespace
}  // namespace rumora
