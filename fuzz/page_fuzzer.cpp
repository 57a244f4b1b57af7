// The page generator over arbitrary settings. A page either fails with
// PageBuildError or is whole, and no text the user typed can add an element
// or an attribute: the page's tags, read as a browser's tokenizer reads
// them, are those of the same page with every inserted text empty, in the
// UTF-8 page and in its code page 932 file.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calendar/closing_days.h"
#include "core/page_options.h"
#include "core/utf8.h"
#include "files/code_page.h"
#include "hostile/hostile_support.h"
#include "page/page_composer.h"
#include "page/page_error.h"

namespace {

using namespace rumora;

void Require(bool holds, const char* what, std::string_view page) {
    if (holds) return;
    std::fprintf(stderr, "page invariant broken: %s\n--- page ---\n%.*s\n", what,
                 static_cast<int>(page.size()), page.data());
    std::abort();
}

std::string ConsumeText(FuzzedDataProvider& data) { return data.ConsumeRandomLengthString(256); }

// What a border field holds: one character of any kind, or none.
std::string ConsumeBorder(FuzzedDataProvider& data) {
    const std::string text = ConsumeText(data);
    return text.substr(0, text.empty() ? 0 : CharacterLength(text, 0));
}

float ConsumeTwips(FuzzedDataProvider& data) {
    const int kind = data.ConsumeIntegralInRange(0, 3);
    return kind == 0   ? data.ConsumeFloatingPoint<float>()  // NaN and infinities too
           : kind == 1 ? 0.0f
                       : static_cast<float>(data.ConsumeIntegralInRange(1, 2000));
}

PageOptions ConsumeOptions(FuzzedDataProvider& data, ScreenMetrics& screen) {
    PageOptions s;
    static constexpr PageLayout kLayouts[] = {PageLayout::Simple, PageLayout::Standard1,
                                              PageLayout::Standard2, PageLayout::Progress};
    const int layout = data.ConsumeIntegralInRange(0, 4);
    s.layout = layout < 4 ? kLayouts[layout] : LayoutNamed(ConsumeText(data));
    s.grid = data.ConsumeBool() ? SimpleGrid::ThreeRowsOfFour : SimpleGrid::FourRowsOfThree;

    const bool realMonth = data.ConsumeBool();
    s.firstMonth.year = realMonth ? data.ConsumeIntegralInRange<std::int16_t>(1753, 9999)
                                  : data.ConsumeIntegral<std::int16_t>();
    s.firstMonth.month = realMonth ? data.ConsumeIntegralInRange<std::int16_t>(1, 12)
                                   : data.ConsumeIntegral<std::int16_t>();
    const int language = data.ConsumeIntegralInRange(0, 2);
    s.language = language == 0   ? TitleLanguage::Japanese
                 : language == 1 ? TitleLanguage::English
                                 : LanguageNamed(ConsumeText(data));
    s.tableBorder = ConsumeBorder(data);
    for (std::uint8_t* share : {&s.headerColor.red, &s.headerColor.green, &s.headerColor.blue}) {
        *share = data.ConsumeIntegral<std::uint8_t>();
    }
    s.fontFace = ConsumeText(data);
    s.weight = data.ConsumeIntegralInRange(0, 2) != 0 ? FontWeight::Bold : FontWeight::Regular;
    s.picturePath = ConsumeText(data);
    s.pictureBorder = ConsumeBorder(data);
    s.pictureScalePercent = data.ConsumeBool() ? data.ConsumeIntegralInRange(10, 200)
                                               : data.ConsumeIntegral<std::int16_t>();
    s.pictureWidthTwips = ConsumeTwips(data);
    s.pictureHeightTwips = ConsumeTwips(data);
    screen.twipsPerPixelX = ConsumeTwips(data);
    screen.twipsPerPixelY = data.ConsumeBool() ? screen.twipsPerPixelX : ConsumeTwips(data);
    // Holidays past the table made at build time are solved for afresh,
    // which would slow the search to a crawl.
    s.holidays = data.ConsumeBool() && s.firstMonth.year <= 2100;
    s.rokuyo = data.ConsumeBool();
    s.weekStart = data.ConsumeBool() ? WeekStart::Monday : WeekStart::Sunday;
    s.solarTerms = s.seasonalDays = s.moonPhases = s.eraYear = data.ConsumeBool();
    // Closing rules as typed; a list that does not parse adds nothing.
    AddClosingRuleList(s.closing, ConsumeText(data));
    AddDateSpanList(s.closing.closedOn, ConsumeText(data));
    s.closing.movesAfterHoliday = data.ConsumeBool() && s.firstMonth.year <= 2100;
    s.closing.holidays = s.closing.holidays && s.firstMonth.year <= 2100;
    s.closingLabel = ConsumeText(data);
    s.encoding = data.ConsumeBool() ? PageEncoding::Utf8 : PageEncoding::CodePage932;
    return s;
}

void CheckPage(std::string_view page, PageLayout layout) {
    Require(page.ends_with("</html>"), "the page does not end with </html>", page);
    const bool pictured = layout == PageLayout::Standard1 || layout == PageLayout::Standard2 ||
                          layout == PageLayout::Progress;
    Require(!pictured || hostile::PictureAddress(page, layout), "the picture address broke", page);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    ScreenMetrics screen;
    const PageOptions s = ConsumeOptions(data, screen);

    std::string page;
    try {
        page = MakeHtmlPage(s, screen);
    } catch (const PageBuildError&) {
        return 0;
    }
    CheckPage(page, s.layout);
    const std::string file = ToCodePage932(page);
    CheckPage(file, s.layout);

    PageOptions plain = s;
    plain.fontFace.clear();
    plain.picturePath.clear();
    plain.tableBorder.clear();
    plain.pictureBorder.clear();
    plain.closingLabel = "x";
    const std::string expected = hostile::Tags(MakeHtmlPage(plain, screen));
    Require(hostile::Tags(page) == expected, "inserted text added a tag or an attribute", page);
    Require(hostile::Tags(file) == expected,
            "inserted text added a tag or an attribute in code page 932", file);
    return 0;
}
