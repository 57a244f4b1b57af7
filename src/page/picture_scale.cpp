#include "page/picture_scale.h"

#include <cmath>
#include <limits>

#include "core/decimal.h"

namespace rumora {

namespace {

std::optional<std::int64_t> FloorInRange(double value) {
    const double floored = std::floor(value);
    if (!std::isfinite(floored) || floored < 0.0 || floored > 2147483647.0) return std::nullopt;
    return static_cast<std::int64_t>(floored);
}

}  // namespace

float PixelsToTwips(std::int64_t pixels, float twipsPerPixel) {
    const double perPixel = static_cast<double>(twipsPerPixel);
    auto twips = static_cast<float>(static_cast<double>(pixels) * perPixel);
    // A few steps at most: the product is off by less than one float step.
    for (int step = 0;
         step < 4 && static_cast<double>(twips) / perPixel < static_cast<double>(pixels); ++step) {
        twips = std::nextafter(twips, std::numeric_limits<float>::infinity());
    }
    return twips;
}

std::optional<std::int64_t> ScaledPixels(int scalePercent, float twips, float twipsPerPixel) {
    double value = static_cast<double>(scalePercent) * 0.01;
    value = value * static_cast<double>(twips);
    value = value / static_cast<double>(twipsPerPixel);
    // A browser draws nothing at 0: a picture shown at all takes a pixel.
    const std::optional<std::int64_t> pixels = FloorInRange(value);
    if (pixels == 0 && value > 0.0) return 1;
    return pixels;
}

std::optional<std::int64_t> NaturalPixels(float twips, float twipsPerPixel) {
    return FloorInRange(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
}

std::string PixelSizeText(std::int64_t width, std::int64_t height) {
    std::string text = "W";
    AppendDecimal(text, width);
    text += " x H";
    AppendDecimal(text, height);
    return text;
}

std::string ScaleText(int scalePercent) {
    std::string text;
    AppendDecimal(text, scalePercent);
    text += "% ==>";
    return text;
}

}  // namespace rumora
