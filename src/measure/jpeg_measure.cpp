// JPEG: the size from the frame header, turned by the EXIF orientation; the
// data checked by decoding every block at an eighth of the size, one row at
// a time. Where that would take too long or keep too many blocks in memory,
// the rest of the file is walked instead: every scan present up to the end
// marker, with at least the bits its blocks need.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// clang-format off: jpeglib.h uses FILE and size_t without including them.
#include <jerror.h>
#include <jpeglib.h>
// clang-format on

#include "measure/picture_formats.h"

namespace rumora::picture {

namespace {

constexpr std::size_t kBufferBytes = ByteReader::kWindowBytes;
// Decoding a sequential picture stops this far into the file (about a third
// of a second); the rest is walked.
constexpr std::int64_t kDecodeBytes = std::int64_t{32} << 20;
// A picture in several scans keeps every block's coefficients (128 bytes)
// while it is decoded; beyond this it is walked instead.
constexpr std::int64_t kCoefficientBytes = std::int64_t{64} << 20;
// Fewest bits a block takes: a DC code and an end-of-block code, or in a
// progressive picture its share of the first DC scan.
constexpr std::int64_t kSequentialBlockBits = 2;
constexpr std::int64_t kProgressiveBlockBits = 1;
// The decoder reads no more than this: it skips what is not a marker
// byte by byte, so a file of zeros would otherwise be read to its end.
constexpr std::int64_t kDecoderReadBytes = std::int64_t{64} << 20;
// The walk looks this far for the end marker: further than any photo's
// data, and a bound on what a file of zeros can cost.
constexpr std::int64_t kLongestScanData = std::int64_t{192} << 20;

// A segment's length after its length field. A length below 2 reads as an
// empty segment, as libjpeg, and so the browser, reads it.
bool ReadLength(ByteReader& in, std::int64_t& length) {
    unsigned char high = 0;
    unsigned char low = 0;
    if (!in.Next(high) || !in.Next(low)) return false;
    length = std::max(0, (high << 8 | low) - 2);
    return true;
}

// The orientation of the first EXIF block among the segments before the
// first scan.
int JpegOrientation(PictureFile& file) {
    ByteReader in(file, 2);
    unsigned char marker = 0;
    for (;;) {
        unsigned char byte = 0;
        if (!in.Next(byte) || byte != 0xFF) return 1;
        do {
            if (!in.Next(marker)) return 1;
        } while (marker == 0xFF);
        std::int64_t length = 0;
        if (marker == 0xDA || marker == 0xD9 || !ReadLength(in, length)) return 1;
        if (marker == 0xE1 && length >= 14) {
            std::string block(static_cast<std::size_t>(length), '\0');
            for (char& c : block) {
                unsigned char b = 0;
                if (!in.Next(b)) return 1;
                c = static_cast<char>(b);
            }
            if (block.starts_with(std::string_view("Exif\0\0", 6))) {
                return ExifOrientation(std::string_view(block).substr(6));
            }
        } else {
            in.Skip(length);
        }
    }
}

struct ScanWalk {
    bool reachedEnd = false;
    std::int64_t entropyBytes = 0;
};

// Walks from the data of the first scan to the end marker, counting the
// bytes of scan data and skipping every other segment.
ScanWalk WalkScans(PictureFile& file, std::int64_t scanData) {
    ScanWalk walk;
    ByteReader in(file, scanData);
    bool inScan = true;
    for (;;) {
        std::int64_t passed = 0;
        if (!in.FindMarkerByte(passed, scanData + kLongestScanData)) return walk;
        if (inScan) walk.entropyBytes += passed;
        // The 0xFF, any fill bytes, then the marker's code.
        unsigned char marker = 0xFF;
        while (marker == 0xFF) {
            if (!in.Next(marker)) return walk;
        }
        if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7)) {
            if (inScan) walk.entropyBytes += 2;
            continue;
        }
        if (marker == 0xD9) {
            walk.reachedEnd = true;
            return walk;
        }
        if (marker == 0xD8) return walk;
        if (marker == 0x01) continue;
        std::int64_t length = 0;
        if (!ReadLength(in, length)) return walk;
        in.Skip(length);
        inScan = marker == 0xDA;
    }
}

struct JpegRun {
    struct Errors {
        jpeg_error_mgr manager;
        std::jmp_buf jump;
    };
    struct Source {
        jpeg_source_mgr manager;
        PictureFile* file;
        std::int64_t offset;  // of the next byte to read into the buffer
        std::int64_t read;    // bytes read so far
        bool ended;
        JOCTET buffer[kBufferBytes];
    };

    jpeg_decompress_struct info{};
    Errors errors{};
    Source source{};
    bool created = false;
    bool ranOut = false;  // the data ended before the frame was full
    char message[JMSG_LENGTH_MAX] = {};

    // The header's facts.
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t blocks = 0;
    bool progressive = false;
    std::int64_t scanData = 0;  // file offset of the first scan's data
    bool walk = false;          // the rest needs walking: not all was decoded

    std::int64_t Consumed() const {
        return source.offset - static_cast<std::int64_t>(source.manager.bytes_in_buffer);
    }
};

JpegRun& RunOf(j_common_ptr info) { return *static_cast<JpegRun*>(info->client_data); }
JpegRun& RunOf(j_decompress_ptr info) { return *static_cast<JpegRun*>(info->client_data); }

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr info) {
    JpegRun::Source& source = RunOf(info).source;
    std::size_t count = 0;
    if (source.read < kDecoderReadBytes) {
        count = source.file->ReadAt(source.offset, source.buffer, kBufferBytes);
        source.offset += static_cast<std::int64_t>(count);
        source.read += static_cast<std::int64_t>(count);
    }
    if (count == 0) {
        // An end marker where the file or the reading ends: the decoder
        // finishes the frame with empty blocks and tells us of the gap.
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        count = 2;
        source.ended = true;
    }
    source.manager.next_input_byte = source.buffer;
    source.manager.bytes_in_buffer = count;
    return TRUE;
}

// Segments the decoder skips are never read.
void SkipInput(j_decompress_ptr info, long count) {
    jpeg_source_mgr& manager = RunOf(info).source.manager;
    if (count <= 0) return;
    const auto wanted = static_cast<std::size_t>(count);
    if (wanted <= manager.bytes_in_buffer) {
        manager.next_input_byte += wanted;
        manager.bytes_in_buffer -= wanted;
        return;
    }
    RunOf(info).source.offset += static_cast<std::int64_t>(wanted - manager.bytes_in_buffer);
    manager.bytes_in_buffer = 0;
}

[[noreturn]] void ErrorExit(j_common_ptr info) {
    JpegRun& run = RunOf(info);
    (*info->err->format_message)(info, run.message);
    std::longjmp(run.errors.jump, 1);
}

void EmitMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    ++info->err->num_warnings;
    if (info->err->msg_code == JWRN_HIT_MARKER) RunOf(info).ranOut = true;
}

void OutputMessage(j_common_ptr) {}

// The decoder's part. It leaves by longjmp on any error, so it holds
// nothing that needs destroying; false on an error, with `message` set.
bool RunDecoder(JpegRun& run) {
    jpeg_decompress_struct& info = run.info;
    info.err = jpeg_std_error(&run.errors.manager);
    run.errors.manager.error_exit = ErrorExit;
    run.errors.manager.emit_message = EmitMessage;
    run.errors.manager.output_message = OutputMessage;
    if (setjmp(run.errors.jump) != 0) return false;
    jpeg_create_decompress(&info);
    run.created = true;
    info.client_data = &run;
    run.source.manager = {nullptr,   0, InitSource, FillInput, SkipInput, jpeg_resync_to_restart,
                          TermSource};
    info.src = &run.source.manager;
    info.mem->max_memory_to_use = kCoefficientBytes + (std::int64_t{32} << 20);

    jpeg_read_header(&info, TRUE);
    run.width = info.image_width;
    run.height = info.image_height;
    run.progressive = info.progressive_mode != FALSE;
    run.scanData = run.Consumed();
    for (int i = 0; i < info.num_components; ++i) {
        run.blocks +=
            std::int64_t{info.comp_info[i].width_in_blocks} * info.comp_info[i].height_in_blocks;
    }
    if (MeasuredWithin(run.width, run.height).outcome != PictureMeasurement::Outcome::Measured) {
        return true;
    }
    const bool severalScans = jpeg_has_multiple_scans(&info) != FALSE;
    if (severalScans && run.blocks * 128 > kCoefficientBytes) {
        run.walk = true;
        return true;
    }

    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * info.output_components, 1);
    while (info.output_scanline < info.output_height) {
        jpeg_read_scanlines(&info, row, 1);
        if (!severalScans && run.Consumed() > kDecodeBytes) {
            run.walk = true;
            break;
        }
    }
    // A picture in several scans ends where its end marker is; without one
    // its last scans may be missing.
    if (severalScans && run.source.ended) run.ranOut = true;
    return true;
}

}  // namespace

PictureMeasurement MeasureJpeg(PictureFile& file) {
    auto run = std::make_unique<JpegRun>();
    run->source.file = &file;
    const bool decoded = RunDecoder(*run);
    if (run->created) jpeg_destroy_decompress(&run->info);
    if (!decoded) return NotAPicture(std::string("JPEG: ") + run->message);

    PictureMeasurement measured = MeasuredWithin(run->width, run->height);
    if (measured.outcome != PictureMeasurement::Outcome::Measured) return measured;
    if (run->ranOut) return NotAPicture("the JPEG data ends before the picture does");
    if (run->walk) {
        const ScanWalk walk = WalkScans(file, run->scanData);
        const std::int64_t blockBits =
            run->progressive ? kProgressiveBlockBits : kSequentialBlockBits;
        if (!walk.reachedEnd || walk.entropyBytes * 8 < run->blocks * blockBits) {
            return NotAPicture("the JPEG data ends before the picture does");
        }
    }
    if (SwapsSides(JpegOrientation(file))) std::swap(measured.width, measured.height);
    return measured;
}

}  // namespace rumora::picture
