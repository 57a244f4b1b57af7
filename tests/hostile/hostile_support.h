// Shared pieces of the hostile-input tests: PNG writing with zlib, and the
// memory reading.
#pragma once

#include <sys/resource.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rumora::hostile {

inline void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
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

// A PNG of the given header whose every row is `row` (filter byte first).
inline std::string Png(std::uint32_t width, std::uint32_t height, unsigned char bitDepth,
                       unsigned char colourType, std::string_view row, std::uint64_t rowCount,
                       std::string_view extraChunkType = {}, std::string_view extraChunk = {}) {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header += {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, 0};
    AppendPngChunk(png, "IHDR", header);
    if (colourType == 3) AppendPngChunk(png, "PLTE", std::string("\xff\x00\xff\x00\x00\x00", 6));
    if (!extraChunkType.empty()) AppendPngChunk(png, extraChunkType, extraChunk);
    AppendPngChunk(png, "IDAT", DeflateRepeated(row, rowCount));
    AppendPngChunk(png, "IEND", "");
    return png;
}

// Peak resident memory of this process so far, in MiB.
inline long PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace rumora::hostile
