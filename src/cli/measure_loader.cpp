#include "cli/measure_loader.h"

#include "cli/module_loader.h"
#include "measure/measure_module.h"

namespace rumora {

namespace {

using MeasureEntry = decltype(&rumora_measure_picture_v1);

struct Module {
    MeasureEntry measure = nullptr;
    std::string problem;
};

// Qt does not unload cleanly: the module stays loaded.
Module Load() {
    const LoadedEntry loaded = LoadModuleEntry(kMeasureModuleName, kMeasureEntryPoint);
    return {reinterpret_cast<MeasureEntry>(loaded.entry), loaded.problem};
}

}  // namespace

std::optional<PictureMeasurement> MeasurePictureOnDemand(const std::string& path,
                                                         std::string& problem) {
    static const Module module = Load();
    if (module.measure == nullptr) {
        problem = "the picture measuring module is missing (" + module.problem + ")";
        return std::nullopt;
    }
    RumoraPictureSize size{};
    module.measure(path.data(), path.size(), &size);
    using Outcome = PictureMeasurement::Outcome;
    const auto outcome = static_cast<Outcome>(size.outcome);
    if (outcome != Outcome::Measured && outcome != Outcome::Undecodable) {
        return PictureMeasurement{Outcome::Unreadable, 0, 0, size.reason};
    }
    return PictureMeasurement{outcome, size.width, size.height, size.reason};
}

}  // namespace rumora
