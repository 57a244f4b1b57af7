// GIF and WebP: measured from their headers as browsers size them, then
// checked by decoding with bounded memory, as JPEG and PNG are.
#include <gif_lib.h>
#include <webp/decode.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "measure/picture_formats.h"

namespace rumora::picture {

namespace {

// The memory a check may take, as for a PNG's inflated rows.
constexpr std::int64_t kCheckBytes = std::int64_t{192} << 20;

struct GifSource {
    PictureFile* file;
    std::int64_t at = 0;
};

int ReadGif(GifFileType* gif, GifByteType* bytes, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t got =
        source->file->ReadAt(source->at, bytes, static_cast<std::size_t>(count));
    source->at += static_cast<std::int64_t>(got);
    return static_cast<int>(got);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

PictureMeasurement BrokenGif(const char* what) { return NotAPicture(std::string("GIF: ") + what); }

}  // namespace

// Browsers (Chromium's and Firefox's GIF readers) widen the screen to hold
// the first frame where it lies, so a frame larger than its declared screen
// is drawn whole. That frame's rows are decoded one at a time.
PictureMeasurement MeasureGif(PictureFile& file) {
    GifSource source{&file};
    int error = 0;
    const std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadGif, &error));
    if (!gif) return BrokenGif("no valid header");
    for (GifRecordType record = UNDEFINED_RECORD_TYPE; record != IMAGE_DESC_RECORD_TYPE;) {
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) {
            return BrokenGif("the file ends before its picture");
        }
        if (record == TERMINATE_RECORD_TYPE) return BrokenGif("the file holds no picture");
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) {
                return BrokenGif("a broken extension");
            }
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) {
                    return BrokenGif("a broken extension");
                }
            }
        }
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return BrokenGif("a broken frame header");
    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0) return BrokenGif("the first frame has no size");
    PictureMeasurement measured = MeasuredWithin(
        std::max<std::int64_t>(gif->SWidth, std::int64_t{frame.Left} + frame.Width),
        std::max<std::int64_t>(gif->SHeight, std::int64_t{frame.Top} + frame.Height));
    if (measured.outcome != PictureMeasurement::Outcome::Measured) return measured;
    std::vector<GifPixelType> row(static_cast<std::size_t>(frame.Width));
    for (int y = 0; y < frame.Height; ++y) {
        if (DGifGetLine(gif.get(), row.data(), frame.Width) == GIF_ERROR) {
            return BrokenGif("broken or too little picture data");
        }
    }
    return measured;
}

// A still WebP is decoded whole at a small scale: the decoder keeps a few
// rows, or for a lossless picture its pixels, or for alpha a byte a pixel.
// An animation is decoded by Qt, as it was.
PictureMeasurement MeasureWebp(PictureFile& file) {
    const std::string riff = file.ReadAt(0, 12);
    if (riff.size() < 12) return NotAPicture("WebP: no valid header");
    const std::int64_t length =
        std::min(std::int64_t{ReadUnsigned(riff, 4, 4, ByteOrder::LittleEndian)} + 8, file.size());
    if (length > kCheckBytes) return NotAPicture("WebP: the file is too large to check");
    std::string bytes(static_cast<std::size_t>(length), '\0');
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(data, bytes.size(), &features) != VP8_STATUS_OK) {
        return NotAPicture("WebP: no valid header");
    }
    if (features.has_animation) return MeasureWithQt(file, "webp");
    PictureMeasurement measured = MeasuredWithin(features.width, features.height);
    if (measured.outcome != PictureMeasurement::Outcome::Measured) return measured;
    const std::int64_t pixels = std::int64_t{features.width} * features.height;
    const std::int64_t perPixel = features.format == 2 ? 4 : features.has_alpha ? 1 : 0;
    if (pixels * perPixel > kCheckBytes) return NotAPicture("WebP: too large to check");

    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return NotAPicture("WebP: no decoder");
    // At most 1024 pixels a side, at least one.
    const int longest = std::max(features.width, features.height);
    config.options.use_scaling = 1;
    config.options.scaled_width =
        std::max(1, static_cast<int>(std::int64_t{features.width} * 1024 / longest));
    config.options.scaled_height =
        std::max(1, static_cast<int>(std::int64_t{features.height} * 1024 / longest));
    config.output.colorspace = MODE_RGBA;
    const VP8StatusCode status = WebPDecode(data, bytes.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) return NotAPicture("WebP: broken or too little picture data");
    return measured;
}

}  // namespace rumora::picture
