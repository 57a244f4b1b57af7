// The picture measuring module's one entry point, in C terms: the batch tool
// loads librumora-measure.so with dlopen only when it must measure, so it
// never links Qt itself.
#pragma once

#include <cstddef>

extern "C" {

struct RumoraPictureSize {
    int outcome;  // a rumora::PictureMeasurement::Outcome
    int width;
    int height;
    char reason[512];  // ends with NUL, cut to fit
};

// Measures the picture named by the `length` bytes at `path`. Never throws.
void rumora_measure_picture_v1(const char* path, std::size_t length, RumoraPictureSize* result);
}

namespace rumora {

inline constexpr char kMeasureModuleName[] = "librumora-measure.so";
inline constexpr char kMeasureEntryPoint[] = "rumora_measure_picture_v1";

}  // namespace rumora
