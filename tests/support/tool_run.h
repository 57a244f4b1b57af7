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

inline YearMonth December2026() { return {2026, 12}; }

// Today is December 2026; relative pictures are found in `folder`. Standard
// output goes to `given` when set (then closed, and ToolRun::out stays empty).
inline ToolRun RunTool(const std::vector<std::string>& arguments,
                       const std::string& folder = std::filesystem::current_path().string(),
                       std::FILE* given = nullptr) {
    std::FILE* out = given != nullptr ? given : std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = RunPageTool(arguments, out, err, December2026, folder);
    auto drain = [](std::FILE* file) {
        std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::fclose(file);
        return text;
    };
    if (given != nullptr) std::fclose(given);
    return {status, given != nullptr ? std::string() : drain(out), drain(err)};
}

}  // namespace rumora::testing
