// The picture's pixel size at a scale, by the one rule that both the scale
// display and the page use, so the two always agree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rumora {

// The holder's size in twips for a picture `pixels` wide: pixels times the
// twips per pixel, as a float from which NaturalPixels and ScaledPixels at
// 100 % give back exactly `pixels`. The nearest float to the product can
// fall just short of it when the twips per pixel are not whole (9.6 at
// 150 dpi), which would cost the picture a pixel.
float PixelsToTwips(std::int64_t pixels, float twipsPerPixel);

// floor(((scale * 0.01) * twips) / twipsPerPixel), each step in double
// precision in exactly that order. Empty when the result is not a finite
// number from 0 to 2^31 - 1 (for instance with 0 twips per pixel).
std::optional<std::int64_t> ScaledPixels(int scalePercent, float twips, float twipsPerPixel);

// floor(twips / twipsPerPixel) in double precision; empty as above.
std::optional<std::int64_t> NaturalPixels(float twips, float twipsPerPixel);

// "W320 x H240".
std::string PixelSizeText(std::int64_t width, std::int64_t height);

// "100% ==>".
std::string ScaleText(int scalePercent);

}  // namespace rumora
