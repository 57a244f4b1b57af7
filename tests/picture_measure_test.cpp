#include "picture/picture_measure.h"

#include <gtest/gtest.h>

#include "support/pictures.h"
#include "support/temp_dir.h"

namespace rumora {
namespace {

using Outcome = PictureMeasurement::Outcome;
using testing::EncodedPicture;
using testing::TempDir;
using testing::WriteBytes;

TEST(PictureMeasure, DecodesGifJpegAndPngToTheirPixelSize) {
    TempDir dir;
    WriteBytes(dir.File("one.gif"), testing::kOnePixelGif);
    const PictureMeasurement gif = MeasurePicture(dir.File("one.gif"));
    EXPECT_EQ(gif.outcome, Outcome::Measured);
    EXPECT_EQ(gif.width, 1);
    EXPECT_EQ(gif.height, 1);

    WriteBytes(dir.File("photo.jpg"), EncodedPicture(320, 240, "jpeg"));
    const PictureMeasurement jpeg = MeasurePicture(dir.File("photo.jpg"));
    EXPECT_EQ(jpeg.outcome, Outcome::Measured);
    EXPECT_EQ(jpeg.width, 320);
    EXPECT_EQ(jpeg.height, 240);

    // The content decides, not the name.
    WriteBytes(dir.File("really-png.jpg"), EncodedPicture(7, 5, "png"));
    const PictureMeasurement png = MeasurePicture(dir.File("really-png.jpg"));
    EXPECT_EQ(png.outcome, Outcome::Measured);
    EXPECT_EQ(png.width, 7);
}

TEST(PictureMeasure, RotatedPhotoIsMeasuredAsABrowserShowsIt) {
    TempDir dir;
    WriteBytes(dir.File("rotated.jpg"),
               EncodedPicture(320, 240, "jpeg", QImageIOHandler::TransformationRotate90));
    const PictureMeasurement rotated = MeasurePicture(dir.File("rotated.jpg"));
    ASSERT_EQ(rotated.outcome, Outcome::Measured);
    EXPECT_EQ(rotated.width, 240);
    EXPECT_EQ(rotated.height, 320);
}

TEST(PictureMeasure, UndecodableContentIsToldApartFromUnreadableFiles) {
    TempDir dir;
    WriteBytes(dir.File("x.jpg"), "this is a text file, not a picture\n");
    EXPECT_EQ(MeasurePicture(dir.File("x.jpg")).outcome, Outcome::Undecodable);
    const std::string jpeg = EncodedPicture(64, 64, "jpeg");
    WriteBytes(dir.File("cut.jpg"), jpeg.substr(0, jpeg.size() / 3));
    EXPECT_NE(MeasurePicture(dir.File("cut.jpg")).outcome, Outcome::Unreadable);
    WriteBytes(dir.File("empty.gif"), "");
    EXPECT_EQ(MeasurePicture(dir.File("empty.gif")).outcome, Outcome::Undecodable);

    EXPECT_EQ(MeasurePicture(dir.File("missing.gif")).outcome, Outcome::Unreadable);
    EXPECT_EQ(MeasurePicture(dir.path().string()).outcome, Outcome::Unreadable);
    EXPECT_EQ(MeasurePicture("").outcome, Outcome::Unreadable);
}

}  // namespace
}  // namespace rumora
