// The format readers behind MeasurePicture. Each reads only what its format
// needs, through PictureFile, and answers Measured or Undecodable; a failed
// read is remembered by the file and turns the answer into Unreadable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "measure/picture_measure.h"

namespace rumora::picture {

enum class ByteOrder { BigEndian, LittleEndian };

// The unsigned integer of `size` bytes (1 to 4) at `bytes`; the caller has
// checked that they are there.
inline std::uint32_t ReadUnsigned(const void* bytes, int size, ByteOrder order) {
    const auto* at = static_cast<const unsigned char*>(bytes);
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
        value = value << 8 | at[order == ByteOrder::BigEndian ? i : size - 1 - i];
    }
    return value;
}
inline std::uint32_t ReadUnsigned(std::string_view bytes, std::size_t at, int size,
                                  ByteOrder order) {
    return ReadUnsigned(bytes.data() + at, size, order);
}

// An open regular file read by offset; its size is fixed when it is opened,
// so a file that grows meanwhile is read no further.
class PictureFile {
  public:
    PictureFile(int fd, std::int64_t size) : fd_(fd), size_(size) {}

    std::int64_t size() const { return size_; }
    // Reads up to `count` bytes at `offset`; fewer at the end of the file or
    // after a failed read.
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count);
    std::string ReadAt(std::int64_t offset, std::size_t count);
    // The error of the first failed read, or "" if none failed.
    const std::string& error() const { return error_; }

  private:
    int fd_;
    std::int64_t size_;
    std::string error_;
};

// Reads a file forward through a window.
class ByteReader {
  public:
    static constexpr std::size_t kWindowBytes = std::size_t{64} << 10;

    ByteReader(PictureFile& file, std::int64_t at);

    // False at the end of the file.
    bool Next(unsigned char& byte) {
        if (at_ == length_ && !Fill()) return false;
        byte = static_cast<unsigned char>(buffer_[at_++]);
        return true;
    }
    void Skip(std::int64_t count);
    // Moves to the next 0xFF byte before offset `until`, adding the bytes
    // passed over to `passed`.
    bool FindMarkerByte(std::int64_t& passed, std::int64_t until);
    std::int64_t position() const { return start_ + static_cast<std::int64_t>(at_); }

  private:
    bool Fill();

    PictureFile& file_;
    std::int64_t start_;  // file offset of buffer_[0]
    std::size_t at_ = 0;
    std::size_t length_ = 0;
    std::vector<char> buffer_;
};

PictureMeasurement Measured(std::int64_t width, std::int64_t height);
PictureMeasurement NotAPicture(std::string reason);
// Undecodable unless width x height is a size a picture may have.
PictureMeasurement MeasuredWithin(std::int64_t width, std::int64_t height);

// Orientation 1 to 8 of an EXIF block (TIFF data from its byte order mark);
// 1 where it names none.
int ExifOrientation(std::string_view tiff);
// Orientations 5 to 8 turn the picture a quarter.
inline bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

PictureMeasurement MeasureJpeg(PictureFile& file);
PictureMeasurement MeasurePng(PictureFile& file);
PictureMeasurement MeasureBmp(PictureFile& file);
PictureMeasurement MeasureGif(PictureFile& file);
PictureMeasurement MeasureWebp(PictureFile& file);
// Small BMP, ICO, CUR and animated WebP: decoded whole by Qt from memory, from
// no more of the file than the format needs, nor than `needed` bytes.
// `format` is Qt's name of the format.
PictureMeasurement MeasureWithQt(PictureFile& file, const char* format,
                                 std::int64_t needed = INT64_MAX);

// Pictures up to this size are decoded whole by Qt (4 bytes a pixel).
inline constexpr std::int64_t kWholeDecodePixels = std::int64_t{16} << 20;

}  // namespace rumora::picture
