#include "cli/page_tool.h"

#include <cerrno>
#include <cstring>
#include <variant>

#include "calendar/old_calendar.h"
#include "cli/measure_loader.h"
#include "cli/page_options.h"
#include "design/design_file.h"
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
