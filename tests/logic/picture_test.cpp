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

    void ExpectInvalid(const std::string& path, const char* sizeText) {
        EXPECT_EQ(s.txtImg.Text, path);
        EXPECT_EQ(s.lblImgSize.Caption, sizeText);
        EXPECT_FALSE(s.HScroll1.Enabled);
        EXPECT_EQ(s.lblImgScale.Caption, "");
        EXPECT_EQ(s.lblImgSize2.Caption, "");
    }
};

TEST_F(LogicPictures, AOnePixelGifIsMeasuredAtScale100AndACancelKeepsIt) {
    const std::string gif = platform.MakeFile("dot.gif", kOnePixelGif);
    Choose(gif);
    EXPECT_EQ(platform.openFilters,
              (std::vector<std::string>{"Image File|*.jpeg;*.jpg;*.jpe;*.jfif;*.png;*.gif;*.bmp;"
                                        "*.dib;*.ico;*.cur;*.webp"}));
    EXPECT_EQ(s.txtImg.Text, gif);
    EXPECT_EQ(s.txtImg.ToolTipText, gif);
    EXPECT_EQ(s.txtImg.SelStart, static_cast<int>(gif.size()));
    EXPECT_EQ(s.Picture1.Width, 15.0f);
    EXPECT_EQ(s.lblImgSize.Caption, "W1 x H1");
    EXPECT_TRUE(s.HScroll1.Enabled);
    EXPECT_EQ(s.lblImgScale.Caption, "100% ==>");
    EXPECT_EQ(s.lblImgSize2.Caption, "W1 x H1");

    form.cmdImg_Click();  // cancelled: nothing changes
    EXPECT_EQ(s.txtImg.Text, gif);
    EXPECT_EQ(s.lblImgSize.Caption, "W1 x H1");
    EXPECT_EQ(platform.loadedPictures.size(), 1u);
}

TEST_F(LogicPictures, InvalidFilesEmptyTheDisplaysAndAGoodOneRestoresThem) {
    Choose(platform.MakeFile("wide.bmp", EncodedPicture(40, 20, "bmp")));
    s.HScroll1.Value = 150;
    form.HScroll1_Change();

    const std::string text = platform.MakeFile("x.jpg", "not a picture\n");
    Choose(text);
    ExpectInvalid(text, "ﾋﾟｸﾁｬ形式不正");
    EXPECT_EQ(s.HScroll1.Value, 150);  // only a good picture resets it
    EXPECT_EQ(s.Picture1.Width, 600.0f);

    const std::string truncated = platform.MakeFile("cut.jpg", kTruncatedJpeg);
    Choose(truncated);
    ExpectInvalid(truncated, "ﾋﾟｸﾁｬ形式不正");

    const std::string missing = platform.PathIn("gone.gif");
    Choose(missing);
    ExpectInvalid(missing, "ﾌｧｲﾙ読込ｴﾗｰ");
    Choose(platform.folder().string());
    ExpectInvalid(platform.folder().string(), "ﾌｧｲﾙ読込ｴﾗｰ");

    Choose(platform.MakeFile("dot.gif", kOnePixelGif));
    EXPECT_EQ(s.lblImgSize.Caption, "W1 x H1");
    EXPECT_TRUE(s.HScroll1.Enabled);
    EXPECT_EQ(s.HScroll1.Value, 100);
    EXPECT_EQ(s.lblImgSize2.Caption, "W1 x H1");
}

TEST_F(LogicPictures, ANewPictureReturnsTheScaleTo100AndRefreshesTheDisplays) {
    const std::string big = platform.MakeFile("big.bmp", EncodedPicture(320, 240, "bmp"));
    Choose(big);
    s.HScroll1.Value = 150;
    form.HScroll1_Change();
    EXPECT_EQ(s.lblImgSize2.Caption, "W480 x H360");

    Choose(platform.MakeFile("small.bmp", EncodedPicture(50, 20, "bmp")));
    EXPECT_EQ(s.HScroll1.Value, 100);
    EXPECT_EQ(s.lblImgScale.Caption, "100% ==>");
    EXPECT_EQ(s.lblImgSize2.Caption, "W50 x H20");

    // The same scale, so only the direct refresh can update the size.
    Choose(big);
    Choose(big);
    EXPECT_EQ(s.lblImgSize.Caption, "W320 x H240");
    EXPECT_EQ(s.lblImgSize2.Caption, "W320 x H240");
}

TEST_F(LogicPictures, ADropUsesTheFirstFileAndADropWithoutFilesNothing) {
    const std::string first = platform.MakeFile("a.bmp", EncodedPicture(3, 2, "bmp"));
    form.txtImg_OLEDragDrop({first, platform.MakeFile("b.gif", kOnePixelGif), "/no/such"});
    EXPECT_EQ(s.txtImg.Text, first);
    EXPECT_EQ(s.lblImgSize.Caption, "W3 x H2");
    EXPECT_EQ(platform.loadedPictures, (std::vector<std::string>{first}));

    form.txtImg_OLEDragDrop({});
    form.txtImg_OLEDragDrop({""});
    EXPECT_EQ(s.txtImg.Text, first);
    EXPECT_EQ(platform.loadedPictures.size(), 1u);
}

TEST_F(LogicPictures, TheCaretCountsCharactersNotBytes) {
    const std::string path = platform.MakeFile("写真.gif", kOnePixelGif);
    Choose(path);
    EXPECT_EQ(s.txtImg.SelStart, static_cast<int>(path.size()) - 4);
}

struct ScaleCase {
    int pixels;
    std::int16_t scale;
    const char* scaled;
    float twipsPerPixel = 15.0f;
};

class LogicScaleDisplays : public LogicPictures, public ::testing::WithParamInterface<ScaleCase> {};

// The page rounds the same way, so these match the picture sizes in it.
TEST_P(LogicScaleDisplays, ShowTheScaledSizeAsThePageWillHaveIt) {
    const ScaleCase c = GetParam();
    platform.screen = {c.twipsPerPixel, c.twipsPerPixel};
    Choose(platform.MakeFile("p.bmp", EncodedPicture(c.pixels, c.pixels, "bmp")));
    s.HScroll1.Value = c.scale;
    form.HScroll1_Change();
    EXPECT_EQ(s.lblImgScale.Caption, std::to_string(c.scale) + "% ==>");
    EXPECT_EQ(s.lblImgSize2.Caption, c.scaled);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LogicScaleDisplays,
    ::testing::Values(ScaleCase{100, 29, "W28 x H28"}, ScaleCase{50, 58, "W28 x H28"},
                      ScaleCase{5, 10, "W0 x H0"}, ScaleCase{5, 200, "W10 x H10"},
                      ScaleCase{301, 50, "W150 x H150"},
                      // 150 and 110 dpi, whose twips per pixel are not whole.
                      ScaleCase{600, 100, "W600 x H600", 9.6f},
                      ScaleCase{600, 100, "W600 x H600", 13.0909f}),
    [](const auto& test) {
        return std::to_string(test.param.pixels) + "px_at_" + std::to_string(test.param.scale) +
               "_" + std::to_string(static_cast<int>(1440 / test.param.twipsPerPixel)) + "dpi";
    });

}  // namespace
}  // namespace rumora::testing
