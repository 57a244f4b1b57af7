// The batch tool as a script sees it: exit statuses, messages, and that a
// failed run writes nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "calendar/old_calendar.h"
#include "core/version.h"
#include "support/pictures.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora {
namespace {

using testing::ReadBytes;
using testing::RunTool;
using testing::TempDir;
using testing::ToolRun;
using testing::WriteBytes;

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(PageTool, DefaultsToTheWindowsStartStateAndThisMonth) {
    const ToolRun run = RunTool({"--encoding", "utf-8"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    EXPECT_TRUE(run.out.starts_with(
        "<html>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n"
        "<body bgcolor=#ffffff text=#000000>\r\n<center><font face=\"ＭＳ Ｐゴシック\">\r\n"
        "<br><br><table width=95%>"));
    EXPECT_NE(run.out.find("2026.12  - 師走 -"), std::string::npos);
    // The default output is the Shift-JIS page file's bytes, declared so.
    const ToolRun sjis = RunTool({});
    EXPECT_NE(sjis.out.find("\x8e\x74\x91\x96"), std::string::npos);  // 師走
    EXPECT_NE(sjis.out.find("charset=Shift_JIS\">\r\n<body"), std::string::npos);
}

// "a b c" as the arguments a, b, c.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

TEST(PageTool, OptionsReachThePage) {
    TempDir dir;
    WriteBytes(dir.File("dot.gif"), testing::kOnePixelGif);
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"--layout standard1 --start 1999-11 --language en --table-border=2 --header-color "
         "0,128,255 --font Serif --bold 1 --picture D:\\pic\\cat.jpg --picture-size 300x200 "
         "--scale 50 --picture-border 3",
         {"<table border=3><td><img src=\"file:///D|/pic/cat.jpg\" width=150 height=100>",
          "<table border=2>\r\n<tr><td colspan=7 align=right><font size=-1>1999.11  - November -",
          "bgcolor=#0080FF", "td {font-weight:bold}", "<font face=\"Serif\">"}},
        // The scale's two ends.
        {"--layout standard2 --picture-size 300x200 --scale 10", {"width=30 height=20>"}},
        {"--layout standard2 --picture-size 300x200 --scale 200", {"width=600 height=400>"}},
        // A museum's closings and the whole almanac reach the page.
        {"--start 2027-01 --closed mon --closed-moves-after-holiday --closed-on 12-29..01-03 "
         "--closed-label 休館日 --closed-color 1,2,3 --sekki --zassetsu --moon --wareki",
         {"<td bgcolor=#010203 title=\"休館日\"><font color=#0000ff>2<",
          "<td bgcolor=#010203 title=\"休館日\">12<",
          "<td title=\"小寒\">5<br><font size=-2>小寒</font>", "令和9年</font>", "&#9679;"}},
        // Twips per pixel change the size's twips, not its pixels, at any density.
        {"--layout progress --picture-size 300x200 --twips-per-pixel 12,20",
         {"<table width=95% height=200>"}},
        {"--layout standard2 --picture-size 600x600 --twips-per-pixel 9.6,13.0909",
         {" width=600 height=600>"}},
        {"--grid 4x3", {"</table></td>\r\n</tr>\r\n<tr><td><spacer"}},
        // One character of any kind, or none, is what the window's fields hold;
        // without a picture the holder's design size applies: 855 twips = 57 px.
        {"--table-border= --layout standard1 --picture-border あ",
         {"<table border=>\r\n", "<table border=あ><td><img src=\"file:///\" width=57 height=57>"}},
        // A relative picture is found, and measured, in the current folder;
        // Windows paths stay as written.
        {"--layout standard1 --picture dot.gif --scale 200",
         {"src=\"file:///" + dir.File("dot.gif") + "\" width=2 height=2>"}},
        {"--layout standard1 --picture pic/a:b.png --picture-size 1x1",
         {"src=\"file:///" + dir.File("pic/a%3Ab.png") + '"'}},
        {"--layout standard1 --picture \\\\server\\a.png --picture-size 1x1",
         {"src=\"file://///server/a.png\""}},
        {"--start 1999-11 --language en --holidays --week-start monday",
         {"bgcolor=#96FAB4>\r\n<td>Mon</td>",
          "<td>2</td><td title=\"Culture Day\"><font color=#ff0000>3<",
          "<td title=\"New Year&#39;s Day\"><font color=#ff0000>1<"}},
    };
    for (const auto& [arguments, expected] : cases) {
        const ToolRun run = RunTool(Words(arguments + " --encoding utf-8"), dir.path().string());
        ASSERT_EQ(run.status, 0) << run.err;
        for (const std::string& part : expected) {
            EXPECT_NE(run.out.find(part), std::string::npos) << arguments << ": " << part;
        }
    }
    EXPECT_EQ(RunTool({"--layout", "シンプル ", "--encoding", "utf-8"}).out.find("<table"),
              std::string::npos);
    EXPECT_EQ(RunTool({"--picture", "dot.gif"}, "").status, 1) << "no current folder";
}

TEST(PageTool, UsageErrorsExitTwoWithOneLineNamingTheOption) {
    for (const std::string argument :
         {"--scale=9", "--scale=201", "--scale=+50", "--start=1752-12", "--start=2026-13",
          "--start=2026-1", "--header-color=1,2", "--header-color=1,2,3,4",
          "--header-color=1,2,256", "--bold=3", "--grid=2x6", "--twips-per-pixel=0",
          "--twips-per-pixel=15,-1", "--twips-per-pixel=+15", "--picture-size=10",
          "--encoding=latin1", "--week-start=tuesday", "--holidays=1", "--output", "--nonsense=1",
          "stray",
          // Anything that could end the unquoted border value.
          "--table-border=1 tabindex=1 autofocus onfocus=document.title=1337",
          "--table-border=1\tx", "--table-border=1\nx", "--picture-border=1\fx",
          "--picture-border=&quot;", "--picture-border=12",
          // Closing rules and dates that do not parse, each named.
          "--closed=wed,6tue", "--closed=tue2", "--closed=d32", "--closed-on=2027-02-30",
          "--open-on=2027-05-06..2027-05-03", "--closed-on=04-31", "--closed-color=1,2",
          "--closed-moves-after-holiday=1"}) {
        const ToolRun run = RunTool({argument});
        EXPECT_EQ(run.status, 2) << argument;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(Count(run.err, "\n"), 1) << run.err;
        EXPECT_NE(run.err.find(argument.substr(0, argument.find('='))), std::string::npos)
            << run.err;
    }
    const ToolRun help = RunTool({"--help"}), version = RunTool({"--version"});
    EXPECT_EQ((std::tuple{help.status, help.err, version.status, version.out, version.err}),
              (std::tuple{0, "", 0, std::string("rumora-page ") + kVersion + "\n", ""}));
    EXPECT_NE(help.out.find("ＭＳ Ｐゴシック"), std::string::npos);
}

// 六曜 is written from 1873 to 2100; a page that reaches past either end
// is still built, and the tool says why once.
TEST(PageTool, RokuyoOutsideItsYearsIsNotedOnce) {
    const std::string note =
        "rumora-page: note: " + std::string(old_calendar::OutsideSpanNote(false)) + "\n";
    // The days of the layout's months that lie within the years.
    for (const auto& [layout, start, cells, noted] :
         {std::tuple{"progress", "2100-11", 30 + 31, true},
          std::tuple{"progress", "1873-01", 181, false},
          std::tuple{"progress", "1872-11", 31 + 28 + 31 + 30, true},
          std::tuple{"standard1", "2100-10", 31 + 30 + 31, false},
          std::tuple{"standard2", "2100-11", 30 + 31, true}}) {
        const ToolRun run =
            RunTool({"--rokuyo", "--layout", layout, "--start", start, "--encoding", "utf-8"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, noted ? note : "") << layout << " " << start;
        EXPECT_EQ(Count(run.out, "<br><font size=-2>"), cells) << layout << " " << start;
    }
}

TEST(PageTool, FailuresExitOneOrTwoAndWriteNothing) {
    TempDir dir;
    const std::string target = dir.File("page.htm");
    WriteBytes(target, "previous page");
    std::filesystem::create_symlink("page.htm", dir.File("link.htm"));
    const std::string relative = std::filesystem::relative(target).string();
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
        int status = 1;
    };
    const std::vector<Case> cases{
        // Each layout's latest first month is told as a usage error.
        {{"--start", "9999-02", "-o", target}, "simple shows 12 months", 2},
        {{"--layout", "progress", "--start", "9999-08", "-o", target}, "9999-07 at the latest", 2},
        {{"--start", "9999-11", "--layout", "standard2", "-o", target}, "9999-10 at the", 2},
        {{"--layout", "standard1", "--picture", dir.File("none.gif"), "-o", target}, "none.gif"},
        {{"--layout", "standard1", "--picture", dir.path().string(), "-o", target}, "picture"},
        {{"-o", dir.File("missing/page.htm")}, "missing/page.htm"},
        // The page never replaces its picture, however the name is spelled.
        {{"--picture", target, "--layout", "progress", "-o", target}, "picture", 2},
        {{"--picture", target, "--picture-size", "1x1", "-o", dir.File("link.htm")}, "picture", 2},
        {{"--picture", dir.File("link.htm"), "--picture-size", "1x1", "-o", relative},
         "picture",
         2},
    };
    for (const Case& c : cases) {
        const ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(Count(run.err, "\n"), 1) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(target), "previous page");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    // A full standard output is a failure, not a page, even when the page
    // or the version is short enough to wait in the buffer until the end.
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{}, {"--layout", "none"}, {"--version"}}) {
        std::FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        EXPECT_EQ(RunPageTool(arguments, full, stderr, testing::December2026, ""), 1);
        std::fclose(full);
    }
    // The last first months that fit, and the default empty picture.
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--start", "9999-01"},
             {"--start", "9999-10", "--layout", "standard1", "--picture", ""},
             {"--layout", "progress", "--start", "9999-07"}}) {
        EXPECT_EQ(RunTool(arguments).status, 0) << arguments[1];
    }
}

// Standard output is written as the shell opened it: appended to, never
// replaced; a reader that went away is a failed write, not a signal.
// Calendar files: their days on the page, a warning naming the file and
// line for an event libical cannot read; a file that cannot be used fails
// the page, naming it, and nothing is written.
TEST(PageTool, CalendarFilesMarkTheirDaysAndABadOneFailsThePage) {
    TempDir dir;
    const std::string good = dir.File("google.ics");
    WriteBytes(good,
               ReadBytes(RUMORA_TEST_DATA_DIR "/calendars/google_weekly_moved_cancelled.ics"));
    const std::string broken = dir.File("broken.ics");
    WriteBytes(broken,
               "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:2027\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\n"
               "DTSTART;VALUE=DATE:20270301\r\nSUMMARY:🎏\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const std::string page = dir.File("page.html");
    const ToolRun run =
        RunTool({"--start", "2027-01", "--events", good, "--events", broken, "-o", page});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("rumora-page: warning: " + broken + ":2: ")) << run.err;
    EXPECT_EQ(Count(run.err, "\n"), 1) << run.err;
    const std::string bytes = ReadBytes(page);
    EXPECT_NE(bytes.find(">9</font><font size=-2>\x81\x9f</font>"),
              std::string::npos);  // ◆ on the 9th
    EXPECT_NE(bytes.find(">1 &#127887;<br>"), std::string::npos);

    for (const auto& [file, message] : std::initializer_list<std::pair<std::string, std::string>>{
             {dir.File("missing.ics"), "cannot read the calendar file " + dir.File("missing.ics") +
                                           ": No such file or directory"},
             {page, "cannot use the calendar file " + page + ": holds no VCALENDAR"}}) {
        const std::string other = dir.File("other.html");
        const ToolRun failed = RunTool({"--events", good, "--events", file, "-o", other});
        EXPECT_EQ(failed.status, 1);
        EXPECT_EQ(failed.err, "rumora-page: " + message + "\n");
        EXPECT_FALSE(std::filesystem::exists(other));
    }
}

TEST(PageTool, StandardOutputAsOpened) {
    TempDir dir;
    const std::string log = dir.File("log.txt");
    const std::string page = RunTool({"--layout", "x"}).out;
    WriteBytes(log, "log\n");
    for (const char* name : {"-", "/dev/stdout"}) {
        EXPECT_EQ(
            RunTool({"--layout", "x", "-o", name}, dir.path(), std::fopen(log.c_str(), "a")).status,
            0);
    }
    EXPECT_EQ(ReadBytes(log), "log\n" + page + page);

    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]);
    if (::fork() == 0) {
        ::dup2(pipe[1], 1);
        std::freopen(dir.File("err").c_str(), "w", stderr);
        ::execl(RUMORA_PAGE_TOOL, RUMORA_PAGE_TOOL, nullptr);
        ::_exit(127);
    }
    ::close(pipe[1]);
    int status = 0;
    ::wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadBytes(dir.File("err")),
              "rumora-page: cannot write the page to standard output: Broken pipe\n");
}

}  // namespace
}  // namespace rumora
