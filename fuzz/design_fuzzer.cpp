// The design reader over arbitrary bytes: it never crashes or hangs, and
// gives either a design whose choices are in range or a DesignError that
// says where. A design it reads is written and read back to the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "design/design_file.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "the design reader broke its promise: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    rumora::Design design;
    try {
        design = rumora::ParseDesign(text, "fuzz.toml", "/designs");
    } catch (const rumora::DesignError& error) {
        if (error.kind() != rumora::DesignError::Kind::Invalid) Fail("text read as a file error");
        if (std::string_view(error.what()).substr(0, 9) != "fuzz.toml") Fail("no file named");
        return 0;
    }
    const rumora::PageOptions& o = design.options;
    if (o.pictureScalePercent < 10 || o.pictureScalePercent > 200) Fail("scale out of range");
    if (o.tableBorder.size() > 1 || o.pictureBorder.size() > 1) Fail("a border too long");
    if (!design.monthsOn && (o.firstMonth.year < rumora::kFirstYear ||
                             o.firstMonth.year > rumora::kLastYear || o.firstMonth.month < 1 ||
                             o.firstMonth.month > 12)) {
        Fail("first month out of range");
    }
    // What was read is written so that it reads back the same.
    const std::string written = rumora::DesignText(design, "/designs");
    try {
        const rumora::Design again = rumora::ParseDesign(written, "again.toml", "/designs");
        if (rumora::DesignText(again, "/designs") != written) Fail("a design changed on the way");
    } catch (const rumora::DesignError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Fail("a written design does not read back");
    }
    return 0;
}
