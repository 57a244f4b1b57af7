// The batch tool run in-process, with its standard streams caught.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/page_tool.h"

namespace rumora::testing {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// Today is December 2026; relative pictures are found in `folder`.
inline ToolRun RunTool(const std::vector<std::string>& arguments,
                       const std::string& folder = std::filesystem::current_path().string()) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = RunPageTool(arguments, out, err, 2026, 12, folder);
    auto drain = [](std::FILE* file) {
        std::string text;
        std::rewind(file);
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
            text.append(buffer, got);
        }
        std::fclose(file);
        return text;
    };
    return {status, drain(out), drain(err)};
}

}  // namespace rumora::testing
