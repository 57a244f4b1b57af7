// The window's logic: one method per event of the window, plus the
// procedures they share. It owns the record of the user's choices and the
// window variables; the Qt window only forwards events here and shows the
// record afterwards, and tests drive it with a scripted PlatformServices.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/version.h"
#include "logic/page_settings.h"
#include "logic/platform_services.h"

namespace rumora {

inline const std::string kWindowTitle = std::string("ルモーラ   ver.") + kVersion;
// Every format the picture is measured in, as browsers show them.
inline constexpr const char* kPictureFilter =
    "Image File|*.jpeg;*.jpg;*.jpe;*.jfif;*.png;*.gif;*.bmp;*.dib;*.ico;*.cur;*.webp";
inline constexpr const char* kPageFilter = "HTML File|*.htm;*.html";
inline constexpr const char* kDesignFilter = "rumora design|*.toml";
inline constexpr const char* kCalendarFilter = "iCalendar File|*.ics;*.ical;*.ifb;*.icalendar";

// Why a calendar file cannot be used, as the window tells it.
std::string CalendarFileProblemText(const std::string& path, const std::string& reason);
inline constexpr const char* kUndecodablePictureText = "ﾋﾟｸﾁｬ形式不正";
inline constexpr const char* kUnreadablePictureText = "ﾌｧｲﾙ読込ｴﾗｰ";
inline constexpr const char* kHelpFileName = "help.html";

// A listed calendar file that cannot be used when the page is built; its
// text is the message for the user.
class CalendarFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Form1 {
  public:
    explicit Form1(PlatformServices& platform);

    // The record, including the window variables strCalendar, strSaveName,
    // lngAPIReVal and the month tables. The window reads and writes it.
    PageSettings s;

    // Start-up (src/app).
    void Form_Load();

    // Layout, colour, font and border fields (src/style).
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void ScrColor_Change(std::int16_t index);
    void cmdFont_Click();
    // keyAscii is the typed character's code; setting it to 0 discards it.
    void txttblborder_KeyPress(std::int16_t& keyAscii);
    // Call after every change of s.txttblborder.Text (user or program).
    void txttblborder_Change();
    void txtImgBorder_KeyPress(std::int16_t& keyAscii);
    void txtImgBorder_Change();

    // Closing days (src/style).
    void cmdClosedColor_Click();
    // Call after every change of a closing field: lists the lines left out.
    void ClosedFields_Change();

    // Picture (src/picture).
    void cmdImg_Click();
    // The dropped file list; only the first entry is used, an empty list
    // (a drop without files) changes nothing.
    void txtImg_OLEDragDrop(const std::vector<std::string>& files);
    // Call after every change of s.HScroll1.Value.
    void HScroll1_Change();
    void GetImgSize(std::string Fname);

    // Calendar files (src/events).
    void cmdEventsAdd_Click();
    // Removes the selected file of the list.
    void cmdEventsRemove_Click();
    // Dropped files: the calendar files among them join the list.
    void EventsDropped(const std::vector<std::string>& files);
    // Whether a dropped file is a calendar file (by its name).
    static bool IsCalendarFileName(const std::string& path);
    // The page's events from every listed file, or the message that says
    // why a file cannot be used.
    std::string ReadListedEvents(PageOptions& options);

    // Toolbar and file output (src/output).
    void Toolbar1_ButtonClick(std::int16_t index);
    // Builds the page into strCalendar; throws PageBuildError or
    // CalendarFileError and then leaves strCalendar as it was.
    void MakeHtmlPage();
    void SaveHtmlAs();

    // Ctrl+S: saves over the last file, or under a chosen name when none
    // was saved yet.
    void Form_SaveKey();

    // Designs (src/logic/form1_design.cpp). Opening sets every control as
    // the user would and runs its handler; a design that cannot be read,
    // or whose picture cannot be, is told to the user and changes nothing.
    void cmdOpenDesign_Click();
    void cmdSaveDesign_Click();
    bool OpenDesign(const std::string& path);
    bool SaveDesign(const std::string& path);
    // Files dropped anywhere on the window: a design (*.toml) is opened,
    // calendar files join the list, anything else is taken as the picture.
    void Form_OLEDragDrop(const std::vector<std::string>& files);

    // The help page's path: the program folder, a separator unless it ends
    // in one, then "help.html".
    std::string HelpPath();

  private:
    // Reads the file once, for the months the page would show now: one
    // that cannot be used is told and stays out of the list.
    void AddCalendarFile(const std::string& path);

    enum class SaveOutcome { Saved, Cancelled, Failed };

    // The steps of the save commands; a failure is told to the user and
    // leaves the state as it was.
    bool BuildPageOrReport();
    // False, with the reason told, when a picture layout would show the
    // path with another picture's size.
    bool PictureSizeIsItsOwn();
    bool WritePageOrReport(const std::string& path);
    SaveOutcome SaveUnderChosenName();
    // After a save: says once per choice of months why some have no 六曜.
    void NoteMissingRokuyo();

    PlatformServices& platform_;
    std::string rokuyoNotedFor_;
    // A design's first month relative to the current one, kept while the
    // month view still shows the month it gave, so saving the design again
    // keeps it relative.
    std::optional<int> designMonthsOn_;
    MonthView designMonth_;
    // The picture whose size the holder has, and why the last one chosen
    // has none, if it has none.
    std::string measuredPicture_;
    std::string lastChosenPicture_;
    std::string pictureProblem_;
};

// The key filter and length rule of a one-character border field, shared by
// both fields. Characters are whole Unicode characters, never bytes.
void FilterBorderKey(std::int16_t& keyAscii);
// Returns true when it changed the field (kept the last character and
// selected it).
bool ApplyBorderLengthRule(TextBox& field);

}  // namespace rumora
