// The 予定 page's list of calendar files: added by the dialog or by a drop,
// refused with the reason, removed; the page saved is the batch tool's.
#include <string>
#include <vector>

#include "logic/form1_fixture.h"
#include "support/tool_run.h"

namespace rumora::testing {
namespace {

using LogicEvents = StartedForm;

const std::string kGoogle = RUMORA_TEST_DATA_DIR "/calendars/google_weekly_moved_cancelled.ics";

TEST_F(LogicEvents, FilesJoinTheListAndThePageIsTheBatchTools) {
    const std::string broken = platform.MakeFile(
        "broken.ics", "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:2027\nEND:VEVENT\nEND:VCALENDAR\n");
    platform.openAnswers = {kGoogle, kGoogle};
    form.cmdEventsAdd_Click();
    form.cmdEventsAdd_Click();  // once only
    form.cmdEventsAdd_Click();  // a cancel
    form.EventsDropped({platform.PathIn("picture.jpg"), broken});
    EXPECT_EQ(s.lstEvents.List, (std::vector<std::string>{kGoogle, broken}));
    EXPECT_EQ(s.lstEvents.ListIndex, 1);
    EXPECT_TRUE(s.lblEventsProblem.Caption.starts_with("2 行目: ")) << s.lblEventsProblem.Caption;
    EXPECT_TRUE(platform.messages.empty());

    platform.saveAnswers.push_back(platform.PathIn("club.html"));
    form.Toolbar1_ButtonClick(3);
    const ToolRun tool = RunTool({"--start", "2026-12", "--events", kGoogle, "--events", broken});
    ASSERT_EQ(tool.status, 0) << tool.err;
    EXPECT_EQ(ReadBytes(platform.PathIn("club.html")), tool.out);

    form.cmdEventsRemove_Click();
    EXPECT_EQ(s.lstEvents.List, std::vector<std::string>{kGoogle});
    EXPECT_EQ(s.lstEvents.ListIndex, 0);
    EXPECT_TRUE(s.lblEventsProblem.Caption.empty());
}

TEST_F(LogicEvents, AFileThatCannotBeUsedIsToldAndTheListKeepsTheOthers) {
    const std::string notCalendar = platform.MakeFile("notes.ics", "hello\n");
    const std::string gone = platform.MakeFile("gone.ics", ReadBytes(kGoogle));
    form.EventsDropped({kGoogle, notCalendar, gone});
    ASSERT_EQ(platform.messages.size(), 1U);
    EXPECT_EQ(platform.messages[0],
              "カレンダーファイルを使えません。\n" + notCalendar + "\n理由: holds no VCALENDAR");
    EXPECT_EQ(s.lstEvents.List, (std::vector<std::string>{kGoogle, gone}));

    // A listed file gone by the time of the build: told, nothing written.
    std::filesystem::remove(gone);
    platform.saveAnswers.push_back(platform.PathIn("club.html"));
    form.Toolbar1_ButtonClick(3);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_TRUE(platform.messages[1].find(gone + "\n理由: No such file") != std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(platform.PathIn("club.html")));
    EXPECT_EQ(s.lstEvents.List.size(), 2U);
}

}  // namespace
}  // namespace rumora::testing
