// Designs: the window's save of a design gives, through rumora-page
// --design, the page the window saves; bad designs change nothing anywhere.
#include <random>

#include "design/design_file.h"
#include "files/code_page.h"
#include "logic/form1_fixture.h"
#include "support/pictures.h"
#include "support/tool_run.h"

namespace rumora::testing {
namespace {

constexpr const char* kClubCalendar =
    RUMORA_TEST_DATA_DIR "/calendars/google_weekly_moved_cancelled.ics";

class Designs : public StartedForm {
  protected:
    std::string SavePage(Form1& window, const std::string& name) {
        std::filesystem::remove(platform.PathIn(name));  // nothing to ask about
        platform.saveAnswers.push_back(platform.PathIn(name));
        window.Toolbar1_ButtonClick(3);
        return ReadBytes(platform.PathIn(name));
    }

    std::string ToolPage(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"-o", platform.PathIn("tool.html")});
        const ToolRun run = RunTool(arguments, platform.folder().string());
        EXPECT_EQ(run.status, 0) << run.err;
        return ReadBytes(platform.PathIn("tool.html"));
    }

    // Every choice of the window at random, set as the user sets it.
    void Choose(std::mt19937& random, const std::string& picture, const std::string& calendar) {
        const auto pick = [&](int n) { return static_cast<int>(random() % unsigned(n)); };
        const auto check = [&] { return static_cast<std::int16_t>(pick(2)); };
        std::array<void (Form1::*)(), 4> layouts{&Form1::Command1_Click, &Form1::Command2_Click,
                                                 &Form1::Command3_Click, &Form1::Command4_Click};
        (form.*layouts[static_cast<std::size_t>(pick(4))])();
        s.optOnSmplMode[0].Value = pick(2) == 0;
        s.optOnSmplMode[1].Value = !s.optOnSmplMode[0].Value;
        s.MonthView1.Year = static_cast<std::int16_t>(1880 + pick(200));
        s.MonthView1.Month = static_cast<std::int16_t>(1 + pick(12));
        s.cmbLanguage.Text = std::array{"日本語", "英語", "français"}[pick(3)];
        for (ScrollBar& bar : s.ScrColor) bar.Value = static_cast<std::int16_t>(pick(256));
        s.txttblborder.Text = std::string(1, static_cast<char>('0' + pick(5))).substr(0, pick(3));
        s.txtImgBorder.Text = std::string(1, static_cast<char>('0' + pick(5))).substr(0, pick(3));
        s.lblFont.Caption = std::array{"ＭＳ 明朝", "A \"B\" & <C>\\", ""}[pick(3)];
        s.chkbold.Value = static_cast<std::int16_t>(pick(3));
        if (pick(3) != 0) form.txtImg_OLEDragDrop({picture});
        s.HScroll1.Value = static_cast<std::int16_t>(10 + pick(191));
        form.HScroll1_Change();
        for (CheckBox* box : {&s.chkHolidays, &s.chkRokuyo, &s.chkSekki, &s.chkZassetsu, &s.chkMoon,
                              &s.chkWareki, &s.chkClosedHolidays, &s.chkClosedMoves}) {
            box->Value = check();
        }
        s.optWeekStart[0].Value = pick(2) == 0;
        s.optWeekStart[1].Value = !s.optWeekStart[0].Value;
        for (CheckBox& box : s.chkClosedWeekly) box.Value = pick(6) == 0;
        for (CheckBox& box : s.chkClosedNth) box.Value = pick(12) == 0;
        s.txtClosedDays.Text = std::array{"", "1, 15", "31"}[pick(3)];
        s.txtClosedOn.Text = std::array{"", "12-29..01-03\n2027-05-06", "bad\n08-13"}[pick(3)];
        s.txtOpenOn.Text = std::array{"", "2027-05-03"}[pick(2)];
        s.lblClosedColor.BackColor = pick(0x1000000);
        s.txtClosedLabel.Text = std::array{"", "定休日", "<shut>"}[pick(3)];
        s.lstEvents.List.clear();
        if (pick(2) == 0) form.EventsDropped({calendar});
    }
};

TEST_F(Designs, TheWindowsDesignGivesTheWindowsPageInTheWindowAndTheTool) {
    const std::string picture = platform.MakeFile("cat.png", EncodedPicture(37, 23, "png"));
    const std::string calendar = platform.MakeFile("club.ics", ReadBytes(kClubCalendar));
    std::mt19937 random(20);
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        Choose(random, picture, calendar);
        const std::string design = platform.PathIn("d" + std::to_string(round) + ".toml");
        ASSERT_TRUE(form.SaveDesign(design)) << platform.messages.back();
        const std::string page = SavePage(form, "window.html");

        EXPECT_EQ(ToolPage({"--design", design}), page);
        Form1 other(platform);
        other.Form_Load();
        ASSERT_TRUE(other.OpenDesign(design));
        EXPECT_EQ(SavePage(other, "other.html"), page);
    }
    EXPECT_EQ(platform.messages.size(), 0u);

    // A design is never written over the picture it names, and the window
    // says why in its own words.
    form.txtImg_OLEDragDrop({picture});
    const std::string bytes = ReadBytes(picture);
    EXPECT_FALSE(form.SaveDesign(picture));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find("書き込めません (cannot write"), std::string::npos)
        << platform.messages[0];
    EXPECT_NE(platform.messages[0].find("it is the picture the page shows)"), std::string::npos);
    EXPECT_EQ(ReadBytes(picture), bytes);
}

TEST_F(Designs, WriteDesignThenDesignGivesThePageOfTheOptions) {
    const std::string picture = platform.MakeFile("cat.png", EncodedPicture(40, 30, "png"));
    const std::vector<std::vector<std::string>> optionSets{
        {"--layout", "progress", "--picture", "cat.png", "--scale", "55", "--bold", "2"},
        {"--language", "fr", "--grid", "4x3", "--start", "2031-07", "--encoding", "utf-8"},
        {"--holidays",
         "--rokuyo",
         "--sekki",
         "--zassetsu",
         "--moon",
         "--wareki",
         "--week-start",
         "monday",
         "--closed",
         "mon,2tue,last-fri,d1,holidays",
         "--closed-on",
         "12-29..01-03,2027-05-06",
         "--open-on",
         "2027-05-03",
         "--closed-moves-after-holiday",
         "--closed-color",
         "1,2,3",
         "--closed-label",
         "\"x\"",
         "--events",
         kClubCalendar,
         "--events",
         kClubCalendar,
         "--start",
         "2027-01"},
        {"--layout", "standard2", "--font", "a\\b\"c\x01", "--picture", picture, "--picture-border",
         "", "--table-border", "4", "--header-color", "0,0,0"},
    };
    for (const auto& options : optionSets) {
        SCOPED_TRACE(options[1]);
        std::vector<std::string> writing = options;
        writing.insert(writing.end(), {"--write-design", platform.PathIn("w.toml")});
        const ToolRun run = RunTool(writing, platform.folder().string());
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");  // the design alone
        EXPECT_EQ(ToolPage({"--design", platform.PathIn("w.toml")}), ToolPage(options));
    }
    const ToolRun unnamed = RunTool({"--write-design", ""});
    EXPECT_EQ(unnamed.status, 2);
    EXPECT_NE(unnamed.err.find("--write-design: expected a file name"), std::string::npos);
    // What a design cannot hold is refused, and nothing is written.
    for (const char* option : {"--layout=other", "--table-border=9", "--events=-"}) {
        const ToolRun bad = RunTool({option, "--write-design", platform.PathIn("x.toml")});
        EXPECT_EQ(bad.status, 2) << option;
        EXPECT_FALSE(std::filesystem::exists(platform.PathIn("x.toml")));
    }
    // The picture under the design's folder is named relative to it.
    RunTool({"--picture", picture, "--write-design", platform.PathIn("w.toml")});
    EXPECT_NE(ReadBytes(platform.PathIn("w.toml")).find("path = \"cat.png\""), std::string::npos);
}

TEST_F(Designs, RelativeMonthsCountFromTheCurrentOneAcrossYearEnds) {
    // The tool's current month is December 2026, the window's today too.
    const std::vector<std::pair<std::string, std::string>> starts{{"+0", "2026-12"},
                                                                  {"+1", "2027-01"},
                                                                  {"+13", "2028-01"},
                                                                  {"-12", "2025-12"},
                                                                  {"-300", "2001-12"}};
    for (const auto& [relative, fixed] : starts) {
        SCOPED_TRACE(relative);
        const std::string page = ToolPage({"--start", fixed});
        EXPECT_EQ(ToolPage({"--start", relative}), page);
        const std::string design =
            platform.MakeFile("r.toml", "version = 1\n[page]\nstart = \"" + relative + "\"\n");
        EXPECT_EQ(ToolPage({"--design", design}), page);
        ASSERT_TRUE(form.OpenDesign(design));
        EXPECT_EQ(SavePage(form, "r.html"), page);
        // Saved again, the design stays relative while its month is shown.
        ASSERT_TRUE(form.SaveDesign(design));
        EXPECT_NE(ReadBytes(design).find("start = \"" + relative + "\""), std::string::npos);
    }
    s.MonthView1.Month = 3;
    ASSERT_TRUE(form.SaveDesign(platform.PathIn("r.toml")));
    EXPECT_NE(ReadBytes(platform.PathIn("r.toml")).find("start = \"2001-03\""), std::string::npos);
    EXPECT_EQ(RunTool({"--start", "-3287", "--layout", "x"}).status, 0);  // 1753-01
    EXPECT_EQ(RunTool({"--start", "+96000"}).status, 2);
    const ToolRun far = RunTool({"--start", "-3288"});
    EXPECT_EQ(far.status, 2);
    EXPECT_NE(far.err.find("would be in 1752, outside 1753 to 9999"), std::string::npos) << far.err;
    // Before the year 0, the year still counts down.
    const ToolRun farther = RunTool({"--start", "-30000"});
    EXPECT_NE(farther.err.find("would be in -474, outside"), std::string::npos) << farther.err;
}

TEST_F(Designs, TheFragmentIsThePagesBodyBlockInEitherEncoding) {
    for (const char* encoding : {"cp932", "utf-8"}) {
        for (const char* layout : {"simple", "progress"}) {
            SCOPED_TRACE(std::string(encoding) + " " + layout);
            const std::vector<std::string> options{"--encoding", encoding, "--layout", layout,
                                                   "--closed",   "sun",    "--bold",   "1"};
            const std::string page = ToolPage(options);
            std::vector<std::string> fragmentOptions = options;
            fragmentOptions.push_back("--fragment");
            const std::string fragment = ToolPage(fragmentOptions);
            const std::size_t start = page.find("\r\n", page.find("<body")) + 2;
            EXPECT_EQ(fragment, page.substr(start, page.rfind("</body>") - start));
            EXPECT_EQ(fragment.find("<head"), std::string::npos);
            EXPECT_TRUE(fragment.starts_with("<center><font face=") ||
                        fragment.starts_with("<table"));
        }
    }
}

TEST_F(Designs, ABadDesignSaysWhereAndChangesNothing) {
    struct Bad {
        std::string text;
        int status;
        std::string said;      // by the tool
        std::string japanese;  // by the window
    };
    const std::vector<Bad> bads{
        {"version = 1\n[page]\nlayuot = \"simple\"\n", 2, "bad.toml:3: page.layuot: unknown key",
         "3 行目「page.layuot」: 知らないキー"},
        {"version = 1\n[picture]\nscale = \"50\"\n", 2, ":3: picture.scale: expected a whole",
         "10～200 の整数"},
        {"version = 1\n\n[picture]\nscale = 201\n", 2, ":4: picture.scale: expected", "4 行目"},
        {"version = 1\n[page]\ntable_border = \"5\"\n", 2, ":3: page.table_border", "\"0\"～\"4\""},
        {"version = 1\n[page]\nheader_color = [1, 2]\n", 2, ":3: page.header_color",
         "[赤, 緑, 青]"},
        {"version = 1\n[page]\nstart = \"2027-13\"\n", 2, ":3: page.start", "年月"},
        {"version = 1\n[closing]\nclosed = [\"mon\", \"6tue\"]\n", 2,
         ":3: closing.closed: \"6tue\"", "「6tue」"},
        {"version = 1\n[closing]\nclosed_on = [\"2027-02-30\"]\n", 2, ":3: closing.closed_on",
         "closing.closed_on"},
        {"version = 2\n[page]\nnew = 1\n", 2, ":1: version: written for format version 2",
         "新しいルモーラ"},
        {"[page]\nlayout = \"simple\"\n", 2, "bad.toml: version: a design starts with", "形式の版"},
        {"version = 1\n[page\n", 2, ":2: not TOML", "TOML として読めません"},
        {"version = 1\n[picture]\npath = \"gone.png\"\n", 1, "cannot read the picture",
         "ﾌｧｲﾙ読込ｴﾗｰ"},
        {std::string("version = 1\n\xff\n"), 2, "not TOML", "TOML"},
        {"version = 1\n[font]\nface = 1、\n", 2, ":3: not TOML", "3 行目"},
        {"version = 1\n[events]\nfiles = [\"a.ics\", \"\"]\n", 2, ":3: events.files",
         "カレンダーファイルの名前"},
        {"version = 1\n[events]\nfiles = [\"gone.ics\"]\n", 1, "cannot read the calendar file",
         "カレンダーファイルを使えません"},
    };
    const std::string before = SavePage(form, "before.html");
    const std::string output = platform.MakeFile("out.html", "old");
    for (const Bad& bad : bads) {
        SCOPED_TRACE(bad.text);
        const std::string design = platform.MakeFile("bad.toml", bad.text);
        const ToolRun run = RunTool({"--design", design, "-o", output});
        EXPECT_EQ(run.status, bad.status);
        EXPECT_NE(run.err.find(bad.said), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(output), "old");

        platform.messages.clear();
        EXPECT_FALSE(form.OpenDesign(design));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_NE(platform.messages[0].find(bad.japanese), std::string::npos)
            << platform.messages[0];
        EXPECT_EQ(SavePage(form, "after.html"), before);
    }
    const ToolRun missing = RunTool({"--design", platform.PathIn("none.toml"), "-o", output});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(RunTool({"--design", platform.folder().string()}).status, 1);
    EXPECT_EQ(ReadBytes(output), "old");
}

TEST(DesignPaths, RelativeNamesFromTheDesignsFolderOthersAsWritten) {
    const auto picture = [](const std::string& path) {
        return ParseDesign("version = 1\n[picture]\npath = '" + path + "'\n", "d.toml",
                           "/site/designs")
            .options.picturePath;
    };
    EXPECT_EQ(picture("cat.png"), "/site/designs/cat.png");
    EXPECT_EQ(picture("../pics/./cat.png"), "/site/pics/cat.png");
    for (const std::string kept : {"/srv/cat.png", "C:\\写真\\cat.png", "d:\\cat.png", "z:cat.png",
                                   "\\\\server\\cat.png", ""}) {
        EXPECT_EQ(picture(kept), kept);
    }
    EXPECT_EQ(picture("1:cat.png"), "/site/designs/1:cat.png");
    // Written back: relative only under the design's folder.
    Design design;
    design.options.picturePath = "/site/pics/cat.png";
    design.eventFiles = {"/site/designs/ics/a.ics"};
    const std::string text = DesignText(design, "/site/designs");
    EXPECT_NE(text.find("path = \"/site/pics/cat.png\""), std::string::npos) << text;
    EXPECT_NE(text.find("files = [\"ics/a.ics\"]"), std::string::npos) << text;
    EXPECT_EQ(
        ParseDesign("version = 1\n[events]\nfiles = ['a.ics', '/b.ics']\n", "d", "/x").eventFiles,
        (std::vector<std::string>{"/x/a.ics", "/b.ics"}));
}

TEST_F(Designs, OptionsAfterTheDesignChangeItAndOptionsBeforeItAreReplaced) {
    const std::string design = platform.MakeFile(
        "d.toml", "version = 1\n[page]\nlayout = \"standard1\"\nstart = \"2030-01\"\n");
    const std::string standard1 = ToolPage({"--layout", "standard1", "--start", "2030-01"});
    EXPECT_EQ(ToolPage({"--layout", "progress", "--start", "+5", "--design", design}), standard1);
    EXPECT_EQ(ToolPage({"--design", design, "--layout", "simple"}),
              ToolPage({"--start", "2030-01"}));
}

TEST_F(Designs, DroppedDesignsOpenAndOtherFilesAreThePicture) {
    const std::string design =
        platform.MakeFile("D.TOML", "version = 1\n[page]\nlayout = \"progress\"\n");
    form.Form_OLEDragDrop({design});
    EXPECT_EQ(s.lblLayOut.Caption, kLayoutProgress);
    const std::string picture = platform.MakeFile("p.gif", kOnePixelGif);
    form.Form_OLEDragDrop({picture});
    EXPECT_EQ(s.txtImg.Text, picture);

    // Ctrl+S asks for a name only while nothing was saved.
    platform.saveAnswers.push_back(platform.PathIn("k.html"));
    form.Form_SaveKey();
    form.Form_SaveKey();
    EXPECT_EQ(platform.saveFilters.size(), 1u);
    EXPECT_EQ(platform.writtenPages.size(), 2u);

    // The design dialog adds the extension unless one was typed.
    platform.saveAnswers.push_back(platform.PathIn("shop"));
    form.cmdSaveDesign_Click();
    EXPECT_TRUE(std::filesystem::exists(platform.PathIn("shop.toml")));
}

}  // namespace
}  // namespace rumora::testing
