// The 営業日 page's record: the page it saves, and the lines it leaves out.
#include <string>
#include <vector>

#include "files/code_page.h"
#include "logic/closing_fields.h"
#include "logic/form1_fixture.h"
#include "support/tool_run.h"

namespace rumora::testing {
namespace {

using LogicClosing = StartedForm;

TEST_F(LogicClosing, SavesTheSamePageAsTheBatchToolForTheSameRules) {
    const PageOptions start = PageOptionsFromSettings(s);
    EXPECT_TRUE(start.closing == ClosingRules{} && start.closingLabel.empty());
    EXPECT_EQ(start.closingColor, (RgbColor{255, 204, 204}));

    s.chkClosedWeekly[3].Value = 1;       // wed
    s.chkClosedNth[7 * 1 + 2].Value = 1;  // 2tue
    s.chkClosedNth[7 * 5 + 5].Value = 1;  // last-fri
    s.txtClosedDays.Text = "1、10";
    s.chkClosedHolidays.Value = 1;
    s.chkClosedMoves.Value = 1;
    s.txtClosedOn.Text = "2027-01-06\r\n 12-29..01-03 \n";
    s.txtOpenOn.Text = "2027-01-02";
    s.lblClosedColor.BackColor = 10 + 256 * 20 + 65536 * 30;
    s.txtClosedLabel.Text = "定休";
    platform.saveAnswers.push_back(platform.PathIn("shop.html"));
    form.Toolbar1_ButtonClick(3);

    const ToolRun tool = RunTool(
        {"--start", "2026-12", "--closed", "wed,2tue,last-fri,d1,d10,holidays",
         "--closed-moves-after-holiday", "--closed-on", "2027-01-06,12-29..01-03", "--open-on",
         "2027-01-02", "--closed-color", "10,20,30", "--closed-label", "定休"});
    ASSERT_EQ(tool.status, 0) << tool.err;
    EXPECT_EQ(ReadBytes(platform.PathIn("shop.html")), tool.out);
    EXPECT_NE(tool.out.find(ToCodePage932("定休")), std::string::npos);
}

TEST_F(LogicClosing, LeavesOutBadLinesWithTheirReasonsAndKeepsTheRest) {
    s.txtClosedDays.Text = "1, 32 x";
    s.txtClosedOn.Text = "2027-05-06\n2027-02-30\n6tue\n\n2027-03-10..2027-03-01\n12-29..01-03";
    s.txtOpenOn.Text = "05-06..2027-05-07";
    form.ClosedFields_Change();
    const ClosingRules rules = PageOptionsFromSettings(s).closing;
    EXPECT_EQ(rules.monthDays, 1u << 1);
    EXPECT_EQ(rules.closedOn, (std::vector<DateSpan>{{20270506, 20270506}, {1229, 103}}));
    EXPECT_TRUE(rules.openOn.empty());
    EXPECT_EQ(s.lblClosedProblems.Caption,
              "毎月の日「32」: 日は 1～31 の数です\n"
              "毎月の日「x」: 日は 1～31 の数です\n"
              "臨時休業 2 行目「2027-02-30」: その月にない日です\n"
              "臨時休業 3 行目「6tue」: 日付として読めません (例 2027-05-06、12-29..01-03)\n"
              "臨時休業 5 行目「2027-03-10..2027-03-01」: 範囲の終わりが始まりより前です\n"
              "臨時営業 1 行目「05-06..2027-05-07」: 年のある日と年のない日は範囲にできません");
    s.txtClosedDays.Text = s.txtClosedOn.Text = s.txtOpenOn.Text = "";
    form.ClosedFields_Change();
    EXPECT_EQ(s.lblClosedProblems.Caption, "");
}

}  // namespace
}  // namespace rumora::testing
