#pragma once

#include <optional>
#include <string>

#include "measure/picture_measure.h"

namespace rumora {

// Measures through the picture measuring module, loaded on first use from
// the program's library folder. Without the module: nothing, and `problem`
// says why.
std::optional<PictureMeasurement> MeasurePictureOnDemand(const std::string& path,
                                                         std::string& problem);

}  // namespace rumora
