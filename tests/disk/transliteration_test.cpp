// Found by page_fuzzer: glibc transliterates U+00A0 and U+2002 into a blank
// and U+FE59 / U+FE5A into parentheses, so a picture address that was whole
// in the page broke apart in its code page 932 file.
#include <gtest/gtest.h>

#include "app/page_settings.h"
#include "calendar/page_composer.h"
#include "output/code_page.h"

namespace rumora {
namespace {

TEST(FuzzFinding, PictureAddressStaysWholeInCodePage932) {
    for (const char* layout : {kLayoutStandard2, kLayoutProgress}) {
        PageSettings s = MakeDefaultSettings();
        s.lblLayOut.Caption = layout;
        s.txtImg.Text = "/tmp/a\u00A0b\u2002c\uFE59d\uFE5Ae\uFE5Ff\uFE6Ag.png";
        const std::string file = ToCodePage932(MakeHtmlPage(s, ScreenMetrics{}));
        const bool progress = layout == kLayoutProgress;
        const std::string opening = progress ? "url(file:///" : "src=file:///";
        const std::string terminator = progress ? ") no-repeat" : " width=";
        const auto from = file.find(opening) + opening.size();
        const auto end = file.find_first_of(" ()\"", from);
        ASSERT_NE(end, std::string::npos) << layout;
        EXPECT_EQ(file.compare(end, terminator.size(), terminator), 0) << layout << ": " << file;
        EXPECT_TRUE(file.substr(from, end - from).ends_with("g.png")) << layout << ": " << file;
    }
}

}  // namespace
}  // namespace rumora
