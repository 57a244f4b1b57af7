#include <array>
#include <cstdint>

#include "logic/form1_fixture.h"

namespace rumora::testing {
namespace {

using LogicStartUp = StartedForm;

TEST_F(LogicStartUp, HoldsDesignValuesTodayAndTheWindowFont) {
    EXPECT_EQ(s.lblLayOut.Caption, "シンプル");
    EXPECT_TRUE(s.optOnSmplMode[0].Value);
    EXPECT_FALSE(s.optOnSmplMode[1].Value);
    EXPECT_EQ(platform.todayCalls, 3);
    EXPECT_EQ((std::array{s.MonthView1.Year, s.MonthView1.Month, s.MonthView1.Day}),
              (std::array<std::int16_t, 3>{2026, 12, 6}));
    EXPECT_EQ(s.cmbLanguage.Text, "日本語");
    EXPECT_EQ(s.cmbLanguage.List, (std::vector<std::string>{"日本語", "英語"}));
    EXPECT_EQ(s.txttblborder.Text, "0");
    EXPECT_EQ(s.txtImgBorder.Text, "0");
    EXPECT_EQ((std::array{s.ScrColor[0].Value, s.ScrColor[1].Value, s.ScrColor[2].Value}),
              (std::array<std::int16_t, 3>{150, 250, 180}));
    for (const Label& preview : s.lblDay)
        EXPECT_EQ(preview.BackColor, 150 + 256 * 250 + 65536 * 180);
    EXPECT_EQ(s.txtImg.Text, "");
    EXPECT_EQ(s.HScroll1.Value, 100);
    EXPECT_FALSE(s.HScroll1.Enabled);
    EXPECT_EQ(s.Picture1.Width, 855.0f);
    EXPECT_EQ(s.Picture1.Height, 855.0f);
    EXPECT_EQ(s.lblImgSize.Caption, "");
    EXPECT_EQ(s.lblImgSize2.Caption, "");
    EXPECT_EQ(s.lblImgScale.Caption, "");
    EXPECT_EQ(s.lblFont.Caption, kWindowFontName);
    EXPECT_EQ(s.chkbold.Value, 0);
    for (int index = 2; index <= 5; ++index) {
        EXPECT_EQ(s.Toolbar1.Buttons[index].Enabled, index == 3 || index == 5) << index;
    }
    EXPECT_EQ(s.strCalendar, "");
    EXPECT_EQ(s.strSaveName, "");
    EXPECT_EQ(s.lngAPIReVal, 0);
}

TEST_F(LogicStartUp, APageBuiltAtOnceStartsWithTodaysMonth) {
    form.Toolbar1_ButtonClick(3);  // the save dialog is cancelled
    const auto first = s.strCalendar.find("<font size=-1>");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(s.strCalendar.compare(first + 14, 8, "2026.12 "), 0);
    EXPECT_NE(s.strCalendar.find("2027.11  - 霜月 -"), std::string::npos);
}

}  // namespace
}  // namespace rumora::testing
