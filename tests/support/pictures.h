// Pictures for the tests to measure, made on the fly: the smallest GIF, a
// solid picture in any format Qt writes, PNGs and JPEGs of any size built
// chunk by chunk without holding their pixels, and multi-size icons.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace rumora::testing {

// One transparent pixel.
inline const std::string kOnePixelGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
    "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
    43);

// A magenta picture as `format` ("png", "jpeg", "bmp", "ico") writes it.
inline std::string EncodedPicture(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return buffer.data().toStdString();
}

inline void PutBigEndian(std::string& out, std::uint32_t value, int bytes = 4) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>(value >> shift));
    }
}

inline void AppendPngChunk(std::string& png, std::string_view type, std::string_view data) {
    PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.append(type);
    png.append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(png.data() + start);
    PutBigEndian(
        png, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(png.size() - start))));
}

// Deflates `rowCount` copies of `row` as one zlib stream without holding the
// whole picture in memory.
inline std::string DeflateRepeated(std::string_view row, std::uint64_t rowCount) {
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    std::string out;
    std::array<unsigned char, 1 << 16> buffer{};
    for (std::uint64_t i = 0; i <= rowCount; ++i) {
        const bool last = i == rowCount;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        stream.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            stream.next_out = buffer.data();
            stream.avail_out = buffer.size();
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

// A PNG of the given header whose every row is `row` (filter byte first),
// with one more chunk before the data if asked.
inline std::string Png(std::uint32_t width, std::uint32_t height, unsigned char bitDepth,
                       unsigned char colourType, std::string_view row, std::uint64_t rowCount,
                       std::string_view extraChunkType = {}, std::string_view extraChunk = {},
                       bool interlaced = false) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header += {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0,
               static_cast<char>(interlaced ? 1 : 0)};
    AppendPngChunk(png, "IHDR", header);
    if (colourType == 3) AppendPngChunk(png, "PLTE", std::string("\xff\x00\xff\x00\x00\x00", 6));
    if (!extraChunkType.empty()) AppendPngChunk(png, extraChunkType, extraChunk);
    AppendPngChunk(png, "IDAT", DeflateRepeated(row, rowCount));
    AppendPngChunk(png, "IEND", "");
    return png;
}

// EXIF data (from its byte order mark) holding only an orientation.
inline std::string ExifOrientation(int orientation) {
    std::string tiff("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01", 18);
    PutBigEndian(tiff, static_cast<std::uint32_t>(orientation) << 16);
    return tiff + std::string(4, '\0');
}

// A grey JPEG of any size whose every block is one code "0" for the DC and
// one for the end of block: a quarter of a byte a block, so even 200
// megapixels take 800 kB. A progressive one has a DC scan and an AC scan.
inline std::string GreyJpeg(std::uint32_t width, std::uint32_t height, bool progressive = false) {
    std::string jpeg("\xFF\xD8", 2);
    const auto segment = [&jpeg](unsigned char marker, std::string_view body) {
        jpeg += {'\xFF', static_cast<char>(marker)};
        PutBigEndian(jpeg, static_cast<std::uint32_t>(body.size() + 2), 2);
        jpeg += body;
    };
    segment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
    std::string frame(1, '\x08');
    PutBigEndian(frame, height, 2);
    PutBigEndian(frame, width, 2);
    segment(progressive ? 0xC2 : 0xC0, frame + std::string("\x01\x01\x11\x00", 4));
    for (char table : {'\x00', '\x10'}) {
        segment(0xC4, std::string(1, table) + '\x01' + std::string(16, '\0'));
    }
    const std::uint64_t blocks = std::uint64_t{(width + 7) / 8} * ((height + 7) / 8);
    const auto scan = [&](std::string_view spectrum, std::uint64_t bitsPerBlock) {
        segment(0xDA, std::string("\x01\x01\x00", 3) + std::string(spectrum));
        jpeg += std::string((blocks * bitsPerBlock + 7) / 8, '\0');
    };
    if (progressive) {
        scan(std::string_view("\x00\x00\x00", 3), 1);
        scan(std::string_view("\x01\x3F\x00", 3), 1);
    } else {
        scan(std::string_view("\x00\x3F\x00", 3), 2);
    }
    return jpeg + "\xFF\xD9";
}

// One icon holding the entries of single-picture icons, in their order.
inline std::string MultiSizeIcon(std::initializer_list<int> sides) {
    std::vector<std::string> singles;
    for (int side : sides) singles.push_back(EncodedPicture(side, side, "ico"));
    std::string directory("\0\0\1\0", 4);
    directory += {static_cast<char>(singles.size()), '\0'};
    std::string images;
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(singles.size());
    for (const std::string& single : singles) {
        const std::string image = single.substr(22);
        directory += single.substr(6, 12);
        for (int shift = 0; shift < 32; shift += 8) directory += static_cast<char>(offset >> shift);
        offset += static_cast<std::uint32_t>(image.size());
        images += image;
    }
    return directory + images;
}

// Measuring may take this much memory, whatever the picture.
constexpr long kMemoryHeadroomMiB = 160;

// A JPEG of 8 x 8 pixels whose frame claims another size.
inline std::string JpegClaiming(std::uint16_t width, std::uint16_t height) {
    std::string jpeg = EncodedPicture(8, 8, "jpeg"), size;
    PutBigEndian(size, std::uint32_t{height} << 16 | width);
    return jpeg.replace(jpeg.find("\xFF\xC0", 0, 2) + 5, 4, size);
}

// A GIF whose screen is `side` pixels square, holding one pixel.
inline std::string GifScreen(int side) {
    const std::string bytes{static_cast<char>(side & 0xFF), static_cast<char>(side >> 8)};
    return kOnePixelGif.substr(0, 6) + bytes + bytes + kOnePixelGif.substr(10);
}

// A GIF of one frame at (left, top) on its screen, two colours, `pixels`
// of them coded (all by default). Each code follows a clear code, so the
// codes stay 3 bits long: a plain LZW stream any decoder reads.
inline std::string Gif(int screenWidth, int screenHeight, int width, int height, int left = 0,
                       int top = 0, std::int64_t pixels = -1) {
    const auto le = [](int value) {
        return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    };
    std::string gif = "GIF89a" + le(screenWidth) + le(screenHeight) +
                      std::string("\x80\0\0\xff\0\xff\0\0\0\x2c", 10) + le(left) + le(top) +
                      le(width) + le(height) + std::string("\0\x02", 2);
    if (pixels < 0) pixels = std::int64_t{width} * height;
    std::string data;
    std::uint32_t bits = 0;
    int count = 0;
    const auto put = [&](std::uint32_t code) {
        bits |= code << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8)
            data.push_back(static_cast<char>(bits));
    };
    for (std::int64_t i = 0; i < pixels; ++i) put(4), put(static_cast<std::uint32_t>(i & 1));
    put(5);
    if (count > 0) data.push_back(static_cast<char>(bits));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        gif += static_cast<char>(block.size()) + block;
    }
    return gif + std::string("\0;", 2);
}

}  // namespace rumora::testing
