#include "cli/page_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

#include "calendar/closing_days.h"
#include "core/utf8.h"
#include "design/design_file.h"

namespace rumora {

namespace {

// Whole decimal number in [low, high], nothing else (no sign, no blanks).
std::optional<long> ParseWhole(std::string_view text, long low, long high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (text[0] < '0' || text[0] > '9') return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const auto at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::optional<float> ParsePositive(std::string_view text) {
    if (text.empty() || text.size() > 32) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const float value = std::strtof(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value) || !(value > 0.0f)) {
        return std::nullopt;
    }
    if (!((copy[0] >= '0' && copy[0] <= '9') || copy[0] == '.')) return std::nullopt;
    return value;
}

// The border is written as an unquoted attribute value, which any blank or
// entity could end; the window's fields hold one character at most, and so
// does the tool.
bool FitsBorderField(std::string_view text) { return CharacterCount(text) <= 1; }

// "R,G,B" with three whole numbers from 0 to 255.
std::optional<RgbColor> ParseColour(std::string_view value) {
    const auto parts = Split(value, ',');
    if (parts.size() != 3) return std::nullopt;
    std::uint8_t shares[3];
    for (int i = 0; i < 3; ++i) {
        const auto share = ParseWhole(parts[i], 0, 255);
        if (!share) return std::nullopt;
        shares[i] = static_cast<std::uint8_t>(*share);
    }
    return RgbColor{shares[0], shares[1], shares[2]};
}

std::optional<std::string> ClosingProblem(const char* option,
                                          const std::optional<ClosingParseError>& error) {
    if (!error) return std::nullopt;
    return std::string(option) + ": " + (error->item.empty() ? "an empty item" : error->item) +
           ": " + error->reason;
}

using Handler = std::function<std::optional<std::string>(PageJob&, const std::string&)>;

struct OptionSpec {
    Handler apply;           // returns the usage message on a bad value
    bool takesValue = true;  // a switch is applied with an empty value
};

// An option without a value that turns on one of the page's marks.
OptionSpec Switch(bool PageOptions::*mark) {
    return {[mark](PageJob& job, const std::string&) -> std::optional<std::string> {
                job.options.*mark = true;
                return std::nullopt;
            },
            false};
}

std::map<std::string, OptionSpec> MakeOptionTable() {
    std::map<std::string, OptionSpec> table;
    table["--layout"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        static const std::map<std::string, PageLayout> kShort{{"simple", PageLayout::Simple},
                                                              {"standard1", PageLayout::Standard1},
                                                              {"standard2", PageLayout::Standard2},
                                                              {"progress", PageLayout::Progress}};
        const auto found = kShort.find(value);
        job.options.layout = found != kShort.end() ? found->second : LayoutNamed(value);
        return std::nullopt;
    }};
    table["--grid"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        if (value != "3x4" && value != "4x3") return "--grid: expected 3x4 or 4x3";
        job.options.grid =
            value == "3x4" ? SimpleGrid::ThreeRowsOfFour : SimpleGrid::FourRowsOfThree;
        return std::nullopt;
    }};
    table["--start"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        const char* message =
            "--start: expected YYYY-MM with a year from 1753 to 9999, or +N / -N months from the "
            "current one";
        if (value.starts_with('+') || value.starts_with('-')) {
            const auto months = ParseWhole(std::string_view(value).substr(1), 0, 99999);
            if (!months) return message;
            job.monthsOn = static_cast<int>(value[0] == '-' ? -*months : *months);
            job.startFixed = false;
            return std::nullopt;
        }
        const auto parts = Split(value, '-');
        if (parts.size() != 2 || parts[0].size() != 4 || parts[1].size() != 2) return message;
        const auto year = ParseWhole(parts[0], 1753, 9999);
        const auto month = ParseWhole(parts[1], 1, 12);
        if (!year || !month) return message;
        job.options.firstMonth = {static_cast<int>(*year), static_cast<int>(*month)};
        job.startFixed = true;
        job.monthsOn.reset();
        return std::nullopt;
    }};
    table["--language"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            job.options.language = value == "ja"   ? TitleLanguage::Japanese
                                   : value == "en" ? TitleLanguage::English
                                                   : LanguageNamed(value);
            job.languageText = value;
            return std::nullopt;
        }};
    table["--table-border"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            if (!FitsBorderField(value)) return "--table-border: expected one character or none";
            job.options.tableBorder = value;
            return std::nullopt;
        }};
    table["--header-color"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            const auto colour = ParseColour(value);
            if (!colour)
                return "--header-color: expected R,G,B with three whole numbers from 0 to 255";
            job.options.headerColor = *colour;
            return std::nullopt;
        }};
    table["--holidays"] = Switch(&PageOptions::holidays);
    table["--rokuyo"] = Switch(&PageOptions::rokuyo);
    table["--sekki"] = Switch(&PageOptions::solarTerms);
    table["--zassetsu"] = Switch(&PageOptions::seasonalDays);
    table["--moon"] = Switch(&PageOptions::moonPhases);
    table["--wareki"] = Switch(&PageOptions::eraYear);
    table["--week-start"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            if (value != "sunday" && value != "monday")
                return "--week-start: expected sunday or monday";
            job.options.weekStart = value == "monday" ? WeekStart::Monday : WeekStart::Sunday;
            return std::nullopt;
        }};
    table["--closed"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        return ClosingProblem("--closed", AddClosingRuleList(job.options.closing, value));
    }};
    table["--closed-on"] = {[](PageJob& job,
                               const std::string& value) -> std::optional<std::string> {
        return ClosingProblem("--closed-on", AddDateSpanList(job.options.closing.closedOn, value));
    }};
    table["--open-on"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        return ClosingProblem("--open-on", AddDateSpanList(job.options.closing.openOn, value));
    }};
    table["--closed-moves-after-holiday"] = {
        [](PageJob& job, const std::string&) -> std::optional<std::string> {
            job.options.closing.movesAfterHoliday = true;
            return std::nullopt;
        },
        false};
    table["--closed-color"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            const auto colour = ParseColour(value);
            if (!colour)
                return "--closed-color: expected R,G,B with three whole numbers from 0 to 255";
            job.options.closingColor = *colour;
            return std::nullopt;
        }};
    table["--closed-label"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            job.options.closingLabel = value;
            return std::nullopt;
        }};
    table["--events"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        if (value.empty()) return "--events: expected a file name, or - for standard input";
        job.eventFiles.push_back(value);
        return std::nullopt;
    }};
    table["--font"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        job.options.fontFace = value;
        return std::nullopt;
    }};
    table["--bold"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        const auto bold = ParseWhole(value, 0, 2);
        if (!bold || value.size() != 1) return "--bold: expected 0, 1 or 2";
        job.options.weight = *bold != 0 ? FontWeight::Bold : FontWeight::Regular;
        return std::nullopt;
    }};
    table["--picture"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        // Empty is the default: no picture file to measure.
        if (value.empty()) {
            job.picturePath.reset();
        } else {
            job.picturePath = value;
        }
        return std::nullopt;
    }};
    table["--picture-size"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            const char* message = "--picture-size: expected WxH in whole pixels, 1 to 1000000 each";
            const auto parts = Split(value, 'x');
            if (parts.size() != 2) return message;
            const auto width = ParseWhole(parts[0], 1, 1000000);
            const auto height = ParseWhole(parts[1], 1, 1000000);
            if (!width || !height) return message;
            job.pictureSize = PixelSize{static_cast<int>(*width), static_cast<int>(*height)};
            return std::nullopt;
        }};
    table["--picture-border"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            if (!FitsBorderField(value)) return "--picture-border: expected one character or none";
            job.options.pictureBorder = value;
            return std::nullopt;
        }};
    table["--scale"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        const auto scale = ParseWhole(value, 10, 200);
        if (!scale) return "--scale: expected a whole number from 10 to 200";
        job.options.pictureScalePercent = static_cast<int>(*scale);
        return std::nullopt;
    }};
    table["--twips-per-pixel"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            const char* message = "--twips-per-pixel: expected X or X,Y with positive numbers";
            const auto parts = Split(value, ',');
            if (parts.size() > 2) return message;
            const auto x = ParsePositive(parts[0]);
            const auto y = parts.size() == 2 ? ParsePositive(parts[1]) : x;
            if (!x || !y) return message;
            job.screen.twipsPerPixelX = *x;
            job.screen.twipsPerPixelY = *y;
            return std::nullopt;
        }};
    table["--encoding"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            if (value == "cp932") {
                job.options.encoding = PageEncoding::CodePage932;
            } else if (value == "utf-8") {
                job.options.encoding = PageEncoding::Utf8;
            } else {
                return "--encoding: expected cp932 or utf-8";
            }
            return std::nullopt;
        }};
    table["--design"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        // Every choice the design holds replaces what the options before it
        // said; the options after it change it in turn.
        Design design = ReadDesignFile(value);
        job.options = std::move(design.options);
        job.languageText = std::move(design.languageText);
        job.monthsOn = design.monthsOn;
        job.startFixed = !design.monthsOn;
        job.eventFiles = std::move(design.eventFiles);
        job.picturePath.reset();
        if (!job.options.picturePath.empty()) job.picturePath = job.options.picturePath;
        return std::nullopt;
    }};
    table["--write-design"] = {
        [](PageJob& job, const std::string& value) -> std::optional<std::string> {
            if (value.empty()) return "--write-design: expected a file name";
            job.designOutput = value;
            return std::nullopt;
        }};
    table["--fragment"] = {[](PageJob& job, const std::string&) -> std::optional<std::string> {
                               job.fragment = true;
                               return std::nullopt;
                           },
                           false};
    table["--output"] = {[](PageJob& job, const std::string& value) -> std::optional<std::string> {
        if (value.empty()) return "--output: expected a file name";
        job.outputPath = value;
        return std::nullopt;
    }};
    return table;
}

const char* ShortLayoutName(PageLayout layout) {
    switch (layout) {
        case PageLayout::Simple:
            return "simple";
        case PageLayout::Standard1:
            return "standard1";
        case PageLayout::Standard2:
            return "standard2";
        default:
            return "progress";
    }
}

}  // namespace

ParsedCommandLine ParsePageOptions(const std::vector<std::string>& arguments,
                                   CurrentMonthSource currentMonth) {
    static const std::map<std::string, OptionSpec> kOptions = MakeOptionTable();
    PageJob job;
    job.options.fontFace = kWindowFontName;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        if (name == "-h" || name == "--help") return ShowHelp{};
        if (name == "--version") return ShowVersion{};
        if (name.rfind("--", 0) == 0) {
            const auto equals = name.find('=');
            if (equals != std::string::npos) {
                inlineValue = name.substr(equals + 1);
                name.resize(equals);
            }
        } else if (name.rfind("-o", 0) == 0) {
            if (name.size() > 2) inlineValue = name.substr(2);
            name = "--output";
        } else {
            return UsageError{"unexpected argument '" + name + "' (options start with --)"};
        }
        const auto option = kOptions.find(name);
        if (option == kOptions.end()) return UsageError{"unknown option " + name + " (see --help)"};
        std::string value;
        if (!option->second.takesValue) {
            if (inlineValue) return UsageError{name + " takes no value: " + arguments[i]};
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return UsageError{name + ": a value is missing"};
        }
        try {
            if (auto problem = option->second.apply(job, value)) return UsageError{*problem};
        } catch (const DesignError& error) {
            if (error.kind() == DesignError::Kind::Unreadable) return FileError{error.what()};
            return UsageError{error.what()};
        }
    }
    if (job.monthsOn) {
        const YearMonth month = MonthsOn(currentMonth(), *job.monthsOn);
        if (month.year < kFirstYear || month.year > kLastYear) {
            return UsageError{"--start " + std::string(*job.monthsOn < 0 ? "" : "+") +
                              std::to_string(*job.monthsOn) + ": the first month would be in " +
                              std::to_string(month.year) + ", outside 1753 to 9999"};
        }
        job.options.firstMonth = month;
    } else if (!job.startFixed) {
        job.options.firstMonth = currentMonth();
    }
    if (job.designOutput &&
        std::find(job.eventFiles.begin(), job.eventFiles.end(), "-") != job.eventFiles.end()) {
        return UsageError{"--write-design: a design names calendar files, not standard input"};
    }
    // Every month the layout shows must be 9999-12 or before.
    const int months = MonthsShown(job.options.layout);
    const YearMonth first = job.options.firstMonth;
    if (months > 0 && first.year * 12 + first.month + months - 1 > 9999 * 12 + 12) {
        return UsageError{"--start " + std::to_string(first.year) + "-" +
                          (first.month < 10 ? "0" : "") + std::to_string(first.month) + ": " +
                          ShortLayoutName(job.options.layout) + " shows " + std::to_string(months) +
                          " months, so its first month is 9999-" + (months > 3 ? "0" : "") +
                          std::to_string(13 - months) + " at the latest"};
    }
    return job;
}

std::string PageToolHelpText() {
    return std::string(R"(Usage: rumora-page [OPTION]...
Build a rumora calendar page, the same page the window saves, from options.
Every option defaults to the window's start state.

  --layout TEXT            layout caption; simple, standard1, standard2, progress are short for
                           シンプル, スタンダード 1, スタンダード 2 and プログレス; any other text
                           is the caption itself, verbatim (a page without months)
  --grid 3x4|4x3           arrangement of シンプル (default 3x4)
  --start YYYY-MM          first month (default: the current month); year 1753-9999, month 1-12;
                           every month shown must be 9999-12 or before, so the latest first
                           month is 9999-01 for simple, 9999-10 for standard1 and standard2 and
                           9999-07 for progress
  --start +N, --start -N   the month N months after (or before) the current one, in the local
                           time zone; +0 is the current month (for a monthly job)
  --language TEXT          verbatim; ja and en are short for 日本語 and 英語 (default 日本語)
  --table-border TEXT      border of the month tables: one character, verbatim, or empty
                           (default 0)
  --header-color R,G,B     weekday header colour, 0-255 each (default 150,250,180)
  --holidays               mark Japan's national holidays in red, with their names as tool tips
                           (Japanese names for 日本語, English ones otherwise), from 1948-07-20;
                           equinox days are announced through 2027, later years are a
                           projection of today's law
  --rokuyo                 write each day's 六曜 (the six-day cycle of lucky and unlucky days,
                           counted from the old lunisolar calendar) under its number, in
                           Japanese for 日本語 and romanised otherwise; from 1873 to 2100 only
  --sekki                  the 二十四節気 (立春, 夏至, 冬至...) in small type under the day's number
                           and as a tool tip line, on the Japan-time day the sun reaches each
                           multiple of 15°; from 1873 to 2100, as 六曜
  --zassetsu               the 雑節 as the national observatory defines them (節分, 彼岸, 社日,
                           八十八夜, 入梅, 半夏生, 土用 and 土用の丑の日, 二百十日, 二百二十日), the
                           same way; 1873 to 2100
  --moon                   the moon's phases (● 新月, ◐ 上弦, ○ 満月, ◑ 下弦) as a small mark
                           beside the day's number, on their Japan-time day; 1873 to 2100
  --wareki                 the era year (令和9年, 昭和64年／平成元年) in each month's title,
                           romanised on pages that are not 日本語 (Reiwa 9); 1873 to 9999
                           (明治6年 on). Later years of all four are computed as today's
                           astronomy and law project them
  --week-start sunday|monday
                           first day of each week's row (default sunday)
  --closed RULE[,RULE...]  closing days, marked in the closing colour with the label as a tool tip
                           line and once in a legend under the months: sun ... sat (every week),
                           1sun ... 5sat (the Nth such weekday of the month: 2tue is the Tuesday
                           on the 8th to the 14th), last-sun ... last-sat, d1 ... d31 (that day
                           of every month that has one), holidays (every national holiday,
                           振替休日 and 国民の休日 included); repeatable
  --closed-on DATES        dated closures (臨時休業), comma-separated: YYYY-MM-DD,
                           YYYY-MM-DD..YYYY-MM-DD, and yearly MM-DD or MM-DD..MM-DD (a range may
                           run over the year's end: 12-29..01-03); repeatable
  --open-on DATES          dated openings (臨時営業), in the same forms: an opening wins over
                           every rule; repeatable
  --closed-moves-after-holiday
                           祝日の場合は翌日: a day closed by a weekday or dN rule that is a
                           national holiday is open, and the closing moves to the next day that
                           is neither a holiday nor closed (with holidays also given, the
                           holiday stays closed and the moved closing is added)
  --closed-color R,G,B     the closing colour, 0-255 each (default 255,204,204)
  --closed-label TEXT      the label of closed days (default 休業日 for 日本語, Closed otherwise)
  --events FILE            mark the days of the events in an iCalendar file (.ics, as Google
                           Calendar, Thunderbird, Outlook or Apple Calendar export it; - reads
                           standard input); repeatable. Each covered day (in Japan time) gets a
                           mark, the events' names as lines of its tool tip (timed ones with
                           their Japan start time) and a list under its month. Repeats
                           (RRULE, RDATE, EXDATE), moved and cancelled instances and time zones
                           (VTIMEZONE, IANA and Windows names) are followed. Limits: 8 MiB a
                           file; 1000 occurrences an event and 20000 a page; 50000 repeat
                           steps an event and 250000 a file; a day's tip names 10 events and a
                           month's list 60, and counts the rest (+3). A file that cannot be read or
                           holds no VCALENDAR fails the page; an event that cannot be read is
                           left out with a warning naming the file and line
  --font TEXT              font face, verbatim, may be empty (default: )") +
           kWindowFontName + R"(, the window's font)
  --bold 0|1|2             (default 0)
  --picture PATH           written into the page (default empty: none); a relative PATH is taken from
                           the current folder; the picture is measured from this file unless
                           --picture-size is given
  --picture-size WxH       the picture's size in whole pixels; with neither option the picture
                           holder's design size of 855 x 855 twips applies
  --picture-border TEXT    border of the picture: one character, verbatim, or empty (default 0)
  --scale N                picture scale in percent, 10-200 (default 100)
  --twips-per-pixel X[,Y]  positive numbers (default 15); a picture's size in twips is its pixel
                           size times these
  --encoding cp932|utf-8   cp932 is the page file's format (default); utf-8 is for reading and
                           testing
  --design FILE            read every choice of the page from a design file (TOML; see the
                           README); options before it are replaced by it, options after it
                           change it; its relative paths are taken from its own folder
  --write-design FILE      write the design the other options describe to FILE (replacing it
                           safely) and no page, unless --output is given too
  --fragment               write only the calendar, the block inside the page's <body>, for a
                           web site's own template, in the chosen --encoding. The template's
                           head must declare that encoding (<meta charset="Shift_JIS"> or
                           "UTF-8") and, with --bold 1 or 2, hold the bold style block
                           <style type=text/css>td {font-weight:bold}</style>; a progress
                           page's background picture is on the body tag, which is not part of it
  -o, --output FILE        write the page file there, replacing it safely (never the picture);
                           - or /dev/stdout: standard output as opened, which is the default
  -h, --help               show this help and exit
      --version            show the version and exit

Exit status: 0 on success, 1 when the page cannot be built or written, the picture cannot
be measured or a design cannot be read or written, 2 on a usage error (--output naming the
picture is one; so is a design with an unknown key, a wrong type, a value out of range or a
newer format version, named by file, line and key). On failure nothing is written.
)";
}

}  // namespace rumora
