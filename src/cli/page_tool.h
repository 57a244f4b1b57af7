#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/page_options.h"

namespace rumora {

// Runs rumora-page with `arguments` (without the program name). Returns the
// exit status: 0 done, 1 the page could not be built, measured or written,
// 2 a usage error. On failure nothing goes to `out` and no file changes.
// A relative picture path is taken from `currentFolder` (empty: unknown).
int RunPageTool(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
                CurrentMonthSource currentMonth, const std::string& currentFolder);

}  // namespace rumora
