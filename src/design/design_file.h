// A calendar's design: every choice of the page, kept in a TOML file people
// can read, edit and keep in version control, so the same page can be made
// again every month by the window or by rumora-page.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/page_options.h"

namespace rumora {

// The newest format this build reads and the one it writes.
inline constexpr int kDesignVersion = 1;

struct Design {
    // Everything but the picture's measured size, which comes from the
    // picture itself, and the first month when monthsOn is set.
    PageOptions options;
    // The first month relative to the current one: 0 this month, N months on.
    std::optional<int> monthsOn;
    // The language as written: the window's box takes any text, and a name
    // other than the two gives pages without a weekday row.
    std::string languageText = kJapaneseLanguageName;
    // The calendar files whose events the page shows, in order; read when
    // the page is made, so each month's page has the files' events then.
    std::vector<std::string> eventFiles;
};

// Why a design was refused: the file, the line (0: none) and the key, with
// the reason in English for the batch tool and in Japanese for the window.
class DesignError : public std::runtime_error {
  public:
    enum class Kind {
        Unreadable,  // the file could not be read or written (exit status 1)
        Invalid,     // the text is not a design this build reads (exit status 2)
    };
    DesignError(Kind kind, std::string file, int line, std::string key, std::string reason,
                std::string japaneseReason);

    Kind kind() const noexcept { return kind_; }
    // "FILE:LINE: KEY: REASON", the parts that are known.
    const std::string& file() const noexcept { return file_; }
    int line() const noexcept { return line_; }
    const std::string& key() const noexcept { return key_; }
    // The same in Japanese, for the window.
    std::string JapaneseText() const;

  private:
    Kind kind_;
    std::string file_;
    int line_;
    std::string key_;
    std::string japaneseReason_;
};

// Reads a design from its text. `fileName` names it in errors; a relative
// picture path is taken from `folder` (the design file's folder; empty:
// kept as written). Throws DesignError.
Design ParseDesign(std::string_view text, const std::string& fileName, const std::string& folder);

// Reads the design file at `path`; its folder is the base of relative paths.
Design ReadDesignFile(const std::string& path);

// The design as TOML. The picture path is written relative to `folder`
// when the picture lies under it, else as it is.
std::string DesignText(const Design& design, const std::string& folder);

// Checks that the text reads back, then replaces the file at `path` safely
// (never a half file). The picture is made relative to the file's folder.
// Throws DesignError.
void WriteDesignFile(const std::string& path, const Design& design);

// The month `months` on from `from` (negative: back).
YearMonth MonthsOn(YearMonth from, int months);

// The years a first month may have, as the batch tool's --start takes them.
inline constexpr int kFirstYear = 1753;
inline constexpr int kLastYear = 9999;

}  // namespace rumora
