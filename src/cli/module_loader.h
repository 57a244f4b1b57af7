#pragma once

#include <string>

namespace rumora {

struct LoadedEntry {
    void* entry = nullptr;  // the module's entry point; null when missing
    std::string problem;    // why it is missing
};

// Opens the shared module `name` beside the program in the build tree, or
// in its library folder once installed, and finds `entry` in it. A program
// that links the module (the window) uses that copy. Modules stay loaded.
LoadedEntry LoadModuleEntry(const char* name, const char* entry);

}  // namespace rumora
