// GIF, small BMP, ICO, CUR and WebP: small enough to decode whole with Qt.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include "measure/picture_formats.h"

namespace rumora::picture {

namespace {

constexpr int kWholeDecodeMiB = static_cast<int>(kWholeDecodePixels * 4 >> 20);
// The file bytes a whole decode may need: every pixel, and the headers.
constexpr std::int64_t kWholeDecodeFileBytes = kWholeDecodePixels * 4 + (1 << 20);

bool FitsWholeDecode(QSize size) {
    return size.isValid() && !size.isEmpty() &&
           std::int64_t{size.width()} * size.height() <= kWholeDecodePixels;
}

// Passes a run of GIF sub-blocks and its terminator.
bool SkipSubBlocks(ByteReader& in) {
    for (unsigned char size = 1; size != 0;) {
        if (!in.Next(size)) return false;
        in.Skip(size);
    }
    return true;
}

struct Layout {
    std::int64_t end;     // of the bytes the first picture needs
    std::int64_t pixels;  // the most any of its pictures declares
};

// A GIF's header, colour tables and extensions, then the first image's
// blocks, and one byte more. Qt's canvas is the larger of the screen and
// the first image.
Layout GifLayout(PictureFile& file) {
    const std::string screen = file.ReadAt(0, 13);
    Layout layout{file.size(), 0};
    if (screen.size() < 13) return layout;
    layout.pixels = std::int64_t{ReadUnsigned(screen, 6, 2, ByteOrder::LittleEndian)} *
                    ReadUnsigned(screen, 8, 2, ByteOrder::LittleEndian);
    const auto flags = static_cast<unsigned char>(screen[10]);
    ByteReader in(file, 13);
    if ((flags & 0x80) != 0) in.Skip(3 << ((flags & 7) + 1));
    for (;;) {
        unsigned char block = 0;
        if (!in.Next(block)) return layout;
        if (block == 0x21) {
            unsigned char label = 0;
            if (!in.Next(label) || !SkipSubBlocks(in)) return layout;
        } else if (block == 0x2C) {
            const std::string image = file.ReadAt(in.position(), 9);
            if (image.size() < 9) return layout;
            layout.pixels = std::max(
                layout.pixels, std::int64_t{ReadUnsigned(image, 4, 2, ByteOrder::LittleEndian)} *
                                   ReadUnsigned(image, 6, 2, ByteOrder::LittleEndian));
            in.Skip(8);
            unsigned char imageFlags = 0;
            if (!in.Next(imageFlags)) return layout;
            if ((imageFlags & 0x80) != 0) in.Skip(3 << ((imageFlags & 7) + 1));
            unsigned char codeSize = 0;
            if (!in.Next(codeSize) || !SkipSubBlocks(in)) return layout;
            layout.end = in.position() + 1;
            return layout;
        } else {
            layout.end = in.position();
            return layout;
        }
    }
}

// An icon's directory and the furthest entry it names; each entry's size
// from its own PNG or bitmap header.
Layout IconLayout(PictureFile& file) {
    Layout layout{file.size(), 0};
    const std::string head = file.ReadAt(0, 6);
    if (head.size() < 6) return layout;
    const std::int64_t count = ReadUnsigned(head, 4, 2, ByteOrder::LittleEndian);
    const std::string directory = file.ReadAt(6, static_cast<std::size_t>(16 * count));
    layout.end = 6 + 16 * count;
    for (std::size_t entry = 0; entry + 16 <= directory.size(); entry += 16) {
        const std::uint32_t offset =
            ReadUnsigned(directory, entry + 12, 4, ByteOrder::LittleEndian);
        layout.end = std::max(
            layout.end,
            std::int64_t{offset} + ReadUnsigned(directory, entry + 8, 4, ByteOrder::LittleEndian));
        const std::string image = file.ReadAt(offset, 24);
        if (image.size() < 24) continue;
        std::int64_t width = 0;
        std::int64_t height = 0;
        if (image.starts_with("\x89PNG")) {
            width = ReadUnsigned(image, 16, 4, ByteOrder::BigEndian);
            height = ReadUnsigned(image, 20, 4, ByteOrder::BigEndian);
        } else {
            width = static_cast<std::int32_t>(ReadUnsigned(image, 4, 4, ByteOrder::LittleEndian));
            height =
                static_cast<std::int32_t>(ReadUnsigned(image, 8, 4, ByteOrder::LittleEndian)) / 2;
        }
        if (width < 0 || height < 0) width = height = std::int64_t{1} << 31;
        layout.pixels = std::max(layout.pixels, width * height);
    }
    return layout;
}

Layout LayoutOf(PictureFile& file, std::string_view format) {
    if (format == "gif") return GifLayout(file);
    if (format == "ico") return IconLayout(file);
    if (format == "webp") {
        const std::string riff = file.ReadAt(0, 8);
        if (riff.size() == 8)
            return {std::int64_t{ReadUnsigned(riff, 4, 4, ByteOrder::LittleEndian)} + 8, 0};
    }
    return {file.size(), 0};
}

PictureMeasurement TooLarge() {
    return NotAPicture("the picture is larger than " + std::to_string(kWholeDecodePixels) +
                       " pixels");
}

}  // namespace

PictureMeasurement MeasureWithQt(PictureFile& file, const char* format, std::int64_t needed) {
    if (!QImageReader::supportedImageFormats().contains(format)) {
        return NotAPicture(std::string("no decoder for ") + format + " is installed");
    }
    const Layout layout = LayoutOf(file, format);
    // Qt lets QT_IMAGEIO_MAXALLOC override its allocation limit, so sizes
    // are checked here before anything is decoded.
    if (layout.pixels > kWholeDecodePixels) return TooLarge();
    // Qt reads from memory, never past what the format needs.
    const std::int64_t length = std::min({layout.end, needed, file.size(), kWholeDecodeFileBytes});
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    bytes.resize(static_cast<qsizetype>(
        file.ReadAt(0, bytes.data(), static_cast<std::size_t>(bytes.size()))));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);

    QImageReader::setAllocationLimit(kWholeDecodeMiB);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    // An icon shows its largest entry; other formats their first picture.
    const int count = std::string_view(format) == "ico" ? std::max(reader.imageCount(), 1) : 1;
    QSize largest;
    std::int64_t largestArea = 0;
    QString failure;
    for (int index = 0; index < count; ++index) {
        if (index > 0 && !reader.jumpToImage(index)) break;
        if (!FitsWholeDecode(reader.size())) {
            failure = QStringLiteral("the picture is larger than %1 pixels or has no size")
                          .arg(kWholeDecodePixels);
            continue;
        }
        QImage image;
        if (!reader.read(&image) || image.isNull()) {
            failure = reader.errorString();
            continue;
        }
        const std::int64_t area = std::int64_t{image.width()} * image.height();
        if (area > largestArea) {
            largest = image.size();
            largestArea = area;
        }
    }
    if (largestArea == 0) return NotAPicture(failure.toStdString());
    return MeasuredWithin(largest.width(), largest.height());
}

}  // namespace rumora::picture
