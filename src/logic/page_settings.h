// The record of the user's choices: one field per control property that the
// logic reads or writes, named control.Property so every part of rumora
// speaks of a setting by the same name the window uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/page_options.h"

namespace rumora {

// The four layout captions, compared exactly by the page composer.
inline constexpr const char* kLayoutSimple = LayoutName(PageLayout::Simple);
inline constexpr const char* kLayoutStandard1 = LayoutName(PageLayout::Standard1);
inline constexpr const char* kLayoutStandard2 = LayoutName(PageLayout::Standard2);
inline constexpr const char* kLayoutProgress = LayoutName(PageLayout::Progress);

inline constexpr const char* kLanguageJapanese = kJapaneseLanguageName;
inline constexpr const char* kLanguageEnglish = kEnglishLanguageName;

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

struct ListBox {
    std::vector<std::string> List;
    int ListIndex = -1;  // the selected row, -1 for none
};

struct ToolbarButton {
    bool Enabled = true;
};

struct Toolbar {
    // Indexed 1 to 5 like the window's buttons; index 0 is unused.
    std::array<ToolbarButton, 6> Buttons{};
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
    CheckBox chkSekki{};     // the 二十四節気 in small type, 1873 to 2100
    CheckBox chkZassetsu{};  // the 雑節 in small type, 1873 to 2100
    CheckBox chkMoon{};      // the moon's phases as a mark, 1873 to 2100
    CheckBox chkWareki{};    // the era year in each month's title, 1873 to 9999
    // The week's first day: (0) Sunday, (1) Monday; exactly one is true.
    std::array<OptionButton, 2> optWeekStart{OptionButton{true}, OptionButton{false}};

    // "営業日" page: a shop's closing days, none at start, so the page stays
    // as designed. Weekday indexes run 0 = Sunday to 6 = Saturday.
    std::array<CheckBox, 7> chkClosedWeekly{};  // every week
    // The nth weekday of the month: index 7 * (n - 1) + weekday, with n = 6
    // for the month's last such weekday (最終).
    std::array<CheckBox, 42> chkClosedNth{};
    TextBox txtClosedDays{};  // days of every month: "1, 15"
    CheckBox chkClosedHolidays{};
    CheckBox chkClosedMoves{};  // a weekly closing on a holiday moves to the next day
    // One date or range a line: "2027-05-06", "12-29..01-03".
    TextBox txtClosedOn{};  // 臨時休業
    TextBox txtOpenOn{};    // 臨時営業
    Label lblClosedColor{"", 255 + 256 * 204 + 65536 * 204};
    TextBox txtClosedLabel{};   // empty: the page's own label
    Label lblClosedProblems{};  // the lines left out, and why

    // "予定" page: calendar files (iCalendar) whose events the page shows;
    // none at start, so the page stays as designed.
    ListBox lstEvents{};
    Label lblEventsProblem{};  // the events left out of the last file added, and why

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

// The page the record describes, in the engine's terms: what a toolbar
// command builds. The page file is stored in code page 932.
PageOptions PageOptionsFromSettings(const PageSettings& s);

}  // namespace rumora
