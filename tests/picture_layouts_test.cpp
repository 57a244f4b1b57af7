#include <gtest/gtest.h>

#include <string>

#include "calendar/markup.h"
#include "calendar/month_table.h"
#include "calendar/page_composer.h"
#include "calendar/page_error.h"
#include "picture/picture_scale.h"

namespace rumora {
namespace {

PageSettings CatSettings(const char* layout) {
    PageSettings s = MakeDefaultSettings();
    s.lblLayOut.Caption = layout;
    s.lblFont.Caption = "ＭＳ Ｐゴシック";
    s.txtImg.Text = "D:\\pic\\cat.jpg";
    s.HScroll1.Value = 50;
    s.Picture1.Width = 4500;
    s.Picture1.Height = 3000;
    s.MonthView1.Year = 1999;
    s.MonthView1.Month = 11;
    return s;
}

std::string Table(PageSettings s, int year, int month) {
    return MakeCalendarTable(s, static_cast<std::int16_t>(year), static_cast<std::int16_t>(month));
}

std::string UrlPath(const std::string& path) {
    std::string out;
    AppendPictureUrlPath(out, path);
    return out;
}

TEST(PictureLayouts, Standard1MatchesTheWorkedExample) {
    PageSettings s = CatSettings(kLayoutStandard1);
    const std::string expected =
        "<html>\r\n<body bgcolor=#ffffff text=#000000>\r\n<center><font face=\"ＭＳ "
        "Ｐゴシック\">\r\n<table border=0><td><img src=\"file:///D|/pic/cat.jpg\" width=150 "
        "height=100></td></table><br><br>\r\n<table width=95%>\r\n<tr valign=top "
        "align=center>\r\n<td>" +
        Table(s, 1999, 11) + "</td>\r\n<td>" + Table(s, 1999, 12) + "</td>\r\n<td>" +
        Table(s, 2000, 1) + "</td>\r\n</tr></table>\r\n</font></center></body></html>";
    EXPECT_EQ(MakeHtmlPage(s, {}), expected);
}

TEST(PictureLayouts, Standard2PutsPictureLeftUnquotedAndEndsWithAnEmptyRow) {
    PageSettings s = CatSettings(kLayoutStandard2);
    s.txtImgBorder.Text = "2";
    const std::string expected =
        "<html>\r\n<body bgcolor=#ffffff text=#000000>\r\n<center><font face=\"ＭＳ "
        "Ｐゴシック\">\r\n<table width=95%>\r\n<tr valign=top align=left>\r\n<td "
        "rowspan=3><table border=2><td><img src=file:///D|/pic/cat.jpg width=150 "
        "height=100></td></table>\r\n</td>\r\n<td>" +
        Table(s, 1999, 11) + "</td>\r\n</tr><tr valign=top align=left>\r\n<td>" +
        Table(s, 1999, 12) + "</td>\r\n</tr><tr valign=top align=left>\r\n<td>" +
        Table(s, 2000, 1) +
        "</td>\r\n</tr><tr valign=top align=left>\r\n</table>\r\n</font></center></body></html>";
    EXPECT_EQ(MakeHtmlPage(s, {}), expected);
}

TEST(PictureLayouts, ProgressStartsAnewWithBackgroundAndUnscaledHeight) {
    PageSettings s = CatSettings(kLayoutProgress);
    s.MonthView1.Month = 9;
    std::string columns;
    int month = 9, year = 1999;
    auto column = [&] {
        std::string text;
        for (int i = 0; i < 3; ++i) {
            text += "<tr><td>" + Table(s, year, month) + "</td></tr><tr><td><br><br></td></tr>\r\n";
            if (++month == 13) month = 1, ++year;
        }
        return text;
    };
    const std::string left = column();
    const std::string right = column();
    const std::string expected =
        "<html>\r\n\r\n<body bgcolor=#ffffff text=#000000 "
        "style=\"background:url(file:///D|/pic/cat.jpg) no-repeat center center\">\r\n"
        "<center><font face=\"ＭＳ Ｐゴシック\">\r\n<table width=95% height=200>\r\n"
        "<td align=left valign=middle><table>\r\n" +
        left + "</table></td>\r\n<td align=right><table>\r\n" + right +
        "</table></td>\r\n</table>\r\n</font></center></body></html>";
    EXPECT_EQ(MakeHtmlPage(s, {}), expected);

    s.chkbold.Value = 1;
    s.HScroll1.Value = 200;  // the scale does not apply to the background
    const std::string bold = MakeHtmlPage(s, {});
    EXPECT_TRUE(bold.starts_with(
        "<html>\r\n<head>\r\n<style type=text/css>\r\ntd {font-weight:bold}\r\n</style></"
        "head>\r\n\r\n<body bgcolor=#ffffff text=#000000 style="));
    EXPECT_NE(bold.find("<table width=95% height=200>\r\n"), std::string::npos);
}

TEST(PictureLayouts, PictureAddressIsPercentEncodedWhereMarkupOrUrlsNeedIt) {
    EXPECT_EQ(UrlPath("D:\\My Documents\\pic.jpg"), "D|/My%20Documents/pic.jpg");
    EXPECT_EQ(UrlPath("\\\\server\\share\\a.gif"), "//server/share/a.gif");
    EXPECT_EQ(UrlPath("pic.jpg"), "pic.jpg");
    EXPECT_EQ(UrlPath(""), "");
    EXPECT_EQ(UrlPath("a\"#%&'()<>?`{}b"), "a%22%23%25%26%27%28%29%3C%3E%3F%60%7B%7Db");
    EXPECT_EQ(UrlPath(std::string("\x01\x1f\x7f\t", 4)), "%01%1F%7F%09");
    EXPECT_EQ(UrlPath(std::string("a\0b", 3)), "a%00b");
    // Every non-ASCII byte goes percent-encoded, so the address reads the
    // same whatever character set a browser guesses for the page, and
    // neither Shift-JIS nor "?" can stand in for a character of the name.
    EXPECT_EQ(UrlPath("/写真/：¥.jpg"), "/%E5%86%99%E7%9C%9F/%EF%BC%9A%C2%A5.jpg");
    EXPECT_EQ(UrlPath("/한/😀"), "/%ED%95%9C/%F0%9F%98%80");
    EXPECT_EQ(UrlPath(std::string("/a\xe9\xff.png", 8)), "/a%E9%FF.png");
    EXPECT_EQ(UrlPath("/a+b,c;d=e!f~g[h]@$*"), "/a+b,c;d=e!f~g[h]@$*");

    PageSettings s = CatSettings(kLayoutStandard2);
    s.txtImg.Text = "/home/u/My Pictures/\"x\" >.jpg";
    const std::string page = MakeHtmlPage(s, {});
    EXPECT_NE(page.find("<img src=file:////home/u/My%20Pictures/%22x%22%20%3E.jpg width=150"),
              std::string::npos);
}

TEST(PictureLayouts, ScaledSizeFollowsDoubleArithmeticStepByStep) {
    EXPECT_EQ(ScaledPixels(29, 1500, 15), 28);  // 0.29 * 1500 = 434.99999999999994
    EXPECT_EQ(ScaledPixels(58, 750, 15), 28);
    EXPECT_EQ(ScaledPixels(116, 375, 15), 28);
    EXPECT_EQ(ScaledPixels(10, 1500, 15), 10);
    EXPECT_EQ(ScaledPixels(200, 1500, 15), 200);
    EXPECT_EQ(ScaledPixels(100, 4500, 15), 300);
    EXPECT_EQ(ScaledPixels(10, 75, 15), 0);
    EXPECT_EQ(ScaledPixels(50, 301 * 15, 15), 150);
    EXPECT_EQ(ScaledPixels(100, 855, 15), 57);  // the empty holder's design size
    EXPECT_EQ(NaturalPixels(3000, 15), 200);
    EXPECT_EQ(NaturalPixels(3000, 12), 250);
    EXPECT_FALSE(ScaledPixels(100, 1500, 0));
    EXPECT_FALSE(NaturalPixels(1500, 0));
    EXPECT_FALSE(ScaledPixels(200, 3.0e38f, 1e-30f));
    EXPECT_EQ(PixelSizeText(320, 240), "W320 x H240");
    EXPECT_EQ(ScaleText(100), "100% ==>");

    PageSettings s = CatSettings(kLayoutStandard1);
    s.HScroll1.Value = 29;
    s.Picture1.Width = 1500;
    s.Picture1.Height = 1500;
    EXPECT_NE(MakeHtmlPage(s, {}).find(" width=28 height=28>"), std::string::npos);
}

TEST(PictureLayouts, EmptyPathAndBorderAndImpossibleSizes) {
    PageSettings s = CatSettings(kLayoutStandard1);
    s.txtImg.Text = "";
    s.txtImgBorder.Text = "";
    s.Picture1.Width = s.Picture1.Height = kPictureDesignTwips;
    s.HScroll1.Value = 100;
    EXPECT_NE(MakeHtmlPage(s, {}).find(
                  "<table border=><td><img src=\"file:///\" width=57 height=57></td>"),
              std::string::npos);
    s.txtImgBorder.Text = "1 onload=x";
    EXPECT_NE(MakeHtmlPage(s, {}).find("<table border=1 onload=x><td>"), std::string::npos);

    for (const char* layout : {kLayoutStandard1, kLayoutStandard2, kLayoutProgress}) {
        PageSettings zero = CatSettings(layout);
        zero.strCalendar = "kept";
        EXPECT_THROW(MakeHtmlPage(zero, {0.0f, 0.0f}), PageBuildError) << layout;
    }
    // Simple has no picture: the screen measures do not matter.
    PageSettings simple = CatSettings(kLayoutSimple);
    EXPECT_NO_THROW(MakeHtmlPage(simple, {0.0f, 0.0f}));
}

}  // namespace
}  // namespace rumora
