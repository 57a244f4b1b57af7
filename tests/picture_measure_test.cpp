// What measuring a picture gives: sizes as browsers show them, and for
// pictures far too big, decompression bombs and sparse files, one of the
// three outcomes with bounded memory.
#include "measure/picture_measure.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "support/pictures.h"
#include "support/temp_dir.h"

namespace rumora {
namespace {

using Outcome = PictureMeasurement::Outcome;
using namespace rumora::testing;

// Peak resident memory of this process so far, in MiB.
long PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

struct PictureCase {
    const char* name;  // the content decides, never the name
    std::string bytes;
    int width = 0, height = 0;    // 0: not a picture
    std::int64_t sparseSize = 0;  // the file is stretched to this with a hole
};

// Sizes as Chromium shows them: turned by EXIF, an icon at its largest.
// Photos of 200 megapixels are measured, bombs and sizes their data cannot
// back are not pictures, and none costs more than a fraction of its decoded
// size in memory.
TEST(PictureMeasure, MeasuresWhatBrowsersShowAtTheirSize) {
    const std::string zlibText =
        std::string("Comment\0\0", 9) + testing::DeflateRepeated(std::string(1 << 20, 'A'), 256);
    const std::string jpeg = EncodedPicture(64, 64, "jpeg");
    const std::string progressive = GreyJpeg(640, 480, true);
    const std::string bigProgressive = GreyJpeg(8192, 5464, true);
    const std::string bmp = EncodedPicture(9, 4, "bmp");
    std::string damagedIcon = MultiSizeIcon({16});
    damagedIcon.replace(18, 4, std::string("\0\0\1\0", 4));  // its picture past the end
    const std::string photo = EncodedPicture(320, 240, "jpeg");
    const std::string exif = std::string("Exif\0\0", 6) + ExifOrientation(6);
    const std::string turned = std::string("\xFF\xE1\0", 3) + char(exif.size() + 2) + exif;
    // A palette picture whose palette (18 bytes at 33) is `palette`: none,
    // or a chunk of these entries.
    const auto withPalette = [](std::string_view entries, bool none = false) {
        std::string png = Png(4, 4, 8, 3, std::string(5, '\0'), 4), chunk;
        if (!none) AppendPngChunk(chunk, "PLTE", entries);
        return png.replace(33, 18, chunk);
    };
    const PictureCase cases[] = {
        {"one.gif", kOnePixelGif, 1, 1},
        {"photo.jpg", photo, 320, 240},
        {"really-png.jpg", EncodedPicture(7, 5, "png"), 7, 5},
        {"picture.bmp", bmp, 9, 4},
        {"rotated.jpg", photo.substr(0, 2) + turned + photo.substr(2), 240, 320},
        // A comment whose length field counts less than itself reads as empty.
        {"rotated-after-empty-comment.jpg",
         photo.substr(0, 2) + std::string("\xFF\xFE\0\x01", 4) + turned + photo.substr(2), 240,
         320},
        {"rotated.png", Png(30, 20, 8, 0, std::string(31, '\0'), 20, "eXIf", ExifOrientation(6)),
         20, 30},
        {"mirrored.png", Png(30, 20, 8, 0, std::string(31, '\0'), 20, "eXIf", ExifOrientation(2)),
         30, 20},
        {"icons.ico", MultiSizeIcon({16, 48, 32}), 48, 48},
        {"picture.webp", EncodedPicture(6, 4, "webp"), 6, 4},
        // GIF and WebP up to the JPEG and PNG limit; a GIF's first frame
        // widens its screen where it lies, as browsers draw it.
        {"5000x4000.webp", EncodedPicture(5000, 4000, "webp"), 5000, 4000},
        {"cut.webp", EncodedPicture(60, 40, "webp").substr(0, 60)},
        {"4097x4096.gif", Gif(4097, 4096, 4097, 4096), 4097, 4096},
        {"frame-over-screen.gif", Gif(10, 10, 100, 60), 100, 60},
        {"frame-beside-screen.gif", Gif(10, 10, 20, 5, 5, 9), 25, 14},
        {"cut.gif", Gif(30, 20, 30, 20, 0, 0, 599)},
        {"no-frame.gif", Gif(30, 20, 30, 20).substr(0, 19) + ";"},
        // A transparent GIF's control block before its frame; cut inside it.
        {"control-block.gif", Gif(30, 20, 30, 20).insert(19, "\x21\xF9\x04\x01\0\0\0\0", 8), 30,
         20},
        {"cut-control-block.gif", Gif(30, 20, 30, 20).substr(0, 19) + "\x21\xF9\x04\x01"},
        // Shown by browsers, but beyond what rumora measures.
        {"drawing.svg", "<?xml version=\"1.0\"?>\n<svg width=\"10\" height=\"10\"/>"},
        {"photo.avif", std::string("\0\0\0\x1c"
                                   "ftypavif\0\0\0\0",
                                   16)},
        {"45mp.jpg", GreyJpeg(8192, 5464), 8192, 5464},
        {"200mp.jpg", GreyJpeg(16384, 12208), 16384, 12208},
        {"progressive.jpg", progressive, 640, 480},
        {"45mp-progressive.jpg", bigProgressive, 8192, 5464},
        // Its last scans may be missing, as in a small one.
        {"45mp-progressive-without-end.jpg", bigProgressive.substr(0, bigProgressive.size() - 2)},
        // At the pixel limit, so large that most of its data is walked.
        {"cap.png", Png(16384, 16384, 8, 0, std::string(16385, '\0'), 16384), 16384, 16384},
        {"cap-cut.png", Png(16384, 16384, 8, 0, std::string(16385, '\0'), 4000)},
        // A palette picture needs its palette, of whole entries.
        {"palette.png", withPalette(std::string(6, '\x7f')), 4, 4},
        {"palette-missing.png", withPalette("", true)},
        {"palette-ragged.png", withPalette(std::string(7, '\x7f'))},
        // Rows as long as a grey picture's under an RGB header: too little data.
        {"rgb-short.png", Png(16, 16, 8, 2, std::string(17, '\0'), 16)},
        // Grey with alpha, interlaced: one pixel lies in the first pass only.
        {"grey-alpha-interlaced.png", Png(1, 1, 8, 4, std::string(3, '\0'), 1, {}, {}, true), 1, 1},
        // 900 megapixels in about 200 kB.
        {"huge.png", Png(30000, 30000, 2, 3, std::string(7501, '\0'), 30000)},
        // 16 x 16 declared, but 24 MB of pixel data behind it.
        {"long-data.png", Png(16, 16, 8, 2, std::string(49, '\0'), 500'000), 16, 16},
        // A text chunk that inflates to 256 MB.
        {"text-bomb.png", Png(16, 16, 8, 2, std::string(49, '\0'), 16, "zTXt", zlibText), 16, 16},
        {"screen.gif", GifScreen(65535)},
        {"frame.jpg", JpegClaiming(65500, 65500)},
        {"192mp-frame.jpg", JpegClaiming(16000, 12000)},
        // 2 GiB of nothing after the first bytes of a picture.
        {"sparse.jpg", "", 0, 0, std::int64_t{2} << 30},
        {"sparse-header.jpg", JpegClaiming(16000, 12000).substr(0, 600), 0, 0,
         std::int64_t{2} << 30},
        {"sparse-tail.gif", kOnePixelGif, 1, 1, std::int64_t{2} << 30},

        {"text.jpg", "this is a text file, not a picture\n"},
        {"empty.gif", ""},
        {"cut.jpg", jpeg.substr(0, jpeg.size() / 3)},
        {"cut-progressive.jpg", progressive.substr(0, progressive.size() - 100)},
        {"cut-45mp-progressive.jpg", bigProgressive.substr(0, bigProgressive.size() / 2)},
        {"cut.bmp", bmp.substr(0, bmp.size() - 1)},
        {"damaged.ico", damagedIcon},
        // Pixels said to start inside the headers.
        {"data-in-header.bmp", bmp.substr(0, 10) + std::string("\x28\0\0\0", 4) + bmp.substr(14)},
        {"corrupt.bmp",
         std::string("BM\x1d\0\0\0\0\0\0\0\x1a\0\0\0\x0c\0\0\0\x05\0\x05\0\x01\0\x18\0"
                     "\0\0\0",
                     29)},
        // Pictures Qt reads but no browser shows.
        {"picture.ppm", EncodedPicture(4, 4, "ppm")},
        {"picture.pgm", EncodedPicture(4, 4, "pgm")},
        {"picture.xbm", EncodedPicture(4, 4, "xbm")},
        {"picture.xpm", EncodedPicture(4, 4, "xpm")},
    };
    TempDir dir;
    const long before = PeakMemoryMiB();
    for (const PictureCase& c : cases) {
        WriteBytes(dir.File(c.name), c.bytes);
        if (c.sparseSize > 0) std::filesystem::resize_file(dir.File(c.name), c.sparseSize);
        const PictureMeasurement measured = MeasurePicture(dir.File(c.name));
        EXPECT_EQ(measured.outcome, c.width > 0 ? Outcome::Measured : Outcome::Undecodable)
            << c.name << ": " << measured.reason;
        EXPECT_EQ(measured.width, c.width) << c.name;
        EXPECT_EQ(measured.height, c.height) << c.name;
        EXPECT_EQ(measured.reason.empty(), c.width > 0) << c.name;
        EXPECT_LT(PeakMemoryMiB(), before + kMemoryHeadroomMiB) << c.name;
    }
    EXPECT_EQ(MeasurePicture("").outcome, Outcome::Unreadable);
}

}  // namespace
}  // namespace rumora
