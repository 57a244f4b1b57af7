// The record of the user's choices: one field per control property that the
// logic reads or writes, named control.Property so every part of rumora
// speaks of a setting by the same name the window uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rumora {

// The four layout captions, compared exactly by the page composer.
inline constexpr const char* kLayoutSimple = "シンプル";
inline constexpr const char* kLayoutStandard1 = "スタンダード 1";
inline constexpr const char* kLayoutStandard2 = "スタンダード 2";
inline constexpr const char* kLayoutProgress = "プログレス";

inline constexpr const char* kLanguageJapanese = "日本語";
inline constexpr const char* kLanguageEnglish = "英語";

// The window's own font, which start-up copies into lblFont.Caption and the
// batch tool uses as its default. Where the face is missing, fontconfig
// picks a Japanese one in its place.
inline constexpr const char* kWindowFontName = "ＭＳ Ｐゴシック";

// Design size of the never-shown picture holder, in twips.
inline constexpr float kPictureDesignTwips = 855.0f;

struct TextBox {
    std::string Text;
    std::string ToolTipText;
    // Caret and selection, in whole characters.
    int SelStart = 0;
    int SelLength = 0;
};

struct Label {
    std::string Caption;
    // Platform colour: red + 256 * green + 65536 * blue.
    std::int32_t BackColor = 0;
};

struct ScrollBar {
    std::int16_t Value = 0;
    bool Enabled = true;
};

struct MonthView {
    std::int16_t Year = 1999;
    std::int16_t Month = 5;
    std::int16_t Day = 26;
};

struct ComboBox {
    std::string Text;
    std::vector<std::string> List;
};

struct CheckBox {
    // 0 unchecked, 1 checked, 2 undetermined.
    std::int16_t Value = 0;
};

struct OptionButton {
    bool Value = false;
};

struct PictureBox {
    // Size in twips; the holder sizes itself to the loaded picture.
    float Width = kPictureDesignTwips;
    float Height = kPictureDesignTwips;
};

struct ToolbarButton {
    bool Enabled = true;
};

struct Toolbar {
    // Indexed 1 to 5 like the window's buttons; index 0 is unused.
    std::array<ToolbarButton, 6> Buttons{};
};

// The screen's pixel size in twips, across and down (15 at 96 dots per inch).
struct ScreenMetrics {
    float TwipsPerPixelX = 15.0f;
    float TwipsPerPixelY = 15.0f;
};

struct PageSettings {
    // "レイアウト" page.
    Label lblLayOut{kLayoutSimple, 0xE0E0E0};
    std::array<OptionButton, 2> optOnSmplMode{OptionButton{true}, OptionButton{false}};

    // "カレンダー" page.
    MonthView MonthView1{};
    ComboBox cmbLanguage{kLanguageJapanese, {}};
    TextBox txttblborder{"0", "", 0, 0};
    std::array<ScrollBar, 3> ScrColor{ScrollBar{150, true}, ScrollBar{250, true},
                                      ScrollBar{180, true}};
    std::array<Label, 5> lblDay{Label{"日", 0}, Label{"月", 0}, Label{"火", 0}, Label{"...", 0},
                                Label{"土", 0}};

    // "画像/フォント" page.
    TextBox txtImg{};
    TextBox txtImgBorder{"0", "", 0, 0};
    ScrollBar HScroll1{100, false};
    PictureBox Picture1{};
    Label lblImgSize{};
    Label lblImgScale{};
    Label lblImgSize2{};
    Label lblFont{};
    CheckBox chkbold{};

    // "暦" page: marks that are off at start, so the page stays as designed.
    CheckBox chkHolidays{};  // national holidays in red, their names as tips
    CheckBox chkRokuyo{};    // each day's 六曜 under its number, 1873 to 2100
    // The week's first day: (0) Sunday, (1) Monday; exactly one is true.
    std::array<OptionButton, 2> optWeekStart{OptionButton{true}, OptionButton{false}};

    Toolbar Toolbar1{};

    // Window variables.
    std::string strCalendar;
    std::string strSaveName;
    std::int32_t lngAPIReVal = 0;

    // Month tables, indexed by month number 1 to 12; entry 0 stays empty.
    std::array<std::int16_t, 13> intMonthDays{};
    std::array<std::string, 13> strMonthEn{};
    std::array<std::string, 13> strMonthJp{};
};

// Fills the three month tables (the first steps of start-up).
void FillMonthTables(PageSettings& s);

// A record with the design values and filled month tables, the state the
// batch tool starts from.
PageSettings MakeDefaultSettings();

}  // namespace rumora
