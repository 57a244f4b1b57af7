// Shared pieces of the hostile-input tests: the memory reading.
#pragma once

#include <sys/resource.h>

namespace rumora::hostile {

// Peak resident memory of this process so far, in MiB.
inline long PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace rumora::hostile
