// Small pictures for the tests to measure: the smallest GIF, and a solid
// picture of any size in any format Qt writes.
#pragma once

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <string>

namespace rumora::testing {

// One transparent pixel.
inline const std::string kOnePixelGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
    "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
    43);

// A magenta picture as `format` ("png", "jpeg", "bmp") writes it.
inline std::string EncodedPicture(int width, int height, const char* format,
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

}  // namespace rumora::testing
