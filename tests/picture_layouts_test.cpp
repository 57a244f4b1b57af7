// The picture's address and size in the page; the layouts themselves are
// checked byte for byte with the composer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/markup.h"
#include "page/page_composer.h"
#include "page/page_error.h"
#include "page/picture_scale.h"

namespace rumora {
namespace {

TEST(PictureLayouts, PictureAddress) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"D:\\My Documents\\pic.jpg", "D|/My%20Documents/pic.jpg"},
        {"z:/a.gif", "z|/a.gif"},
        {"\\\\server\\share\\a.gif", "//server/share/a.gif"},
        {"pic.jpg", "pic.jpg"},
        {"", ""},
        // Only a drive letter's colon is "|"; any other is kept as %3A.
        {"D:\\12:30\\a.jpg", "D|/12%3A30/a.jpg"},
        {"1:\\a.jpg", "1%3A/a.jpg"},
        {"a:b.jpg", "a|b.jpg"},
        {"ab:c.jpg", "ab%3Ac.jpg"},
        {":a", "%3Aa"},
        // A POSIX name holds ":" and "\" as plain characters.
        {"/home/u/shot 2024-01-01 12:34:56.png", "/home/u/shot%202024-01-01%2012%3A34%3A56.png"},
        {"/home/u/a\\b.png", "/home/u/a%5Cb.png"},
        {"/D:\\x", "/D%3A%5Cx"},
        {"a\"#%&'()<>?`{}b", "a%22%23%25%26%27%28%29%3C%3E%3F%60%7B%7Db"},
        {std::string("\x01\x1f\x7f\t", 4), "%01%1F%7F%09"},
        {std::string("a\0b", 3), "a%00b"},
        // Every non-ASCII byte goes percent-encoded, so neither Shift-JIS
        // nor "?" can stand in for a character of the name.
        {"/写真/：¥.jpg", "/%E5%86%99%E7%9C%9F/%EF%BC%9A%C2%A5.jpg"},
        {"/한/😀", "/%ED%95%9C/%F0%9F%98%80"},
        {std::string("/a\xe9\xff.png", 8), "/a%E9%FF.png"},
        {"/a+b,c;d=e!f~g[h]@$*", "/a+b,c;d=e!f~g[h]@$*"},
    };
    for (const auto& [path, expected] : cases) {
        std::string address;
        AppendPictureUrlPath(address, path);
        EXPECT_EQ(address, expected) << path;
    }
}

TEST(PictureLayouts, ScaledSizeFollowsDoubleArithmeticStepByStep) {
    struct Case {
        int scale;
        float twips, twipsPerPixel;
        std::int64_t pixels;
    };
    for (const Case c : {Case{29, 1500, 15, 28},  // 0.29 * 1500 = 434.99999999999994
                         Case{58, 750, 15, 28}, Case{116, 375, 15, 28}, Case{10, 1500, 15, 10},
                         Case{200, 1500, 15, 200}, Case{100, 4500, 15, 300},
                         Case{10, 135, 15, 1},  // 0.9 px: still drawn
                         Case{0, 135, 15, 0}, Case{50, 301 * 15, 15, 150},
                         Case{100, kPictureDesignTwips, 15, 57}}) {  // the empty holder
        EXPECT_EQ(ScaledPixels(c.scale, c.twips, c.twipsPerPixel), c.pixels)
            << c.scale << "% of " << c.twips;
    }
    EXPECT_FALSE(ScaledPixels(200, 3.0e38f, 1e-30f));
    // A negative size is no size, whatever the scale.
    EXPECT_FALSE(ScaledPixels(100, -1500, 15));
    EXPECT_FALSE(NaturalPixels(-1500, 15));
}

// 600 px at 9.6 twips per pixel (150 dpi) once came back as 599: the float
// nearest 600 x 9.6 lies below it.
TEST(PictureLayouts, EveryPixelSizeComesBackWholeAtAnyDensity) {
    for (const float perPixel : {9.6f, 13.0909f, 1440.0f / 110, 14.4f, 12.0f, 15.0f, 0.7f}) {
        for (std::int64_t pixels = 1; pixels <= 5000; ++pixels) {
            const float twips = PixelsToTwips(pixels, perPixel);
            ASSERT_EQ(NaturalPixels(twips, perPixel), pixels) << perPixel;
            ASSERT_EQ(ScaledPixels(100, twips, perPixel), pixels) << perPixel;
            ASSERT_EQ(ScaledPixels(200, twips, perPixel), 2 * pixels) << perPixel;
        }
    }
    // Whole values are exact, so the rounding of other scales above stays.
    EXPECT_EQ(PixelsToTwips(100, 15), 1500.0f);
}

TEST(PictureLayouts, ImpossibleSizes) {
    PageOptions s;
    for (const PageLayout layout :
         {PageLayout::Standard1, PageLayout::Standard2, PageLayout::Progress}) {
        s.layout = layout;
        EXPECT_THROW(MakeHtmlPage(s, {0.0f, 0.0f}), PageBuildError) << LayoutName(layout);
    }
    // Simple has no picture: the screen measures do not matter.
    s.layout = PageLayout::Simple;
    EXPECT_NO_THROW(MakeHtmlPage(s, {0.0f, 0.0f}));
}

}  // namespace
}  // namespace rumora
