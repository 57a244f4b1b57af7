// Picture measuring over arbitrary file contents: it never crashes or
// hangs, always gives one of its three outcomes, and a measured picture has
// a real size no larger than the pixel limit.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "measure/picture_measure.h"

namespace {

// One in-memory file, rewritten for every input and measured by name as the
// window and the batch tool do; it vanishes with the process however the
// fuzzer ends.
struct Scratch {
    int fd = ::memfd_create("rumora-picture", MFD_CLOEXEC);
    std::string path = "/proc/self/fd/" + std::to_string(fd);
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "measuring broke its promise: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static const Scratch scratch;
    if (scratch.fd < 0 || ::ftruncate(scratch.fd, 0) != 0 ||
        ::pwrite(scratch.fd, bytes, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }

    using Outcome = rumora::PictureMeasurement::Outcome;
    const rumora::PictureMeasurement result = rumora::MeasurePicture(scratch.path);
    switch (result.outcome) {
        case Outcome::Measured:
            if (result.width <= 0 || result.height <= 0) Fail("measured without a size");
            if (std::int64_t{result.width} * result.height > rumora::kLargestPicturePixels) {
                Fail("measured beyond the pixel limit");
            }
            break;
        case Outcome::Undecodable:
            if (result.reason.empty()) Fail("a failure without a reason");
            break;
        case Outcome::Unreadable:
            // The file is ours, regular and readable: whatever it holds,
            // that is a matter of decoding.
            Fail("a readable file reported as unreadable");
        default:
            Fail("an outcome outside the three");
    }
    return 0;
}
