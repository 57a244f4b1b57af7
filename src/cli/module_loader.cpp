#include "cli/module_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstdlib>

namespace rumora {

namespace {

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

}  // namespace

LoadedEntry LoadModuleEntry(const char* name, const char* entry) {
    void* handle = ::dlopen(name, RTLD_NOW | RTLD_NOLOAD);
    const std::string folder = ProgramFolder();
    for (const std::string& path : {folder + name, folder + RUMORA_MODULE_FOLDER "/" + name}) {
        if (handle == nullptr) handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (handle == nullptr) return {nullptr, ::dlerror()};
    void* found = ::dlsym(handle, entry);
    if (found == nullptr) return {nullptr, ::dlerror()};
    return {found, {}};
}

}  // namespace rumora
