#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>

#include "calendar/closing_days.h"
#include "design/design_file.h"
#include "logic/form1.h"

namespace rumora {

namespace {

constexpr const char* kOpenFailed = "デザインを開けませんでした。\n";
constexpr const char* kSaveFailed = "デザインを保存できませんでした。\n";

bool EndsWithDesignExtension(const std::string& path) {
    if (path.size() < 5) return false;
    std::string tail = path.substr(path.size() - 5);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".toml";
}

std::string JoinedLines(const std::vector<DateSpan>& spans) {
    std::string text;
    for (const DateSpan& span : spans) text += (text.empty() ? "" : "\n") + DateSpanText(span);
    return text;
}

std::string MonthDaysText(std::uint32_t days) {
    std::string text;
    for (int day = 1; day <= 31; ++day) {
        if (days & (std::uint32_t{1} << day))
            text += (text.empty() ? "" : ", ") + std::to_string(day);
    }
    return text;
}

}  // namespace

void Form1::Form_SaveKey() { Toolbar1_ButtonClick(s.strSaveName.empty() ? 3 : 2); }

void Form1::Form_OLEDragDrop(const std::vector<std::string>& files) {
    if (!files.empty() && EndsWithDesignExtension(files.front())) {
        OpenDesign(files.front());
        return;
    }
    if (std::any_of(files.begin(), files.end(), IsCalendarFileName)) {
        EventsDropped(files);
        return;
    }
    txtImg_OLEDragDrop(files);
}

void Form1::cmdOpenDesign_Click() {
    const std::string path = platform_.ShowOpenDialog(kDesignFilter);
    if (!path.empty()) OpenDesign(path);
}

void Form1::cmdSaveDesign_Click() {
    std::string path = platform_.ShowSaveDialog(kDesignFilter);
    if (path.empty()) return;
    // As the desktop's dialogs do: the filter's extension unless one was typed.
    if (std::filesystem::path(path).extension().empty()) path += ".toml";
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error)) &&
        !platform_.ConfirmReplace(path)) {
        return;
    }
    SaveDesign(path);
}

bool Form1::OpenDesign(const std::string& path) {
    Design design;
    try {
        design = ReadDesignFile(path);
    } catch (const DesignError& error) {
        platform_.ShowMessage(kOpenFailed + error.JapaneseText());
        return false;
    }
    const PageOptions& o = design.options;
    YearMonth first = o.firstMonth;
    if (design.monthsOn) {
        const CalendarDate today = platform_.Today();
        first = MonthsOn({today.year, today.month}, *design.monthsOn);
        if (first.year < kFirstYear || first.year > kLastYear) {
            platform_.ShowMessage(kOpenFailed + path + ": 最初の月が " +
                                  std::to_string(first.year) + " 年になり、1753～9999 年の外です");
            return false;
        }
    }
    // Checked before anything changes, with the words the picture choice uses.
    if (!o.picturePath.empty()) {
        const PictureMeasurement picture = platform_.LoadPicture(o.picturePath);
        if (picture.outcome != PictureMeasurement::Outcome::Measured) {
            platform_.ShowMessage(kOpenFailed + path + "\n画像 " + o.picturePath + ": " +
                                  (picture.outcome == PictureMeasurement::Outcome::Unreadable
                                       ? kUnreadablePictureText
                                       : kUndecodablePictureText) +
                                  (picture.reason.empty() ? "" : " (" + picture.reason + ")"));
            return false;
        }
    }

    // The calendar files too, with the words the list uses.
    PageOptions shown = o;
    shown.firstMonth = first;
    const auto [firstDay, lastDay] = PageDays(shown);
    for (const std::string& file : design.eventFiles) {
        const events::Calendar calendar = platform_.ReadCalendarFile(file, firstDay, lastDay);
        if (!calendar.problem.empty()) {
            platform_.ShowMessage(kOpenFailed + path + "\n" +
                                  CalendarFileProblemText(file, calendar.problem));
            return false;
        }
    }

    switch (o.layout) {
        case PageLayout::Standard1:
            Command2_Click();
            break;
        case PageLayout::Standard2:
            Command3_Click();
            break;
        case PageLayout::Progress:
            Command4_Click();
            break;
        default:
            Command1_Click();
            break;
    }
    s.optOnSmplMode[0].Value = o.grid == SimpleGrid::ThreeRowsOfFour;
    s.optOnSmplMode[1].Value = !s.optOnSmplMode[0].Value;

    s.MonthView1.Year = static_cast<std::int16_t>(first.year);
    s.MonthView1.Month = static_cast<std::int16_t>(first.month);
    const auto last = std::chrono::year{first.year} /
                      std::chrono::month{static_cast<unsigned>(first.month)} / std::chrono::last;
    s.MonthView1.Day = static_cast<std::int16_t>(
        std::min<unsigned>(static_cast<unsigned>(s.MonthView1.Day), unsigned{last.day()}));
    designMonthsOn_ = design.monthsOn;
    designMonth_ = s.MonthView1;

    s.cmbLanguage.Text = design.languageText;
    const std::array<std::uint8_t, 3> shares{o.headerColor.red, o.headerColor.green,
                                             o.headerColor.blue};
    for (std::size_t i = 0; i < 3; ++i) {
        s.ScrColor[i].Value = shares[i];
        ScrColor_Change(static_cast<std::int16_t>(i));
    }
    // Typed into the border fields, through their key filter.
    const auto type = [](TextBox& field, const std::string& text, auto keyPress, auto change) {
        field.Text.clear();
        for (const char c : text) {
            std::int16_t key = static_cast<unsigned char>(c);
            keyPress(key);
            if (key != 0) field.Text += static_cast<char>(key);
        }
        change();
    };
    type(
        s.txttblborder, o.tableBorder, [this](std::int16_t& key) { txttblborder_KeyPress(key); },
        [this] { txttblborder_Change(); });

    s.lblFont.Caption = o.fontFace;
    s.chkbold.Value = o.weight == FontWeight::Bold ? 1 : 0;
    if (!o.picturePath.empty()) {
        txtImg_OLEDragDrop({o.picturePath});
    } else {
        // No picture: the holder as the window starts.
        s.txtImg = TextBox{};
        s.Picture1 = PictureBox{};
        s.HScroll1.Enabled = false;
        s.lblImgSize.Caption = s.lblImgScale.Caption = s.lblImgSize2.Caption = "";
    }
    s.HScroll1.Value = static_cast<std::int16_t>(o.pictureScalePercent);
    HScroll1_Change();
    if (o.picturePath.empty()) s.lblImgScale.Caption = s.lblImgSize2.Caption = "";
    type(
        s.txtImgBorder, o.pictureBorder, [this](std::int16_t& key) { txtImgBorder_KeyPress(key); },
        [this] { txtImgBorder_Change(); });

    s.chkHolidays.Value = o.holidays ? 1 : 0;
    s.chkRokuyo.Value = o.rokuyo ? 1 : 0;
    s.chkSekki.Value = o.solarTerms ? 1 : 0;
    s.chkZassetsu.Value = o.seasonalDays ? 1 : 0;
    s.chkMoon.Value = o.moonPhases ? 1 : 0;
    s.chkWareki.Value = o.eraYear ? 1 : 0;
    s.optWeekStart[0].Value = o.weekStart == WeekStart::Sunday;
    s.optWeekStart[1].Value = !s.optWeekStart[0].Value;

    const ClosingRules& c = o.closing;
    for (std::size_t weekday = 0; weekday < 7; ++weekday) {
        const auto bit = static_cast<std::uint8_t>(1u << weekday);
        s.chkClosedWeekly[weekday].Value = (c.weekly & bit) ? 1 : 0;
        for (std::size_t week = 0; week < 6; ++week) {
            const std::uint8_t set = week < 5 ? c.nth[week] : c.last;
            s.chkClosedNth[7 * week + weekday].Value = (set & bit) ? 1 : 0;
        }
    }
    s.txtClosedDays.Text = MonthDaysText(c.monthDays);
    s.chkClosedHolidays.Value = c.holidays ? 1 : 0;
    s.chkClosedMoves.Value = c.movesAfterHoliday ? 1 : 0;
    s.txtClosedOn.Text = JoinedLines(c.closedOn);
    s.txtOpenOn.Text = JoinedLines(c.openOn);
    s.lblClosedColor.BackColor = o.closingColor.red + 256 * o.closingColor.green +
                                 65536 * static_cast<std::int32_t>(o.closingColor.blue);
    s.txtClosedLabel.Text = o.closingLabel;
    ClosedFields_Change();

    s.lstEvents.List = design.eventFiles;
    s.lstEvents.ListIndex = design.eventFiles.empty() ? -1 : 0;
    s.lblEventsProblem.Caption.clear();
    return true;
}

bool Form1::SaveDesign(const std::string& path) {
    Design design;
    design.options = PageOptionsFromSettings(s);
    design.languageText = s.cmbLanguage.Text;
    design.eventFiles = s.lstEvents.List;
    if (designMonthsOn_ && s.MonthView1.Year == designMonth_.Year &&
        s.MonthView1.Month == designMonth_.Month) {
        design.monthsOn = designMonthsOn_;
    }
    try {
        WriteDesignFile(path, design);
        return true;
    } catch (const DesignError& error) {
        platform_.ShowMessage(kSaveFailed + error.JapaneseText());
        return false;
    }
}

}  // namespace rumora
