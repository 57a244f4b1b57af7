#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/page_encoding.h"

namespace rumora {

// A page file that could not be written. The previous file is untouched.
class PageFileError : public std::runtime_error {
  public:
    PageFileError(std::string path, int errorNumber, const std::string& message)
        : std::runtime_error(message), path_(std::move(path)), errorNumber_(errorNumber) {}

    const std::string& path() const noexcept { return path_; }
    // errno of the step that failed; 0 when the failure had no system cause.
    int errorNumber() const noexcept { return errorNumber_; }

  private:
    std::string path_;
    int errorNumber_;
};

// Test seam: runs once the whole page is on disk, just before it replaces
// the target. Lets a test kill the process at the worst moment.
using BeforeReplaceHook = std::function<void()>;

// Replaces the file at `path` with `bytes`, safely: the bytes go to an
// unnamed (or hidden temporary) file in the target's folder, every write is
// checked, the data is flushed to disk, and only then does it take the
// target's name. A symbolic link stays a link; the file it points to is
// replaced. The target's permission bits are kept. On failure the old file
// is as it was, no temporary file is left, and PageFileError says why.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const BeforeReplaceHook& beforeReplace = {});

// The page file: strCalendar in code page 932 (or UTF-8 for reading and
// testing), no byte-order mark, replacing any earlier file whole.
void WritePageFile(const std::string& path, std::string_view page,
                   PageEncoding encoding = PageEncoding::CodePage932,
                   const BeforeReplaceHook& beforeReplace = {});

}  // namespace rumora
