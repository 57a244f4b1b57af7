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

#include "app/page_settings.h"
#include "app/text_characters.h"
#include "calendar/page_composer.h"
#include "calendar/page_error.h"
#include "hostile/hostile_support.h"
#include "output/code_page.h"

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

PageSettings ConsumeSettings(FuzzedDataProvider& data, ScreenMetrics& screen) {
    PageSettings s = MakeDefaultSettings();
    static constexpr const char* kLayouts[] = {kLayoutSimple, kLayoutStandard1, kLayoutStandard2,
                                               kLayoutProgress};
    const int layout = data.ConsumeIntegralInRange(0, 4);
    s.lblLayOut.Caption = layout < 4 ? kLayouts[layout] : ConsumeText(data);
    s.optOnSmplMode[0].Value = data.ConsumeBool();
    s.optOnSmplMode[1].Value = !s.optOnSmplMode[0].Value;

    const bool realMonth = data.ConsumeBool();
    s.MonthView1.Year = realMonth ? data.ConsumeIntegralInRange<std::int16_t>(1753, 9999)
                                  : data.ConsumeIntegral<std::int16_t>();
    s.MonthView1.Month = realMonth ? data.ConsumeIntegralInRange<std::int16_t>(1, 12)
                                   : data.ConsumeIntegral<std::int16_t>();
    const int language = data.ConsumeIntegralInRange(0, 2);
    s.cmbLanguage.Text = language == 0   ? kLanguageJapanese
                         : language == 1 ? kLanguageEnglish
                                         : ConsumeText(data);
    s.txttblborder.Text = ConsumeBorder(data);
    for (auto& bar : s.ScrColor) bar.Value = data.ConsumeIntegralInRange<std::int16_t>(0, 255);
    s.lblFont.Caption = ConsumeText(data);
    s.chkbold.Value = data.ConsumeIntegralInRange<std::int16_t>(0, 2);
    s.txtImg.Text = ConsumeText(data);
    s.txtImgBorder.Text = ConsumeBorder(data);
    s.HScroll1.Value = data.ConsumeBool() ? data.ConsumeIntegralInRange<std::int16_t>(10, 200)
                                          : data.ConsumeIntegral<std::int16_t>();
    s.Picture1.Width = ConsumeTwips(data);
    s.Picture1.Height = ConsumeTwips(data);
    screen.TwipsPerPixelX = ConsumeTwips(data);
    screen.TwipsPerPixelY = data.ConsumeBool() ? screen.TwipsPerPixelX : ConsumeTwips(data);
    return s;
}

void CheckPage(std::string_view page, const std::string& layout) {
    Require(page.ends_with("</html>"), "the page does not end with </html>", page);
    const bool pictured =
        layout == kLayoutStandard1 || layout == kLayoutStandard2 || layout == kLayoutProgress;
    Require(!pictured || hostile::PictureAddress(page, layout), "the picture address broke", page);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    ScreenMetrics screen;
    PageSettings s = ConsumeSettings(data, screen);
    const PageEncoding encoding =
        data.ConsumeBool() ? PageEncoding::Utf8 : PageEncoding::CodePage932;

    std::string page;
    try {
        page = MakeHtmlPage(s, screen, encoding);
    } catch (const PageBuildError&) {
        return 0;
    }
    CheckPage(page, s.lblLayOut.Caption);
    const std::string file = ToCodePage932(page);
    CheckPage(file, s.lblLayOut.Caption);

    PageSettings plain = s;
    plain.lblFont.Caption.clear();
    plain.txtImg.Text.clear();
    plain.txttblborder.Text.clear();
    plain.txtImgBorder.Text.clear();
    const std::string expected = hostile::Tags(MakeHtmlPage(plain, screen, encoding));
    Require(hostile::Tags(page) == expected, "inserted text added a tag or an attribute", page);
    Require(hostile::Tags(file) == expected,
            "inserted text added a tag or an attribute in code page 932", file);
    return 0;
}
