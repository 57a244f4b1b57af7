// rumora-page: the batch tool that builds the window's page from options.
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/page_tool.h"

namespace {

rumora::YearMonth LocalMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1};
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that went away is a failed write (EPIPE), reported like any
    // other, not a silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return rumora::RunPageTool(arguments, stdout, stderr, LocalMonth,
                               error ? std::string() : folder.string());
}
