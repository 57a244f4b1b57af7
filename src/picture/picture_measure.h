#pragma once

#include <string>

namespace rumora {

struct PictureMeasurement {
    enum class Outcome {
        Measured,     // decoded; width and height hold its size
        Undecodable,  // readable, but not a picture we can decode
        Unreadable,   // cannot be read at all: missing, no access, not a regular file
    };
    Outcome outcome = Outcome::Unreadable;
    int width = 0;  // pixels, as a browser shows it (EXIF rotation applied)
    int height = 0;
    std::string reason;  // why it failed, for messages
};

// Largest decoded picture we accept, in MiB; bigger ones are undecodable
// rather than a risk to memory.
inline constexpr int kPictureAllocationLimitMiB = 128;

// Decodes the picture at `path` (the whole picture, not just its header)
// and reports its size in pixels.
PictureMeasurement MeasurePicture(const std::string& path);

}  // namespace rumora
