#include "picture/picture_measure.h"

#include <gtest/gtest.h>

#include "support/pictures.h"
#include "support/temp_dir.h"

namespace rumora {
namespace {

using Outcome = PictureMeasurement::Outcome;
using namespace rumora::testing;

struct PictureCase {
    const char* name;  // the content decides, never the name
    std::string bytes;
    int width = 0;  // 0: not a picture
    int height = 0;
};

std::string Cut(const std::string& bytes, std::size_t length) { return bytes.substr(0, length); }

// Sizes as Chromium shows them: turned by EXIF, an icon at its largest.
TEST(PictureMeasure, MeasuresWhatBrowsersShowAtTheirSize) {
    const std::string jpeg = EncodedPicture(64, 64, "jpeg");
    const std::string progressive = GreyJpeg(640, 480, true);
    const std::string bigProgressive = GreyJpeg(8192, 5464, true);
    const std::string bmp = EncodedPicture(9, 4, "bmp");
    const PictureCase cases[] = {
        {"one.gif", kOnePixelGif, 1, 1},
        {"photo.jpg", EncodedPicture(320, 240, "jpeg"), 320, 240},
        {"really-png.jpg", EncodedPicture(7, 5, "png"), 7, 5},
        {"picture.bmp", bmp, 9, 4},
        {"rotated.jpg", EncodedPicture(320, 240, "jpeg", QImageIOHandler::TransformationRotate90),
         240, 320},
        {"rotated.png", Png(30, 20, 8, 0, std::string(31, '\0'), 20, "eXIf", ExifOrientation(6)),
         20, 30},
        {"mirrored.png", Png(30, 20, 8, 0, std::string(31, '\0'), 20, "eXIf", ExifOrientation(2)),
         30, 20},
        {"icons.ico", MultiSizeIcon({16, 48, 32}), 48, 48},
        {"picture.webp", EncodedPicture(6, 4, "webp"), 6, 4},
        {"45mp.jpg", GreyJpeg(8192, 5464), 8192, 5464},
        {"100mp.jpg", GreyJpeg(12288, 8192), 12288, 8192},
        {"200mp.jpg", GreyJpeg(16384, 12208), 16384, 12208},
        {"progressive.jpg", progressive, 640, 480},
        {"45mp-progressive.jpg", bigProgressive, 8192, 5464},

        {"text.jpg", "this is a text file, not a picture\n"},
        {"empty.gif", ""},
        {"cut.jpg", Cut(jpeg, jpeg.size() / 3)},
        {"cut-progressive.jpg", Cut(progressive, progressive.size() - 100)},
        {"cut-45mp-progressive.jpg", Cut(bigProgressive, bigProgressive.size() / 2)},
        {"cut.bmp", Cut(bmp, bmp.size() - 1)},
        {"corrupt.bmp",
         std::string("BM\x1d\0\0\0\0\0\0\0\x1a\0\0\0\x0c\0\0\0\x05\0\x05\0\x01\0\x18\0"
                     "\0\0\0",
                     29)},
        // Pictures Qt reads but no browser shows.
        {"picture.ppm", EncodedPicture(4, 4, "ppm")},
        {"picture.pgm", EncodedPicture(4, 4, "pgm")},
        {"picture.xbm", EncodedPicture(4, 4, "xbm")},
        {"picture.xpm", EncodedPicture(4, 4, "xpm")},
    };
    TempDir dir;
    for (const PictureCase& c : cases) {
        WriteBytes(dir.File(c.name), c.bytes);
        const PictureMeasurement measured = MeasurePicture(dir.File(c.name));
        EXPECT_EQ(measured.outcome, c.width > 0 ? Outcome::Measured : Outcome::Undecodable)
            << c.name << ": " << measured.reason;
        EXPECT_EQ(measured.width, c.width) << c.name;
        EXPECT_EQ(measured.height, c.height) << c.name;
        EXPECT_EQ(measured.reason.empty(), c.width > 0) << c.name;
    }

    EXPECT_EQ(MeasurePicture(dir.File("missing.gif")).outcome, Outcome::Unreadable);
    EXPECT_EQ(MeasurePicture(dir.path().string()).outcome, Outcome::Unreadable);
    EXPECT_EQ(MeasurePicture("").outcome, Outcome::Unreadable);
}

}  // namespace
}  // namespace rumora
