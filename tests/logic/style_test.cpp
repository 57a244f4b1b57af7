#include <cstdint>
#include <limits>

#include "logic/form1_fixture.h"

namespace rumora::testing {
namespace {

// One border field as the window drives it: each typed key goes through the
// filter, an accepted key replaces the selection at the caret, then the
// change handler runs. The fields here hold ASCII, so characters are bytes.
struct BorderField {
    const char* name;
    TextBox PageSettings::*field;
    void (Form1::*keyPress)(std::int16_t&);
    void (Form1::*change)();
};

class LogicBorderFields : public StartedForm, public ::testing::WithParamInterface<BorderField> {
  protected:
    TextBox& Field() { return s.*GetParam().field; }

    void Type(std::int16_t key) {
        (form.*GetParam().keyPress)(key);
        if (key == 0) return;
        TextBox& box = Field();
        const auto at = static_cast<std::size_t>(box.SelStart);
        box.Text.replace(at, static_cast<std::size_t>(box.SelLength), 1, static_cast<char>(key));
        box.SelStart += 1;
        box.SelLength = 0;
        (form.*GetParam().change)();
    }

    void SetText(const std::string& text) {
        Field().Text = text;
        (form.*GetParam().change)();
    }

    void ExpectField(const std::string& text, int selStart, int selLength) {
        EXPECT_EQ(Field().Text, text);
        EXPECT_EQ(Field().SelStart, selStart);
        EXPECT_EQ(Field().SelLength, selLength);
    }
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
    Field().SelStart = 0;  // a digit typed before the "0" is lost
    Type('4');
    ExpectField("0", 0, 1);
    Field().SelStart = 1;  // caret after the "0"
    Field().SelLength = 0;
    Type('3');
    ExpectField("3", 0, 1);
    Type('9');
    ExpectField("3", 0, 1);
    Type(8);  // Backspace
    ExpectField("3", 0, 1);
    Type('2');  // replaces the selection, so one character remains
    ExpectField("2", 1, 0);
    Field().SelStart = 0;  // select it and press Delete
    Field().Text.clear();
    Field().SelLength = 0;
    (form.*GetParam().change)();
    ExpectField("", 0, 0);
    Type('1');
    ExpectField("1", 1, 0);
}

TEST_P(LogicBorderFields, KeepTheLastWholeCharacterOfPastedText) {
    SetText("12a");
    ExpectField("a", 0, 1);
    SetText("1😀");
    ExpectField("😀", 0, 1);
    SetText("３４");
    ExpectField("４", 0, 1);
    // Bytes that are no UTF-8 count one each and never split a character.
    SetText("\xE3\x81");
    ExpectField("\x81", 0, 1);
    SetText("0\xF0\x9F\x98");
    ExpectField("\x98", 0, 1);
    SetText("😀\xFF");
    ExpectField("\xFF", 0, 1);
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
    s.ScrColor[1].Value = 0;
    form.ScrColor_Change(1);
    for (const Label& preview : s.lblDay) EXPECT_EQ(preview.BackColor, 150 + 65536 * 180);
    s.ScrColor = {ScrollBar{255, true}, ScrollBar{255, true}, ScrollBar{255, true}};
    form.ScrColor_Change(2);
    for (const Label& preview : s.lblDay) EXPECT_EQ(preview.BackColor, 0xFFFFFF);
}

TEST_F(LogicColourAndFont, FontDialogOpensAtTheWindowFontAndCancelKeepsTheChoice) {
    platform.windowFontName = "Noto Sans CJK JP";
    platform.fontAnswers = {"IPAexGothic"};
    form.cmdFont_Click();
    EXPECT_EQ(s.lblFont.Caption, "IPAexGothic");
    form.cmdFont_Click();  // cancelled
    EXPECT_EQ(s.lblFont.Caption, "IPAexGothic");
    EXPECT_EQ(platform.fontPresets,
              (std::vector<std::string>{"Noto Sans CJK JP", "Noto Sans CJK JP"}));
}

}  // namespace
}  // namespace rumora::testing
