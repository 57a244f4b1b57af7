#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/page_encoding.h"

namespace rumora {

// A page file that could not be written. The previous file is as it was.
class PageFileError : public std::runtime_error {
  public:
    enum class Cause { System, IsThePicture };

    PageFileError(std::string path, int errorNumber, const std::string& message,
                  Cause cause = Cause::System)
        : std::runtime_error(message),
          path_(std::move(path)),
          errorNumber_(errorNumber),
          cause_(cause) {}

    const std::string& path() const noexcept { return path_; }
    // errno of the step that failed; 0 when the failure had no system cause.
    int errorNumber() const noexcept { return errorNumber_; }
    // The name leads to the picture the page shows; nothing was written.
    bool isThePicture() const noexcept { return cause_ == Cause::IsThePicture; }

  private:
    std::string path_;
    int errorNumber_;
    Cause cause_;
};

// Test seam: runs once the whole page is written, just before it takes the
// target's name (or, when the file is rewritten in place, before it is cut
// to its new length). Lets a test kill the process or fail the save there.
using BeforeReplaceHook = std::function<void()>;

// Puts `bytes` into the file at `path` with exactly the rights of a plain
// open(O_WRONLY | O_CREAT | O_TRUNC) by this process: the kernel opens the
// name first, following links and applying its link protections, and any
// refusal stops the save before anything changes.
//
// The file keeps what it carries (owner, group, mode, ACL and other
// extended attributes, hard links, a bind mount, a symbolic link to it). A
// new file beside it, flushed and renamed over it, replaces it when that
// file can carry all of this; otherwise the file is rewritten in place with
// its space reserved first and its old bytes put back on failure.
//
// Never writes over the file at `picture` (when given), however either
// path is spelled. Throws PageFileError on failure; no temporary file stays.
void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& picture = {},
                         const BeforeReplaceHook& beforeReplace = {});

// The page file: the page in code page 932 (or UTF-8 for reading and
// testing), no byte-order mark, replacing any earlier file whole.
void WritePageFile(const std::string& path, std::string_view page,
                   PageEncoding encoding = PageEncoding::CodePage932,
                   const std::string& picture = {}, const BeforeReplaceHook& beforeReplace = {});

// True when `a` and `b` name the same existing file (device and inode).
bool SameExistingFile(const std::string& a, const std::string& b);

}  // namespace rumora
