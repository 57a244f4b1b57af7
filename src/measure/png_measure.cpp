// PNG: the size from the header, turned by an eXIf orientation; the data
// checked by inflating the rows as they stream past, one window at a time,
// checking each row's filter. Where that would take too long, the rest is
// walked instead: its chunks up to the end, with enough compressed data for
// the rows left. Ancillary chunks are skipped unread, whatever their size.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <vector>

#include "measure/picture_formats.h"

namespace rumora::picture {

namespace {

constexpr std::size_t kWindowBytes = std::size_t{64} << 10;
// Rows inflated before the rest is walked (about half a second).
constexpr std::int64_t kInflateBytes = std::int64_t{192} << 20;
// Deflate's densest output: a little over 1032 bytes for each byte.
constexpr std::int64_t kBestDeflateRatio = 1032;
constexpr std::uint32_t kLongestChunk = 0x7FFFFFFF;
constexpr std::size_t kLongestExif = std::size_t{64} << 10;

std::uint32_t Crc(std::uint32_t crc, const void* bytes, std::size_t count) {
    return static_cast<std::uint32_t>(
        crc32(crc, static_cast<const Bytef*>(bytes), static_cast<uInt>(count)));
}

int BitsPerPixel(int colour, int depth) {
    static constexpr std::array<std::array<int, 17>, 7> kAllowed = [] {
        std::array<std::array<int, 17>, 7> allowed{};
        for (int d : {1, 2, 4, 8, 16}) allowed[0][d] = d;
        for (int d : {8, 16}) allowed[2][d] = 3 * d;
        for (int d : {1, 2, 4, 8}) allowed[3][d] = d;
        for (int d : {8, 16}) allowed[4][d] = 2 * d;
        for (int d : {8, 16}) allowed[6][d] = 4 * d;
        return allowed;
    }();
    if (colour < 0 || colour > 6 || depth < 0 || depth > 16) return 0;
    return kAllowed[static_cast<std::size_t>(colour)][static_cast<std::size_t>(depth)];
}

struct Pass {
    std::int64_t rowBytes;  // with the filter byte
    std::int64_t rows;
};

std::vector<Pass> Passes(std::int64_t width, std::int64_t height, int bits, bool interlaced) {
    const auto rowBytes = [bits](std::int64_t pixels) { return 1 + (pixels * bits + 7) / 8; };
    if (!interlaced) return {{rowBytes(width), height}};
    static constexpr int kX[] = {0, 4, 0, 2, 0, 1, 0};
    static constexpr int kY[] = {0, 0, 4, 0, 2, 0, 1};
    static constexpr int kDx[] = {8, 8, 4, 4, 2, 2, 1};
    static constexpr int kDy[] = {8, 8, 8, 4, 4, 2, 2};
    std::vector<Pass> passes;
    for (int i = 0; i < 7; ++i) {
        const std::int64_t columns = width > kX[i] ? (width - kX[i] + kDx[i] - 1) / kDx[i] : 0;
        const std::int64_t rows = height > kY[i] ? (height - kY[i] + kDy[i] - 1) / kDy[i] : 0;
        if (columns > 0 && rows > 0) passes.push_back({rowBytes(columns), rows});
    }
    return passes;
}

// Follows the inflated rows and checks each row's filter type.
class Rows {
  public:
    explicit Rows(std::vector<Pass> passes) : passes_(std::move(passes)) {
        for (const Pass& pass : passes_) left_ += pass.rowBytes * pass.rows;
    }
    bool Take(const unsigned char* bytes, std::size_t count) {
        while (count > 0 && pass_ < passes_.size()) {
            const Pass& pass = passes_[pass_];
            if (inRow_ == 0 && bytes[0] > 4) return false;
            const auto step = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(count), pass.rowBytes - inRow_));
            inRow_ += static_cast<std::int64_t>(step);
            left_ -= static_cast<std::int64_t>(step);
            bytes += step;
            count -= step;
            if (inRow_ == pass.rowBytes) {
                inRow_ = 0;
                if (++row_ == pass.rows) {
                    row_ = 0;
                    ++pass_;
                }
            }
        }
        return true;
    }
    bool done() const { return pass_ == passes_.size(); }
    std::int64_t left() const { return left_; }

  private:
    std::vector<Pass> passes_;
    std::size_t pass_ = 0;
    std::int64_t row_ = 0;
    std::int64_t inRow_ = 0;
    std::int64_t left_ = 0;
};

class Inflater {
  public:
    Inflater() { ok_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Feeds compressed bytes; false when the stream is broken, ends before
    // the rows do, or a row has an unknown filter.
    bool Feed(const unsigned char* bytes, std::size_t count, Rows& rows) {
        stream_.next_in = const_cast<Bytef*>(bytes);
        stream_.avail_in = static_cast<uInt>(count);
        while (ok_ && !rows.done() && (stream_.avail_in > 0 || stream_.avail_out == 0)) {
            stream_.next_out = out_.data();
            stream_.avail_out = static_cast<uInt>(out_.size());
            const int status = inflate(&stream_, Z_NO_FLUSH);
            const std::size_t produced = out_.size() - stream_.avail_out;
            inflated_ += static_cast<std::int64_t>(produced);
            if (!rows.Take(out_.data(), produced)) ok_ = false;
            if (status == Z_STREAM_END && !rows.done()) ok_ = false;
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) ok_ = false;
            if (status == Z_BUF_ERROR || status == Z_STREAM_END) break;
        }
        return ok_;
    }
    std::int64_t inflated() const { return inflated_; }

  private:
    z_stream stream_{};
    bool ok_ = false;
    std::int64_t inflated_ = 0;
    std::array<unsigned char, kWindowBytes> out_{};
};

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Reads a whole small chunk's data and checks its CRC.
bool ReadChunk(PictureFile& file, std::int64_t at, std::string_view type, std::uint32_t length,
               std::string& data) {
    data = file.ReadAt(at + 8, std::size_t{length} + 4);
    if (data.size() != std::size_t{length} + 4) return false;
    const std::uint32_t stored = ReadUnsigned(data.data() + length, 4, ByteOrder::BigEndian);
    const std::uint32_t crc = Crc(Crc(0, type.data(), 4), data.data(), length);
    data.resize(length);
    return crc == stored;
}

}  // namespace

PictureMeasurement MeasurePng(PictureFile& file) {
    const auto broken = [](const char* why) { return NotAPicture(std::string("PNG: ") + why); };
    std::string header;
    const std::string first = file.ReadAt(8, 8);
    if (first.size() != 8 || first.substr(4) != "IHDR" ||
        ReadUnsigned(first, 0, 4, ByteOrder::BigEndian) != 13 ||
        !ReadChunk(file, 8, "IHDR", 13, header)) {
        return broken("no valid header");
    }
    const auto* h = reinterpret_cast<const unsigned char*>(header.data());
    const std::uint32_t width = ReadUnsigned(h, 4, ByteOrder::BigEndian);
    const std::uint32_t height = ReadUnsigned(h + 4, 4, ByteOrder::BigEndian);
    const int bits = BitsPerPixel(h[9], h[8]);
    if (width > kLongestChunk || height > kLongestChunk || bits == 0 || h[10] != 0 || h[11] != 0 ||
        h[12] > 1) {
        return broken("an invalid header");
    }
    PictureMeasurement measured = MeasuredWithin(width, height);
    if (measured.outcome != PictureMeasurement::Outcome::Measured) return measured;

    Rows rows(Passes(width, height, bits, h[12] == 1));
    Inflater inflater;
    std::vector<unsigned char> window(kWindowBytes);
    int orientation = 1;
    bool palette = false;
    bool sawData = false;
    bool walking = false;               // past the inflating budget
    std::int64_t walkedCompressed = 0;  // data bytes in the walked chunks
    bool ended = false;
    for (std::int64_t at = 33;;) {
        unsigned char chunk[8];
        if (file.ReadAt(at, chunk, 8) != 8) break;
        const std::uint32_t length = ReadUnsigned(chunk, 4, ByteOrder::BigEndian);
        const std::string_view type(reinterpret_cast<const char*>(chunk + 4), 4);
        if (length > kLongestChunk || !std::all_of(chunk + 4, chunk + 8, IsLetter)) {
            return broken("a broken chunk");
        }
        if (type == "IEND") {
            ended = true;
            break;
        }
        if (type == "IDAT") {
            if (h[9] == 3 && !palette) return broken("no palette");
            sawData = true;
            if (walking) {
                walkedCompressed += length;
            } else if (!rows.done()) {
                std::uint32_t crc = Crc(0, chunk + 4, 4);
                std::uint32_t done = 0;
                while (done < length && !rows.done() && !walking) {
                    const std::size_t count =
                        file.ReadAt(at + 8 + done, window.data(),
                                    std::min<std::size_t>(length - done, kWindowBytes));
                    if (count == 0) return broken("the data ends before the picture does");
                    crc = Crc(crc, window.data(), count);
                    if (!inflater.Feed(window.data(), count, rows)) {
                        return broken("broken or too little picture data");
                    }
                    done += static_cast<std::uint32_t>(count);
                    walking = !rows.done() && inflater.inflated() >= kInflateBytes;
                }
                if (walking) walkedCompressed += length - done;
                unsigned char stored[4];
                if (done == length && (file.ReadAt(at + 8 + length, stored, 4) != 4 ||
                                       ReadUnsigned(stored, 4, ByteOrder::BigEndian) != crc)) {
                    return broken("a picture data chunk fails its CRC");
                }
            }
        } else if (type == "PLTE") {
            std::string entries;
            if (length > 768 || length % 3 != 0 || !ReadChunk(file, at, type, length, entries)) {
                return broken("a broken palette");
            }
            palette = true;
        } else if (type == "eXIf" && !sawData && length <= kLongestExif) {
            std::string exif;
            if (ReadChunk(file, at, type, length, exif)) orientation = ExifOrientation(exif);
        } else if (type[0] >= 'A' && type[0] <= 'Z') {
            return broken("an unknown critical chunk");
        }
        at += std::int64_t{12} + length;
    }
    if (walking) {
        // Deflate cannot pack the rows left into less than this.
        if (!ended || walkedCompressed * kBestDeflateRatio < rows.left()) {
            return broken("too little picture data");
        }
    } else if (!rows.done()) {
        return broken("the data ends before the picture does");
    }
    if (SwapsSides(orientation)) std::swap(measured.width, measured.height);
    return measured;
}

}  // namespace rumora::picture
