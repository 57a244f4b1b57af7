#include "files/code_page.h"
#include "logic/form1_fixture.h"
#include "page/page_composer.h"

namespace rumora::testing {
namespace {

class LogicSaving : public StartedForm {
  protected:
    void SaveAs(const std::string& path) {
        platform.saveAnswers.push_back(path);
        form.Toolbar1_ButtonClick(3);
    }

    bool SaveButtonsEnabled() const {
        return s.Toolbar1.Buttons[2].Enabled && s.Toolbar1.Buttons[4].Enabled;
    }

    // What a failed command must leave alone, and what it must say.
    void ExpectFailureKeptState(const std::string& calendar, const std::string& saveName,
                                bool buttons, const std::string& said) {
        EXPECT_EQ(s.strCalendar, calendar);
        EXPECT_EQ(s.strSaveName, saveName);
        EXPECT_EQ(SaveButtonsEnabled(), buttons);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_NE(platform.messages[0].find(said), std::string::npos) << platform.messages[0];
    }
};

TEST_F(LogicSaving, PreviewShowsThePageAsSavedUntilItIsSavedOver) {
    const std::string name = platform.PathIn("calendar");  // no extension added
    SaveAs(name);
    EXPECT_EQ(s.strSaveName, name);
    EXPECT_TRUE(SaveButtonsEnabled());
    const std::string saved = ReadBytes(name);
    EXPECT_EQ(saved, ToCodePage932(s.strCalendar));
    EXPECT_NE(saved.find(ToCodePage932("師走")), std::string::npos);

    s.cmbLanguage.Text = "英語";
    form.Toolbar1_ButtonClick(4);
    EXPECT_EQ(platform.shellOpened, (std::vector<std::string>{name}));
    EXPECT_EQ(s.lngAPIReVal, 42);
    EXPECT_EQ(ReadBytes(name), saved);

    form.Toolbar1_ButtonClick(2);
    const std::string over = ReadBytes(name);
    EXPECT_NE(over.find("December"), std::string::npos);
    EXPECT_EQ(over, ToCodePage932(s.strCalendar));
    EXPECT_EQ(platform.saveFilters.size(), 1u);  // saving over asks nothing
}

TEST_F(LogicSaving, ReplacingAskFirstAndAReplacedFileHoldsOnlyTheNewPage) {
    const std::string name = platform.MakeFile("old.html", std::string(200000, 'x'));
    SaveAs(name);  // the question is answered no
    EXPECT_EQ(platform.replaceQuestions, (std::vector<std::string>{name}));
    EXPECT_EQ(ReadBytes(name), std::string(200000, 'x'));
    EXPECT_FALSE(SaveButtonsEnabled());
    EXPECT_EQ(s.strSaveName, "");

    platform.replaceAnswers.push_back(true);
    SaveAs(name);
    EXPECT_EQ(ReadBytes(name), ToCodePage932(s.strCalendar));
    EXPECT_EQ(s.strSaveName, name);
}

// Real failures of the file system, and what the window says of them, are
// in tests/disk. The picture the page shows is refused however it is spelled.
TEST_F(LogicSaving, ThePictureThePageShowsIsNeverSavedOver) {
    const std::string picture = platform.MakeFile("photo.gif", "GIF89a");
    s.txtImg.Text = picture;
    platform.replaceAnswers.push_back(true);
    SaveAs(platform.folder().string() + "/./photo.gif");
    ExpectFailureKeptState("", "", false, "画像ファイルそのものです");
    EXPECT_NE(platform.messages[0].find("/./photo.gif"), std::string::npos);
    EXPECT_EQ(ReadBytes(picture), "GIF89a");

    // A failure of any other kind is told with the system's own words.
    platform.messages.clear();
    platform.writeFault = "conversion to CP932 unsupported";
    SaveAs(platform.PathIn("cal.html"));
    ExpectFailureKeptState("", "", false, "conversion to CP932 unsupported");
}

TEST_F(LogicSaving, APagePastDecember9999IsReportedBeforeAnyDialog) {
    const std::string name = platform.PathIn("cal.html");
    SaveAs(name);
    const std::string page = s.strCalendar;
    const std::string saved = ReadBytes(name);

    s.MonthView1.Year = 9999;
    s.MonthView1.Month = 2;
    form.Toolbar1_ButtonClick(3);
    ExpectFailureKeptState(page, name, true, "9999年12月");
    EXPECT_EQ(platform.saveFilters.size(), 1u);

    platform.messages.clear();
    form.Toolbar1_ButtonClick(2);
    ExpectFailureKeptState(page, name, true, "9999年12月");
    EXPECT_EQ(ReadBytes(name), saved);

    s.lblLayOut.Caption = "スタンダード 1";  // three months still fit
    form.Toolbar1_ButtonClick(2);
    EXPECT_EQ(ReadBytes(name), ToCodePage932(s.strCalendar));
}

using LogicCommands = StartedForm;

TEST_F(LogicCommands, OnlyButtonsTwoToFiveActAndHelpOpensBesideTheProgram) {
    for (const int index : {0, 1, 6, -1, 32767}) {
        form.Toolbar1_ButtonClick(static_cast<std::int16_t>(index));
    }
    EXPECT_EQ(s.strCalendar, "");
    EXPECT_TRUE(platform.saveFilters.empty());
    platform.appPath = "/";
    form.Toolbar1_ButtonClick(5);
    EXPECT_EQ(platform.shellOpened, std::vector<std::string>{"/help.html"});
    platform.appPath = "/opt/rumora/";
    EXPECT_EQ(form.HelpPath(), "/opt/rumora/help.html");
}

TEST_F(LogicSaving, MonthsWithoutRokuyoAreNotedOncePerChoiceAfterTheSave) {
    s.chkRokuyo.Value = 1;
    s.MonthView1 = {2100, 6};  // twelve months reach into 2101
    SaveAs(platform.PathIn("late.html"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("1873 年から 2100 年"), std::string::npos);
    EXPECT_EQ(ReadBytes(s.strSaveName), ToCodePage932(s.strCalendar));
    form.Toolbar1_ButtonClick(2);
    EXPECT_EQ(platform.messages.size(), 1u);
    s.MonthView1 = {1872, 1};
    form.Toolbar1_ButtonClick(2);
    EXPECT_EQ(platform.messages.size(), 2u);
    s.MonthView1 = {2000, 1};
    form.Toolbar1_ButtonClick(2);
    s.chkRokuyo.Value = 0;
    s.MonthView1 = {1850, 1};
    form.Toolbar1_ButtonClick(2);
    EXPECT_EQ(platform.messages.size(), 2u);
}

}  // namespace
}  // namespace rumora::testing
