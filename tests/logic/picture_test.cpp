#include <cstdint>
#include <string>

#include "logic/form1_fixture.h"
#include "support/pictures.h"

namespace rumora::testing {
namespace {

// A JPEG that ends before its frame header.
const std::string kTruncatedJpeg("\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01", 16);

class LogicPictures : public StartedForm {
  protected:
    void Choose(const std::string& path) {
        platform.openAnswers.push_back(path);
        form.cmdImg_Click();
    }

    // The path, size, scale and scaled size as the window shows them; the
    // scale bar works only for a good picture.
    void ExpectShown(const std::string& path, const char* size, const char* scale,
                     const char* scaled) {
        EXPECT_EQ(s.txtImg.Text, path);
        EXPECT_EQ(s.txtImg.ToolTipText, path);
        EXPECT_EQ(s.lblImgSize.Caption, size);
        EXPECT_EQ(s.HScroll1.Enabled, *scale != 0);
        EXPECT_EQ(s.lblImgScale.Caption, scale);
        EXPECT_EQ(s.lblImgSize2.Caption, scaled);
    }
};

// The caret goes after the path, counted in characters, not bytes.
TEST_F(LogicPictures, AOnePixelGifIsMeasuredAtScale100AndACancelKeepsIt) {
    const std::string gif = platform.MakeFile("写真.gif", kOnePixelGif);
    Choose(gif);
    form.cmdImg_Click();  // cancelled: nothing changes
    ExpectShown(gif, "W1 x H1", "100% ==>", "W1 x H1");
    EXPECT_EQ(s.txtImg.SelStart, static_cast<int>(gif.size()) - 4);
    EXPECT_EQ(s.Picture1.Width, 15.0f);
    EXPECT_EQ(platform.loadedPictures.size(), 1u);
}

TEST_F(LogicPictures, BadFilesEmptyTheDisplaysAndTheNextGoodOneResetsTheScale) {
    Choose(platform.MakeFile("wide.bmp", EncodedPicture(40, 20, "bmp")));
    s.HScroll1.Value = 150;
    form.HScroll1_Change();
    EXPECT_EQ(s.lblImgSize2.Caption, "W60 x H30");
    const std::pair<std::string, const char*> bad[] = {
        {platform.MakeFile("x.jpg", "not a picture\n"), "ﾋﾟｸﾁｬ形式不正"},
        {platform.MakeFile("cut.jpg", kTruncatedJpeg), "ﾋﾟｸﾁｬ形式不正"},
        {platform.PathIn("gone.gif"), "ﾌｧｲﾙ読込ｴﾗｰ"},
        {platform.folder().string(), "ﾌｧｲﾙ読込ｴﾗｰ"}};
    s.lblLayOut.Caption = kLayoutStandard1;
    for (const auto& [path, shown] : bad) {
        Choose(path);
        ExpectShown(path, shown, "", "");
        EXPECT_EQ(s.HScroll1.Value, 150);  // only a good picture resets it
        EXPECT_EQ(s.Picture1.Width, 600.0f);
        // The holder's size is the last picture's: no page is made with it.
        platform.saveAnswers.push_back(platform.PathIn("page.html"));
        form.Toolbar1_ButtonClick(3);
        EXPECT_TRUE(platform.writtenPages.empty()) << path;
        EXPECT_NE(platform.messages.back().find("画像 " + path + " の大きさが分かりません"),
                  std::string::npos);
    }
    s.txtImg.Text = platform.PathIn("typed.gif");
    form.Toolbar1_ButtonClick(3);
    EXPECT_NE(platform.messages.back().find("大きさを測っていません"), std::string::npos);
    const std::string gif = platform.MakeFile("dot.gif", kOnePixelGif);
    Choose(gif);
    EXPECT_EQ(s.HScroll1.Value, 100);
    ExpectShown(gif, "W1 x H1", "100% ==>", "W1 x H1");
    // At the same scale only the direct refresh can update the displays.
    const std::string small = platform.MakeFile("small.bmp", EncodedPicture(50, 20, "bmp"));
    Choose(small);
    ExpectShown(small, "W50 x H20", "100% ==>", "W50 x H20");
}

TEST_F(LogicPictures, ADropUsesTheFirstFileAndADropWithoutFilesNothing) {
    const std::string first = platform.MakeFile("a.bmp", EncodedPicture(3, 2, "bmp"));
    form.txtImg_OLEDragDrop({first, platform.MakeFile("b.gif", kOnePixelGif), "/no/such"});
    form.txtImg_OLEDragDrop({});
    form.txtImg_OLEDragDrop({""});
    ExpectShown(first, "W3 x H2", "100% ==>", "W3 x H2");
    EXPECT_EQ(platform.loadedPictures, (std::vector<std::string>{first}));
}

// The page rounds the same way, so these match the picture sizes in it; the
// last screen's twips per pixel are not whole (150 dpi) and differ across.
TEST_F(LogicPictures, ScaleDisplaysShowTheScaledSizeAsThePageWillHaveIt) {
    struct Case {
        int width, height;
        std::int16_t scale;
        const char* scaled;
        ScreenMetrics screen{15.0f, 15.0f};
    };
    for (const Case& c :
         {Case{100, 100, 29, "W28 x H28"}, Case{5, 5, 10, "W1 x H1"}, Case{5, 3, 200, "W10 x H6"},
          Case{600, 301, 100, "W600 x H301", {9.6f, 12.0f}}}) {
        platform.screen = c.screen;
        Choose(platform.MakeFile("p.bmp", EncodedPicture(c.width, c.height, "bmp")));
        s.HScroll1.Value = c.scale;
        form.HScroll1_Change();
        EXPECT_EQ(s.lblImgScale.Caption, std::to_string(c.scale) + "% ==>");
        EXPECT_EQ(s.lblImgSize2.Caption, c.scaled) << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace rumora::testing
