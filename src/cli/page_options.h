// Command-line interface of rumora-page, the batch tool that builds the
// same page as the window from options.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/page_settings.h"
#include "output/page_file.h"

namespace rumora {

struct PageJob {
    PageSettings settings;
    ScreenMetrics screen;
    std::optional<std::string> picturePath;  // to be measured unless a size was given
    bool pictureSizeGiven = false;
    int pictureWidthPixels = 0;
    int pictureHeightPixels = 0;
    PageEncoding encoding = PageEncoding::CodePage932;
    std::optional<std::string> outputPath;  // standard output when empty
};

struct UsageError {
    std::string message;  // one line naming the option and what it accepts
};
struct ShowHelp {};
struct ShowVersion {};

using ParsedCommandLine = std::variant<PageJob, UsageError, ShowHelp, ShowVersion>;

// `today` gives the default first month as (year, month).
ParsedCommandLine ParsePageOptions(const std::vector<std::string>& arguments, int todayYear,
                                   int todayMonth);

std::string PageToolHelpText();

inline constexpr const char* kVersionText = "rumora-page 2.20";

}  // namespace rumora
