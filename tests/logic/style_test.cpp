// Start-up and the border fields; colours and fonts are in the window tests.
#include <array>
#include <cstdint>
#include <limits>

#include "logic/form1_fixture.h"
#include "page/page_composer.h"

namespace rumora::testing {
namespace {

using LogicStartUp = StartedForm;

// What start-up takes from the desktop; the design's values show in the page
// bytes the other tests compare, the controls' in the window tests.
TEST_F(LogicStartUp, TakesTodayAndACancelledFirstSaveOnlyBuildsThePage) {
    EXPECT_EQ((std::array{s.MonthView1.Year, s.MonthView1.Month, s.MonthView1.Day}),
              (std::array<std::int16_t, 3>{2026, 12, 6}));
    form.Toolbar1_ButtonClick(3);
    EXPECT_EQ(s.strCalendar, MakeHtmlPage(PageOptionsFromSettings(s), platform.screen));
    EXPECT_EQ(s.strSaveName, "");
    EXPECT_TRUE(platform.writtenPages.empty() && platform.messages.empty());
}

// One border field's handlers; the window tests type into the real ones.
struct BorderField {
    const char* name;
    TextBox PageSettings::*field;
    void (Form1::*keyPress)(std::int16_t&);
    void (Form1::*change)();
};

class LogicBorderFields : public StartedForm, public ::testing::WithParamInterface<BorderField> {
  protected:
    TextBox& Field() { return s.*GetParam().field; }
};

TEST_P(LogicBorderFields, LetOnlyTheDigitsZeroToFourThrough) {
    for (int code = std::numeric_limits<std::int16_t>::min();
         code <= std::numeric_limits<std::int16_t>::max(); ++code) {
        auto key = static_cast<std::int16_t>(code);
        (form.*GetParam().keyPress)(key);
        EXPECT_EQ(key, code >= '0' && code <= '4' ? code : 0) << "code " << code;
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
        (form.*GetParam().change)();
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

}  // namespace
}  // namespace rumora::testing
