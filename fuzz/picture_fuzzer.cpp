// Picture measuring over arbitrary file contents: it never crashes or
// hangs, always gives one of its three outcomes, and a measured picture has
// a real size.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "picture/picture_measure.h"

namespace {

// One file, rewritten for every input; the measuring opens it by name as
// the window and the batch tool do.
const std::string& ScratchPath() {
    static const std::string path = [] {
        char name[] = "/tmp/rumora-picture-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0) std::abort();
        ::close(fd);
        std::atexit([] { ::unlink(ScratchPath().c_str()); });
        return std::string(name);
    }();
    return path;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "measuring broke its promise: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string& path = ScratchPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(bytes, 1, size, file) != size) std::abort();
    if (std::fclose(file) != 0) std::abort();

    using Outcome = rumora::PictureMeasurement::Outcome;
    const rumora::PictureMeasurement result = rumora::MeasurePicture(path);
    switch (result.outcome) {
        case Outcome::Measured:
            if (result.width <= 0 || result.height <= 0) Fail("measured without a size");
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
