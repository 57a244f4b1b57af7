// Start-up, the border fields, the colour bars and the font button.
#include <array>
#include <cstdint>
#include <limits>
#include <tuple>

#include "calendar/page_composer.h"
#include "logic/form1_fixture.h"

namespace rumora::testing {
namespace {

using LogicStartUp = StartedForm;

// What start-up takes from the desktop; the design's values show in the page
// bytes the other tests compare.
TEST_F(LogicStartUp, TakesTodayAndTheWindowFontAndWaitsForASavedFile) {
    EXPECT_EQ((std::array{s.MonthView1.Year, s.MonthView1.Month, s.MonthView1.Day}),
              (std::array<std::int16_t, 3>{2026, 12, 6}));
    EXPECT_EQ(s.lblFont.Caption, kWindowFontName);
    EXPECT_EQ(s.cmbLanguage.List, (std::vector<std::string>{"日本語", "英語"}));
    for (const Label& preview : s.lblDay) EXPECT_EQ(preview.BackColor, 0xB4FA96);
    // A cancelled first save builds the page and nothing else.
    form.Toolbar1_ButtonClick(3);
    EXPECT_EQ(platform.saveFilters, (std::vector<std::string>{"HTML File|*.htm;*.html"}));
    EXPECT_EQ(s.strCalendar, MakeHtmlPage(s, platform.screen));
    EXPECT_EQ(s.strSaveName, "");
    EXPECT_TRUE(platform.writtenPages.empty() && platform.messages.empty());
    for (int index = 2; index <= 5; ++index) {
        EXPECT_EQ(s.Toolbar1.Buttons[index].Enabled, index == 3 || index == 5) << index;
    }
    const auto first = s.strCalendar.find("<font size=-1>");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(s.strCalendar.compare(first + 14, 8, "2026.12 "), 0);
    EXPECT_NE(s.strCalendar.find("2027.11  - 霜月 -"), std::string::npos);
}

// One border field as the window drives it: each typed key goes through the
// filter, an accepted key replaces the selection at the caret, then the
// change handler runs. Typed keys are ASCII, so characters are bytes.
struct BorderField {
    const char* name;
    TextBox PageSettings::*field;
    void (Form1::*keyPress)(std::int16_t&);
    void (Form1::*change)();
};

class LogicBorderFields : public StartedForm, public ::testing::WithParamInterface<BorderField> {
  protected:
    TextBox& Field() { return s.*GetParam().field; }
    void Changed() { (form.*GetParam().change)(); }
};

TEST_P(LogicBorderFields, LetOnlyTheDigitsZeroToFourThrough) {
    for (int code = std::numeric_limits<std::int16_t>::min();
         code <= std::numeric_limits<std::int16_t>::max(); ++code) {
        auto key = static_cast<std::int16_t>(code);
        (form.*GetParam().keyPress)(key);
        EXPECT_EQ(key, code >= '0' && code <= '4' ? code : 0) << "code " << code;
    }
}

TEST_P(LogicBorderFields, KeepTheLastTypedDigitSelected) {
    struct Step {
        int caret;  // -1: where the last step left it
        std::int16_t key;
        const char* text;
        int selStart, selLength;
    };
    const Step steps[] = {{0, '4', "0", 0, 1},  // typed before the "0": lost
                          {1, '3', "3", 0, 1}, {-1, '9', "3", 0, 1},
                          {-1, 8, "3", 0, 1},  {-1, '2', "2", 1, 0},  // replaces the selection
                          {-1, '1', "1", 0, 1}};
    for (const Step& step : steps) {
        TextBox& box = Field();
        if (step.caret >= 0) {
            box.SelStart = step.caret;
            box.SelLength = 0;
        }
        std::int16_t key = step.key;
        (form.*GetParam().keyPress)(key);
        if (key != 0) {
            box.Text.replace(static_cast<std::size_t>(box.SelStart),
                             static_cast<std::size_t>(box.SelLength), 1, static_cast<char>(key));
            box.SelStart += 1;
            box.SelLength = 0;
            Changed();
        }
        EXPECT_EQ((std::tuple{box.Text, box.SelStart, box.SelLength}),
                  (std::tuple{std::string(step.text), step.selStart, step.selLength}))
            << "after key " << step.key;
    }
}

// Pasted or set text keeps its last whole character; bytes that are no
// UTF-8 count one each and never split a character.
TEST_P(LogicBorderFields, KeepTheLastWholeCharacterOfAnyText) {
    const std::pair<const char*, const char*> texts[] = {{"12a", "a"},
                                                         {"1😀", "😀"},
                                                         {"３４", "４"},
                                                         {"\xE3\x81", "\x81"},
                                                         {"0\xF0\x9F\x98", "\x98"},
                                                         {"😀\xFF", "\xFF"},
                                                         {"1\xF1\x80\x80\x80", "\xF1\x80\x80\x80"}};
    for (const auto& [text, kept] : texts) {
        Field().Text = text;
        Changed();
        EXPECT_EQ(Field().Text, kept) << text;
        EXPECT_EQ(Field().SelLength, *kept ? 1 : 0) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Both, LogicBorderFields,
    ::testing::Values(BorderField{"txttblborder", &PageSettings::txttblborder,
                                  &Form1::txttblborder_KeyPress, &Form1::txttblborder_Change},
                      BorderField{"txtImgBorder", &PageSettings::txtImgBorder,
                                  &Form1::txtImgBorder_KeyPress, &Form1::txtImgBorder_Change}),
    [](const auto& test) { return std::string(test.param.name); });

using LogicColourAndFont = StartedForm;

TEST_F(LogicColourAndFont, AColourStepRepaintsAllFivePreviews) {
    s.ScrColor = {ScrollBar{1, true}, ScrollBar{0, true}, ScrollBar{255, true}};
    form.ScrColor_Change(1);
    for (const Label& preview : s.lblDay) EXPECT_EQ(preview.BackColor, 0xFF0001);
    s.ScrColor[1].Value = 255;
    form.ScrColor_Change(2);
    for (const Label& preview : s.lblDay) EXPECT_EQ(preview.BackColor, 0xFFFF01);
}

TEST_F(LogicColourAndFont, FontDialogOpensAtTheWindowFontAndCancelKeepsTheChoice) {
    platform.windowFontName = "Noto Sans CJK JP";
    platform.fontAnswers = {"IPAexGothic"};
    form.cmdFont_Click();
    form.cmdFont_Click();  // cancelled
    EXPECT_EQ(s.lblFont.Caption, "IPAexGothic");
    EXPECT_EQ(platform.fontPresets,
              (std::vector<std::string>{"Noto Sans CJK JP", "Noto Sans CJK JP"}));
}

}  // namespace
}  // namespace rumora::testing
