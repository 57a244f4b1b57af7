#include "measure/picture_measure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/file_descriptor.h"
#include "measure/picture_formats.h"

namespace rumora {

namespace picture {

std::size_t PictureFile::ReadAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (!error_.empty() || offset < 0 || offset >= size_) return 0;
    count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - offset));
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, bytes + done, count - done,
                                  static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error_ = std::strerror(errno);
            break;
        }
        if (n == 0) break;  // shrank meanwhile
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::string PictureFile::ReadAt(std::int64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    bytes.resize(ReadAt(offset, bytes.data(), count));
    return bytes;
}

PictureMeasurement Measured(std::int64_t width, std::int64_t height) {
    return {PictureMeasurement::Outcome::Measured,
            static_cast<int>(width),
            static_cast<int>(height),
            {}};
}

PictureMeasurement NotAPicture(std::string reason) {
    return {PictureMeasurement::Outcome::Undecodable, 0, 0, std::move(reason)};
}

PictureMeasurement MeasuredWithin(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0) return NotAPicture("the picture has no size");
    if (width > kLargestPicturePixels / height) {
        return NotAPicture("the picture has more than " + std::to_string(kLargestPicturePixels) +
                           " pixels");
    }
    return Measured(width, height);
}

namespace {}  // namespace

int ExifOrientation(std::string_view tiff) {
    if (tiff.size() < 8) return 1;
    const bool bigEndian = tiff.starts_with("MM");
    if (!bigEndian && !tiff.starts_with("II")) return 1;
    const ByteOrder order = bigEndian ? ByteOrder::BigEndian : ByteOrder::LittleEndian;
    if (ReadUnsigned(tiff, 2, 2, order) != 42) return 1;
    const std::uint32_t directory = ReadUnsigned(tiff, 4, 4, order);
    if (directory > tiff.size() - 2) return 1;
    const std::uint32_t entries = ReadUnsigned(tiff, directory, 2, order);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + std::size_t{12} * i;
        if (entry + 12 > tiff.size()) break;
        // Orientation: a SHORT, its value in the entry itself.
        if (ReadUnsigned(tiff, entry, 2, order) == 0x0112 &&
            ReadUnsigned(tiff, entry + 2, 2, order) == 3) {
            const std::uint32_t orientation = ReadUnsigned(tiff, entry + 8, 2, order);
            return orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
        }
    }
    return 1;
}

ByteReader::ByteReader(PictureFile& file, std::int64_t at)
    : file_(file), start_(at), buffer_(kWindowBytes) {}

void ByteReader::Skip(std::int64_t count) {
    const auto left = static_cast<std::int64_t>(length_ - at_);
    if (count <= left) {
        at_ += static_cast<std::size_t>(count);
        return;
    }
    // Past the window: skipped bytes are never read.
    start_ += static_cast<std::int64_t>(length_) + (count - left);
    at_ = length_ = 0;
}

bool ByteReader::FindMarkerByte(std::int64_t& passed, std::int64_t until) {
    for (;;) {
        if (position() >= until || (at_ == length_ && !Fill())) return false;
        const char* from = buffer_.data() + at_;
        const auto* found = static_cast<const char*>(std::memchr(from, 0xFF, length_ - at_));
        const std::size_t step =
            found == nullptr ? length_ - at_ : static_cast<std::size_t>(found - from);
        passed += static_cast<std::int64_t>(step);
        at_ += step;
        if (found != nullptr) return true;
    }
}

bool ByteReader::Fill() {
    start_ += static_cast<std::int64_t>(length_);
    at_ = 0;
    length_ = file_.ReadAt(start_, buffer_.data(), buffer_.size());
    return length_ > 0;
}

PictureMeasurement MeasureBmp(PictureFile& file) {
    const std::string header = file.ReadAt(0, 54);
    if (header.size() < 26) return NotAPicture("BMP: no valid header");
    const std::uint32_t dataOffset = ReadUnsigned(header, 10, 4, ByteOrder::LittleEndian);
    const std::uint32_t infoSize = ReadUnsigned(header, 14, 4, ByteOrder::LittleEndian);
    std::int64_t width = 0;
    std::int64_t rows = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    if (infoSize == 12) {
        width = ReadUnsigned(header, 18, 2, ByteOrder::LittleEndian);
        rows = ReadUnsigned(header, 20, 2, ByteOrder::LittleEndian);
        bits = ReadUnsigned(header, 24, 2, ByteOrder::LittleEndian);
    } else if (infoSize >= 16 && header.size() >= 30) {
        width = static_cast<std::int32_t>(ReadUnsigned(header, 18, 4, ByteOrder::LittleEndian));
        const auto height =
            static_cast<std::int32_t>(ReadUnsigned(header, 22, 4, ByteOrder::LittleEndian));
        rows = height < 0 ? -std::int64_t{height} : height;
        bits = ReadUnsigned(header, 28, 2, ByteOrder::LittleEndian);
        if (infoSize >= 20 && header.size() >= 34)
            compression = ReadUnsigned(header, 30, 4, ByteOrder::LittleEndian);
    } else {
        return NotAPicture("BMP: no valid header");
    }
    PictureMeasurement measured = MeasuredWithin(width, rows);
    if (measured.outcome != PictureMeasurement::Outcome::Measured) return measured;
    const bool whole = width * rows <= kWholeDecodePixels;

    // Uncompressed rows: their length follows from the header.
    const bool plain = compression == 0 && (bits == 1 || bits == 4 || bits == 8 || bits == 16 ||
                                            bits == 24 || bits == 32);
    const bool fields = (compression == 3 || compression == 6) && (bits == 16 || bits == 32);
    if (!plain && !fields) {
        return whole ? MeasureWithQt(file, "bmp") : NotAPicture("BMP: too large to decode");
    }
    const std::int64_t end = std::int64_t{dataOffset} + (width * bits + 31) / 32 * 4 * rows;
    if (dataOffset < 14 + infoSize || file.size() < end) {
        return NotAPicture("BMP: the file is shorter than its rows");
    }
    return whole ? MeasureWithQt(file, "bmp", end) : measured;
}

}  // namespace picture

namespace {

PictureMeasurement Unreadable(std::string reason) {
    return {PictureMeasurement::Outcome::Unreadable, 0, 0, std::move(reason)};
}

// Tells the format from the file's first bytes, as browsers do; nullptr
// for anything a browser does not show.
const char* SniffFormat(std::string_view head) {
    if (head.starts_with("\xFF\xD8\xFF")) return "jpeg";
    if (head.starts_with("\x89PNG\r\n\x1A\n")) return "png";
    if (head.starts_with("GIF87a") || head.starts_with("GIF89a")) return "gif";
    if (head.starts_with("BM")) return "bmp";
    if (head.starts_with(std::string_view("\0\0\1\0", 4)) ||
        head.starts_with(std::string_view("\0\0\2\0", 4))) {
        return "ico";
    }
    if (head.size() >= 15 && head.starts_with("RIFF") && head.substr(8, 7) == "WEBPVP8") {
        return "webp";
    }
    if (head.size() >= 12 && head.substr(4, 4) == "ftyp" &&
        (head.substr(8, 4) == "avif" || head.substr(8, 4) == "avis")) {
        return "avif";
    }
    return nullptr;
}

// Browsers show SVG files by their name; these are the text's first words.
bool LooksLikeSvg(std::string_view head) {
    const std::size_t start = head.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (start == std::string_view::npos) return false;
    head.remove_prefix(start);
    return (head.starts_with("<?xml") || head.starts_with("<svg") || head.starts_with("<!")) &&
           head.find("<svg") != std::string_view::npos;
}

PictureMeasurement CannotMeasure(const char* format) {
    return picture::NotAPicture(std::string("rumora cannot measure ") + format +
                                " pictures; --picture-size gives the size");
}

PictureMeasurement MeasureFormat(picture::PictureFile& file) {
    const std::string head = file.ReadAt(0, 16);
    if (head.empty()) return picture::NotAPicture("the file is empty");
    const char* format = SniffFormat(head);
    if (format == nullptr) {
        if (LooksLikeSvg(file.ReadAt(0, 1024))) return CannotMeasure("SVG");
        return picture::NotAPicture("not a picture format browsers show");
    }
    const std::string_view name(format);
    if (name == "jpeg") return picture::MeasureJpeg(file);
    if (name == "png") return picture::MeasurePng(file);
    if (name == "bmp") return picture::MeasureBmp(file);
    if (name == "gif") return picture::MeasureGif(file);
    if (name == "webp") return picture::MeasureWebp(file);
    if (name == "avif") return CannotMeasure("AVIF");
    return picture::MeasureWithQt(file, format);
}

}  // namespace

PictureMeasurement MeasurePicture(const std::string& path) {
    if (path.empty()) return Unreadable("no file name");
    // A C string ends at NUL: the name would lead to another file.
    if (path.find('\0') != std::string::npos) return Unreadable("the file name holds a NUL");

    // Open first and check the opened file: a FIFO would block the reader
    // forever, and checking the name before opening would race with a swap.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return Unreadable(std::strerror(errno));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return Unreadable(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) {
        return Unreadable(S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file");
    }
    picture::PictureFile file(fd.get(), info.st_size);
    PictureMeasurement result = MeasureFormat(file);
    if (!file.error().empty()) return Unreadable(file.error());
    return result;
}

}  // namespace rumora
