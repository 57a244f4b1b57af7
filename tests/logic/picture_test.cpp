#include <cstdint>
#include <string>

#include "logic/form1_fixture.h"

namespace rumora::testing {
namespace {

// The smallest GIF: one transparent pixel.
constexpr std::string_view kOnePixelGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
    "!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
    43);

// A JPEG that ends before its frame header.
constexpr std::string_view kTruncatedJpeg("\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01",
                                          16);

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFU);
}

// An uncompressed 24-bit BMP of the given size, all black.
std::string Bitmap(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t row = (width * 3 + 3) / 4 * 4;
    std::string out = "BM";
    PutLittleEndian(out, 54 + row * height, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 54, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, width, 4);
    PutLittleEndian(out, height, 4);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 24, 2);
    for (int i = 0; i < 6; ++i) PutLittleEndian(out, 0, 4);
    out.append(row * height, '\0');
    return out;
}

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

TEST_F(LogicPictures, AOnePixelGifIsMeasuredAtScale100) {
    const std::string gif = platform.MakeFile("dot.gif", kOnePixelGif);
    Choose(gif);
    EXPECT_EQ(platform.openFilters, (std::vector<std::string>{"Image File|*.jpeg;*.jpg;*.gif"}));
    EXPECT_EQ(s.txtImg.Text, gif);
    EXPECT_EQ(s.txtImg.ToolTipText, gif);
    EXPECT_EQ(s.txtImg.SelStart, static_cast<int>(gif.size()));
    EXPECT_EQ(s.Picture1.Width, 15.0f);
    EXPECT_EQ(s.lblImgSize.Caption, "W1 x H1");
    EXPECT_TRUE(s.HScroll1.Enabled);
    EXPECT_EQ(s.lblImgScale.Caption, "100% ==>");
    EXPECT_EQ(s.lblImgSize2.Caption, "W1 x H1");
}

TEST_F(LogicPictures, ACancelledDialogChangesNothing) {
    Choose(platform.MakeFile("dot.gif", kOnePixelGif));
    const PageSettings before = s;
    form.cmdImg_Click();
    EXPECT_EQ(s.txtImg.Text, before.txtImg.Text);
    EXPECT_EQ(s.lblImgSize.Caption, before.lblImgSize.Caption);
    EXPECT_EQ(platform.loadedPictures.size(), 1u);
}

TEST_F(LogicPictures, InvalidFilesEmptyTheDisplaysAndAGoodOneRestoresThem) {
    Choose(platform.MakeFile("wide.bmp", Bitmap(40, 20)));
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
    const std::string big = platform.MakeFile("big.bmp", Bitmap(320, 240));
    Choose(big);
    s.HScroll1.Value = 150;
    form.HScroll1_Change();
    EXPECT_EQ(s.lblImgSize2.Caption, "W480 x H360");

    Choose(platform.MakeFile("small.bmp", Bitmap(50, 20)));
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
    const std::string first = platform.MakeFile("a.bmp", Bitmap(3, 2));
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
    std::uint32_t pixels;
    std::int16_t scale;
    const char* scaled;
};

class LogicScaleDisplays : public LogicPictures, public ::testing::WithParamInterface<ScaleCase> {};

// The page rounds the same way, so these match the picture sizes in it.
TEST_P(LogicScaleDisplays, ShowTheScaledSizeAsThePageWillHaveIt) {
    const ScaleCase c = GetParam();
    Choose(platform.MakeFile("p.bmp", Bitmap(c.pixels, c.pixels)));
    s.HScroll1.Value = c.scale;
    form.HScroll1_Change();
    EXPECT_EQ(s.lblImgScale.Caption, std::to_string(c.scale) + "% ==>");
    EXPECT_EQ(s.lblImgSize2.Caption, c.scaled);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LogicScaleDisplays,
    ::testing::Values(ScaleCase{100, 29, "W28 x H28"}, ScaleCase{50, 58, "W28 x H28"},
                      ScaleCase{5, 10, "W0 x H0"}, ScaleCase{5, 200, "W10 x H10"},
                      ScaleCase{301, 50, "W150 x H150"}),
    [](const auto& test) {
        return std::to_string(test.param.pixels) + "px_at_" + std::to_string(test.param.scale);
    });

}  // namespace
}  // namespace rumora::testing
