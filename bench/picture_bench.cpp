// Picture measuring on photo-sized files: wall time, processor time and peak
// memory of MeasurePicture, each in a fresh process. The photos are made
// here, with fine detail everywhere so that their data is as dense as a
// camera's at high quality.
// Run: build/bench/rumora_picture_bench [folder for the photos, default /tmp]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// clang-format off: jpeglib.h uses FILE and size_t without including them.
#include <jpeglib.h>
// clang-format on

#include "measure/picture_measure.h"

namespace {

void WritePhoto(const std::string& path, int width, int height, bool progressive) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    unsigned seed = 1;
    while (info.next_scanline < info.image_height) {
        const auto y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const auto noise = static_cast<int>((seed >> 16) & 31);
            auto* pixel = &row[static_cast<std::size_t>(x) * 3];
            pixel[0] = static_cast<JSAMPLE>((x / 7 + y / 3 + noise) & 255);
            pixel[1] = static_cast<JSAMPLE>(((x ^ y) / 5 + noise) & 255);
            pixel[2] = static_cast<JSAMPLE>((y / 2 + noise * 2) & 255);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

void Measure(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        const auto start = std::chrono::steady_clock::now();
        const rumora::PictureMeasurement m = rumora::MeasurePicture(path);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const double cpu =
            static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        std::printf("%-28s %6.1f MB  %5d x %-5d %s  wall %.3f s  cpu %.3f s  peak %ld MB\n",
                    std::filesystem::path(path).filename().c_str(),
                    static_cast<double>(std::filesystem::file_size(path)) / 1e6, m.width, m.height,
                    m.outcome == rumora::PictureMeasurement::Outcome::Measured ? "measured"
                                                                               : m.reason.c_str(),
                    wall, cpu, usage.ru_maxrss / 1024);
        std::fflush(stdout);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : "/tmp";
    struct Photo {
        const char* name;
        int width;
        int height;
        bool progressive;
    };
    const Photo photos[] = {
        {"rumora-bench-45mp.jpg", 8256, 5504, false},
        {"rumora-bench-100mp.jpg", 11648, 8736, false},
        {"rumora-bench-200mp.jpg", 16384, 12288, false},
        {"rumora-bench-200mp-progressive.jpg", 16384, 12288, true},
    };
    for (const Photo& photo : photos) {
        const std::string path = folder / photo.name;
        if (!std::filesystem::exists(path)) {
            WritePhoto(path, photo.width, photo.height, photo.progressive);
        }
        Measure(path);
    }
    // 2 GiB of nothing after a photo's first 64 kB.
    const std::string sparse = folder / "rumora-bench-sparse.jpg";
    std::filesystem::copy_file(folder / photos[0].name, sparse,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(sparse, 64 << 10);
    std::filesystem::resize_file(sparse, std::uintmax_t{2} << 30);
    Measure(sparse);
    std::filesystem::remove(sparse);
    return 0;
}
