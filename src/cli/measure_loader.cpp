#include "cli/measure_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstdlib>

#include "measure/measure_module.h"

namespace rumora {

namespace {

using MeasureEntry = decltype(&rumora_measure_picture_v1);

struct Module {
    MeasureEntry measure = nullptr;
    std::string problem;
};

// The running program's folder, with a final '/'. /proc names the program;
// without /proc, the kernel's record of the file it ran (never argv[0]).
std::string ProgramFolder() {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length > 0 && static_cast<std::size_t>(length) < path.size()) {
        path.resize(static_cast<std::size_t>(length));
    } else {
        const auto* ran = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
        char* real = ran != nullptr ? ::realpath(ran, nullptr) : nullptr;
        path = real != nullptr ? real : "";
        std::free(real);
    }
    return path.substr(0, path.rfind('/') + 1);
}

// Beside the program in the build tree, in its library folder once
// installed; a program that links the module (the window) uses that copy.
// The module stays loaded: Qt does not unload cleanly.
Module Load() {
    void* handle = ::dlopen(kMeasureModuleName, RTLD_NOW | RTLD_NOLOAD);
    const std::string folder = ProgramFolder();
    for (const std::string& path :
         {folder + kMeasureModuleName, folder + RUMORA_MODULE_FOLDER "/" + kMeasureModuleName}) {
        if (handle == nullptr) handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
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
