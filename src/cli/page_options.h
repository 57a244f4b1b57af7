// Command-line interface of rumora-page, the batch tool that builds the
// same page as the window from options.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/page_options.h"
#include "core/version.h"

namespace rumora {

struct PixelSize {
    int width = 0;
    int height = 0;
};

struct PageJob {
    PageOptions options;
    ScreenMetrics screen;
    std::optional<std::string> picturePath;  // as given; made absolute before use
    // In pixels; measured from the picture unless given. Without either, the
    // picture keeps the holder's design size.
    std::optional<PixelSize> pictureSize;
    std::optional<std::string> outputPath;  // standard output when empty
    // The first month: fixed by --start YYYY-MM or a design, or this many
    // months from the current one; the current month when neither.
    bool startFixed = false;
    std::optional<int> monthsOn;
    std::string languageText = kJapaneseLanguageName;  // as given, for a design
    std::optional<std::string> designOutput;           // --write-design
    bool fragment = false;                             // only the block inside the page's body
    std::vector<std::string> eventFiles;  // calendar files in order; - is standard input
};

struct UsageError {
    std::string message;  // one line naming the option and what it accepts
};
// A file the options name cannot be read (exit status 1).
struct FileError {
    std::string message;
};
struct ShowHelp {};
struct ShowVersion {};

using ParsedCommandLine = std::variant<PageJob, UsageError, FileError, ShowHelp, ShowVersion>;

// Gives the current month, the first month when --start is absent or
// relative. Asked only then: reading the time zone is a good part of the
// tool's start.
using CurrentMonthSource = YearMonth (*)();

ParsedCommandLine ParsePageOptions(const std::vector<std::string>& arguments,
                                   CurrentMonthSource currentMonth);

std::string PageToolHelpText();

inline const std::string kVersionText = std::string("rumora-page ") + kVersion;

}  // namespace rumora
