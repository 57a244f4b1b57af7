#include "cli/measure_loader.h"

#include <dlfcn.h>

#include "picture/measure_module.h"

namespace rumora {

namespace {

using MeasureEntry = decltype(&rumora_measure_picture_v1);

struct Module {
    MeasureEntry measure = nullptr;
    std::string problem;
};

// A plain name: the dynamic loader searches this program's RUNPATH, which
// names the module's folder in the build tree and once installed. The module
// stays loaded; Qt does not unload cleanly.
Module Load() {
    void* handle = ::dlopen(kMeasureModuleName, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return {nullptr, ::dlerror()};
    void* entry = ::dlsym(handle, kMeasureEntryPoint);
    if (entry == nullptr) return {nullptr, ::dlerror()};
    return {reinterpret_cast<MeasureEntry>(entry), {}};
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
