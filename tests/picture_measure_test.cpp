#include "picture/picture_measure.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <filesystem>

#include "support/temp_dir.h"

namespace rumora {
namespace {

using Outcome = PictureMeasurement::Outcome;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// The smallest GIF: one transparent pixel.
const std::string kOnePixelGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
    "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
    43);

std::string EncodedPicture(int width, int height, const char* format,
                           QImageIOHandler::Transformations transformation = {}) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setTransformation(transformation);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return buffer.data().toStdString();
}

TEST(PictureMeasure, DecodesGifJpegAndPngToTheirPixelSize) {
    TempDir dir;
    WriteBytes(dir.File("one.gif"), kOnePixelGif);
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
    // A FIFO would block a reader forever.
    ASSERT_EQ(::mkfifo(dir.File("fifo.gif").c_str(), 0600), 0);
    EXPECT_EQ(MeasurePicture(dir.File("fifo.gif")).outcome, Outcome::Unreadable);
    EXPECT_EQ(MeasurePicture("/dev/zero").outcome, Outcome::Unreadable);
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

// A small PNG whose header claims width x height.
std::string PngClaimingSize(std::uint32_t width, std::uint32_t height) {
    std::string png = EncodedPicture(1, 1, "png");
    // Signature (8), IHDR length (4), "IHDR" (4), width, height, 5 more bytes, CRC.
    PutBigEndian(png, 16, width);
    PutBigEndian(png, 20, height);
    PutBigEndian(png, 29, Crc32(png.substr(12, 17)));
    return png;
}

TEST(PictureMeasure, HugePictureIsRefusedInsteadOfExhaustingMemory) {
    TempDir dir;
    // 30000 x 30000 at 4 bytes a pixel is far over the allocation limit.
    WriteBytes(dir.File("huge.png"), PngClaimingSize(30000, 30000));
    const PictureMeasurement huge = MeasurePicture(dir.File("huge.png"));
    EXPECT_EQ(huge.outcome, Outcome::Undecodable);
}

}  // namespace
}  // namespace rumora
