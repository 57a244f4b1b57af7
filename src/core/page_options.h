// The page's choices in the engine's own terms. The window turns its record
// into these when a command builds the page, the batch tool builds them from
// its options; the engine reads nothing else.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/closing_rules.h"
#include "core/page_encoding.h"
#include "core/page_events.h"

namespace rumora {

enum class PageLayout {
    Simple,     // twelve months in a grid, no picture
    Standard1,  // a picture above three months in a row
    Standard2,  // a picture left of three months in a column
    Progress,   // six months in two columns over the picture as the background
    NoMonths,   // a layout name that is none of the four: the page frame alone
};

// How many months each layout shows.
constexpr int MonthsShown(PageLayout layout) {
    switch (layout) {
        case PageLayout::Simple:
            return 12;
        case PageLayout::Standard1:
        case PageLayout::Standard2:
            return 3;
        case PageLayout::Progress:
            return 6;
        case PageLayout::NoMonths:
            break;
    }
    return 0;
}

// The layouts' names, as the window's layout label shows them and the batch
// tool takes them.
constexpr const char* LayoutName(PageLayout layout) {
    switch (layout) {
        case PageLayout::Simple:
            return "シンプル";
        case PageLayout::Standard1:
            return "スタンダード 1";
        case PageLayout::Standard2:
            return "スタンダード 2";
        case PageLayout::Progress:
            return "プログレス";
        case PageLayout::NoMonths:
            break;
    }
    return "";
}

// The layout of that exact name; NoMonths for any other text.
inline PageLayout LayoutNamed(std::string_view name) {
    for (const PageLayout layout :
         {PageLayout::Simple, PageLayout::Standard1, PageLayout::Standard2, PageLayout::Progress}) {
        if (name == LayoutName(layout)) return layout;
    }
    return PageLayout::NoMonths;
}

enum class SimpleGrid { ThreeRowsOfFour, FourRowsOfThree };

enum class TitleLanguage {
    Japanese,  // traditional month names, Japanese weekday header
    English,   // English month names and weekday header
    Unlisted,  // any other language name: English month names, no weekday header
};

// The two language names the window lists; their texts are compared exactly.
inline constexpr const char* kJapaneseLanguageName = "日本語";
inline constexpr const char* kEnglishLanguageName = "英語";

inline TitleLanguage LanguageNamed(std::string_view name) {
    return name == kJapaneseLanguageName  ? TitleLanguage::Japanese
           : name == kEnglishLanguageName ? TitleLanguage::English
                                          : TitleLanguage::Unlisted;
}

enum class FontWeight { Regular, Bold };

enum class WeekStart { Sunday, Monday };

struct YearMonth {
    int year = 1999;
    int month = 5;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

struct RgbColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const RgbColor&, const RgbColor&) = default;
};

// The screen's pixel size in twips, across and down (15 at 96 dots per inch).
struct ScreenMetrics {
    float twipsPerPixelX = 15.0f;
    float twipsPerPixelY = 15.0f;
};

// Size of the picture holder before any picture is loaded, in twips.
inline constexpr float kPictureDesignTwips = 855.0f;

// The window's own font, the face a page has unless one is chosen. Where it
// is missing, fontconfig picks a Japanese face in its place.
inline constexpr const char* kWindowFontName = "ＭＳ Ｐゴシック";

struct PageOptions {
    PageLayout layout = PageLayout::Simple;
    SimpleGrid grid = SimpleGrid::ThreeRowsOfFour;
    YearMonth firstMonth{};
    TitleLanguage language = TitleLanguage::Japanese;
    RgbColor headerColor{150, 250, 180};
    // Written into the tables' border attributes as they are.
    std::string tableBorder = "0";
    std::string pictureBorder = "0";

    std::string fontFace;
    FontWeight weight = FontWeight::Regular;

    // The picture's path as the page names it, its size in twips as the
    // holder measured it, and its scale in percent.
    std::string picturePath;
    float pictureWidthTwips = kPictureDesignTwips;
    float pictureHeightTwips = kPictureDesignTwips;
    int pictureScalePercent = 100;

    PageEncoding encoding = PageEncoding::CodePage932;

    bool holidays = false;  // national holidays in red, their names as tips
    bool rokuyo = false;    // each day's 六曜 under its number
    WeekStart weekStart = WeekStart::Sunday;

    // The rest of the almanac, 1873 to 2100: the 二十四節気 and the 雑節 in
    // small type under the number, the moon's phases as a mark beside it,
    // each also a line of the day's tip; and the era year (和暦) in each
    // month's title, 1873 to 9999.
    bool solarTerms = false;
    bool seasonalDays = false;
    bool moonPhases = false;
    bool eraYear = false;

    // A shop's closing days: marked in the closing colour, with the label as
    // a line of the day's tip and once in a legend under the months. An
    // empty label is "休業日" on Japanese pages and "Closed" on others.
    ClosingRules closing;
    RgbColor closingColor{255, 204, 204};
    std::string closingLabel;

    // The user's own days from calendar files, in start order: each covered
    // day is marked, has the names as lines of its tip, and each month lists
    // its events under its table.
    std::vector<PageEvent> events;
};

// The Japan dates the page's months span, as days since 1970-01-01; none
// after December 9999.
inline std::pair<std::int32_t, std::int32_t> PageDays(const PageOptions& options) {
    using namespace std::chrono;
    const year_month first{year{options.firstMonth.year},
                           month{static_cast<unsigned>(options.firstMonth.month)}};
    year_month last = first + months{std::max(MonthsShown(options.layout), 1) - 1};
    if (last.year() > year{9999}) last = year{9999} / December;
    return {
        static_cast<std::int32_t>(sys_days{first / 1}.time_since_epoch().count()),
        static_cast<std::int32_t>(sys_days{last / std::chrono::last}.time_since_epoch().count())};
}

inline constexpr const char* kClosedLabelJapanese = "休業日";
inline constexpr const char* kClosedLabelEnglish = "Closed";

// The label the page writes on closed days.
inline std::string_view ClosedLabel(const PageOptions& options) {
    if (!options.closingLabel.empty()) return options.closingLabel;
    return options.language == TitleLanguage::Japanese ? kClosedLabelJapanese : kClosedLabelEnglish;
}

}  // namespace rumora
