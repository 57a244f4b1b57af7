// Picture measuring: the size a browser shows a picture file at. Plain C++
// on the outside; the decoders behind it stay out of the callers' sight.
#pragma once

#include <cstdint>
#include <string>

namespace rumora {

struct PictureMeasurement {
    enum class Outcome {
        Measured,     // a picture; width and height hold its size
        Undecodable,  // readable, but not a picture a browser shows
        Unreadable,   // cannot be read at all: missing, no access, not a regular file
    };
    Outcome outcome = Outcome::Unreadable;
    int width = 0;  // pixels, as a browser shows it (EXIF rotation applied)
    int height = 0;
    std::string reason;  // why it failed, for messages
};

// The most pixels a picture may have. Beyond it a file is a decompression
// bomb rather than a photo.
inline constexpr std::int64_t kLargestPicturePixels = std::int64_t{1} << 28;

// Measures the picture at `path` from its header, then checks that its data
// backs that size, within bounded time and memory: JPEG, PNG, GIF, WebP,
// BMP, ICO and CUR (animated WebP where Qt's WebP plugin is installed). SVG
// and AVIF are told apart and refused: their size needs --picture-size.
// Safe to call from any thread.
PictureMeasurement MeasurePicture(const std::string& path);

}  // namespace rumora
