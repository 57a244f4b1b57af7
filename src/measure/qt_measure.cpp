// Small BMP, ICO, CUR and animated WebP: small enough to decode whole with Qt.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <mutex>

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

struct Layout {
    std::int64_t end;     // of the bytes the first picture needs
    std::int64_t pixels;  // the most any of its pictures declares
};

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
    if (format == "ico") return IconLayout(file);
    if (format == "webp") {
        const std::string riff = file.ReadAt(0, 8);
        if (riff.size() == 8)
            return {std::int64_t{ReadUnsigned(riff, 4, 4, ByteOrder::LittleEndian)} + 8, 0};
    }
    return {file.size(), 0};
}

// Qt's readers and QBuffer warn on damaged files ("QBuffer::seek: Invalid
// pos"). A measurement says in its own words what failed, so their words
// are dropped on the thread that measures; other messages go on as before.
thread_local bool tMeasuring = false;
QtMessageHandler gPreviousHandler = nullptr;

void DropWhileMeasuring(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (tMeasuring) return;
    if (gPreviousHandler != nullptr) {
        gPreviousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

struct Measuring {
    Measuring() {
        static std::once_flag installed;
        std::call_once(installed,
                       [] { gPreviousHandler = qInstallMessageHandler(DropWhileMeasuring); });
        tMeasuring = true;
    }
    ~Measuring() { tMeasuring = false; }
    Measuring(const Measuring&) = delete;
    Measuring& operator=(const Measuring&) = delete;
};

PictureMeasurement TooLarge() {
    return NotAPicture("the picture is larger than " + std::to_string(kWholeDecodePixels) +
                       " pixels");
}

}  // namespace

PictureMeasurement MeasureWithQt(PictureFile& file, const char* format, std::int64_t needed) {
    const Measuring quiet;
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
