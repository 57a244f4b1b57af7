#include "cli/page_tool.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <variant>

#include "calendar/old_calendar.h"
#include "cli/events_loader.h"
#include "cli/measure_loader.h"
#include "cli/page_options.h"
#include "design/design_file.h"
#include "events/page_event_list.h"
#include "files/code_page.h"
#include "files/page_file.h"
#include "page/markup.h"
#include "page/page_composer.h"
#include "page/page_error.h"
#include "page/picture_scale.h"

namespace rumora {

namespace {

int Report(std::FILE* err, int status, const std::string& message) {
    std::fprintf(err, "rumora-page: %s\n", message.c_str());
    return status;
}

bool WriteOut(std::FILE* out, const std::string& bytes) {
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        return false;
    }
    return std::fflush(out) == 0 && !std::ferror(out);
}

// Windows paths (D:\..., \\server\...) are kept as written; they name
// nothing here unless their size is given.
bool IsRelativePath(std::string_view path) {
    return !path.empty() && !path.starts_with('/') && !path.starts_with("\\\\") &&
           !StartsWithDriveLetter(path);
}

// Names that mean the tool's own standard output, written as the shell
// opened it: no replacing, no truncating, appending where it appends.
bool IsStandardOutput(const std::string& path) {
    return path == "-" || path == "/dev/stdout" || path == "/dev/fd/1";
}

std::string StandardOutputFailure() {
    std::string message = "cannot write the page to standard output";
    if (errno != 0) message += std::string(": ") + std::strerror(errno);
    return message;
}

// The whole file, or why not; a file past the size limit is not read on.
std::optional<std::string> ReadWhole(const std::string& path, std::size_t limit,
                                     std::string& problem) {
    const bool standardInput = path == "-";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(
        standardInput ? nullptr : std::fopen(path.c_str(), "rb"), &std::fclose);
    std::FILE* file = standardInput ? stdin : owned.get();
    if (file == nullptr) {
        problem = std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        bytes.append(buffer, got);
        if (bytes.size() > limit) {
            problem = "larger than the limit of " + std::to_string(limit >> 20) + " MiB";
            return std::nullopt;
        }
        if (got < sizeof buffer) break;
    }
    if (std::ferror(file)) {
        problem = errno != 0 ? std::strerror(errno) : "a read error";
        return std::nullopt;
    }
    return bytes;
}

// The events of every calendar file on the page's days, in start order
// (files in the order given); false when a file is refused.
bool ReadEventFiles(PageJob& job, std::FILE* err) {
    const auto [firstDay, lastDay] = PageDays(job.options);
    std::vector<events::Calendar> calendars;
    const events::Limits limits;
    for (const std::string& path : job.eventFiles) {
        const std::string name = path == "-" ? "standard input" : path;
        std::string problem;
        const std::optional<std::string> bytes = ReadWhole(path, limits.fileBytes, problem);
        if (!bytes) {
            Report(err, 1, "cannot read the calendar file " + name + ": " + problem);
            return false;
        }
        calendars.push_back(ReadEventsOnDemand(*bytes, firstDay, lastDay));
        const events::Calendar& calendar = calendars.back();
        if (!calendar.problem.empty()) {
            Report(err, 1, "cannot use the calendar file " + name + ": " + calendar.problem);
            return false;
        }
        for (const events::Warning& warning : calendar.warnings) {
            std::fprintf(err, "rumora-page: warning: %s:%d: %s\n", name.c_str(), warning.line,
                         warning.reason.c_str());
        }
    }
    const PageEncoding encoding = job.options.encoding;
    if (!events::ToPageEvents(calendars, job.options.events, [encoding](const std::string& name) {
            return EventNameMarkup(name, encoding);
        })) {
        std::fprintf(err,
                     "rumora-page: warning: more than %zu occurrences on the page; the latest are "
                     "left out\n",
                     events::kOccurrencesPerPage);
    }
    return true;
}

}  // namespace

int RunPageTool(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
                CurrentMonthSource currentMonth, const std::string& currentFolder) {
    ParsedCommandLine parsed = ParsePageOptions(arguments, currentMonth);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        return Report(err, 2, usage->message);
    }
    if (const auto* file = std::get_if<FileError>(&parsed)) return Report(err, 1, file->message);
    if (std::holds_alternative<ShowHelp>(parsed)) {
        return WriteOut(out, PageToolHelpText()) ? 0 : Report(err, 1, "cannot write the help");
    }
    if (std::holds_alternative<ShowVersion>(parsed)) {
        return WriteOut(out, std::string(kVersionText) + "\n") ? 0 : Report(err, 1, "cannot write");
    }
    PageJob& job = std::get<PageJob>(parsed);
    const bool toFile = job.outputPath && !IsStandardOutput(*job.outputPath);

    if (job.picturePath) {
        std::string path = *job.picturePath;
        if (IsRelativePath(path)) {
            if (currentFolder.empty()) {
                return Report(
                    err, 1, "cannot find the picture " + path + ": the current folder is unknown");
            }
            path = (currentFolder.ends_with('/') ? currentFolder : currentFolder + '/') + path;
        }
        job.options.picturePath = path;
        if (toFile && SameExistingFile(*job.outputPath, path)) {
            return Report(err, 2,
                          "--output " + *job.outputPath + " is the picture file " + path +
                              "; the page must not replace it");
        }
        if (!job.pictureSize) {
            std::string problem;
            const std::optional<PictureMeasurement> measured =
                MeasurePictureOnDemand(path, problem);
            if (!measured) {
                return Report(err, 1,
                              "cannot measure the picture " + path + ": " + problem +
                                  "; give its size with --picture-size");
            }
            const PictureMeasurement& picture = *measured;
            switch (picture.outcome) {
                case PictureMeasurement::Outcome::Measured:
                    job.pictureSize = PixelSize{picture.width, picture.height};
                    break;
                case PictureMeasurement::Outcome::Undecodable:
                    return Report(err, 1,
                                  "cannot measure the picture " + path +
                                      ": not a picture we can decode (" + picture.reason +
                                      "); give its size with --picture-size");
                case PictureMeasurement::Outcome::Unreadable:
                    return Report(err, 1,
                                  "cannot read the picture " + path + ": " + picture.reason);
            }
        }
    }
    if (job.pictureSize) {
        job.options.pictureWidthTwips =
            PixelsToTwips(job.pictureSize->width, job.screen.twipsPerPixelX);
        job.options.pictureHeightTwips =
            PixelsToTwips(job.pictureSize->height, job.screen.twipsPerPixelY);
    }

    if (!job.eventFiles.empty() && job.options.layout != PageLayout::NoMonths &&
        !ReadEventFiles(job, err)) {
        return 1;
    }

    std::string page;
    try {
        page = MakeHtmlPage(job.options, job.screen);
    } catch (const PageBuildError& error) {
        return Report(err, 1, std::string("cannot build the page: ") + error.what());
    }

    if (PageLacksSomeRokuyo(job.options)) {
        std::fprintf(err, "rumora-page: note: %s\n",
                     std::string(old_calendar::OutsideSpanNote(false)).c_str());
    }

    if (job.designOutput) {
        Design design;
        design.options = job.options;
        design.monthsOn = job.monthsOn;
        design.languageText = job.languageText;
        design.eventFiles = job.eventFiles;
        try {
            WriteDesignFile(*job.designOutput, design);
        } catch (const DesignError& error) {
            return Report(err, error.kind() == DesignError::Kind::Invalid ? 2 : 1, error.what());
        }
        if (!job.outputPath) return 0;
    }
    if (job.fragment) page = std::string(PageBodyBlock(page));

    if (toFile) {
        try {
            WritePageFile(*job.outputPath, page, job.options.encoding, job.options.picturePath);
        } catch (const PageFileError& error) {
            return Report(err, error.isThePicture() ? 2 : 1, error.what());
        }
        return 0;
    }
    const std::string bytes =
        job.options.encoding == PageEncoding::Utf8 ? page : ToCodePage932(page);
    if (!WriteOut(out, bytes)) return Report(err, 1, StandardOutputFailure());
    return 0;
}

}  // namespace rumora
