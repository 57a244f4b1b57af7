// The page generator over arbitrary settings. A page either fails with
// PageBuildError or is whole, and no text the user typed can add markup:
// neither in the UTF-8 page nor in its code page 932 file.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/page_settings.h"
#include "calendar/page_composer.h"
#include "calendar/page_error.h"
#include "output/code_page.h"

namespace {

using namespace rumora;

[[noreturn]] void Broken(const char* what, std::string_view page) {
    std::fprintf(stderr, "page invariant broken: %s\n--- page ---\n%.*s\n", what,
                 static_cast<int>(page.size()), page.data());
    std::abort();
}

void Require(bool holds, const char* what, std::string_view page) {
    if (!holds) Broken(what, page);
}

std::string ConsumeText(FuzzedDataProvider& data) { return data.ConsumeRandomLengthString(256); }

float ConsumeTwips(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return data.ConsumeFloatingPoint<float>();  // anything, NaN and infinities too
        case 1:
            return 0.0f;
        default:
            return static_cast<float>(data.ConsumeIntegralInRange(1, 2000));
    }
}

PageSettings ConsumeSettings(FuzzedDataProvider& data, ScreenMetrics& screen) {
    PageSettings s = MakeDefaultSettings();
    static constexpr const char* kLayouts[] = {kLayoutSimple, kLayoutStandard1, kLayoutStandard2,
                                               kLayoutProgress};
    const int layout = data.ConsumeIntegralInRange(0, 4);
    s.lblLayOut.Caption = layout < 4 ? kLayouts[layout] : ConsumeText(data);
    s.optOnSmplMode[0].Value = data.ConsumeBool();
    s.optOnSmplMode[1].Value = !s.optOnSmplMode[0].Value;

    if (data.ConsumeBool()) {
        s.MonthView1.Year = data.ConsumeIntegralInRange<std::int16_t>(1753, 9999);
        s.MonthView1.Month = data.ConsumeIntegralInRange<std::int16_t>(1, 12);
    } else {
        s.MonthView1.Year = data.ConsumeIntegral<std::int16_t>();
        s.MonthView1.Month = data.ConsumeIntegral<std::int16_t>();
    }
    switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0:
            s.cmbLanguage.Text = kLanguageJapanese;
            break;
        case 1:
            s.cmbLanguage.Text = kLanguageEnglish;
            break;
        default:
            s.cmbLanguage.Text = ConsumeText(data);
    }
    s.txttblborder.Text = ConsumeText(data);
    for (auto& bar : s.ScrColor) bar.Value = data.ConsumeIntegralInRange<std::int16_t>(0, 255);
    s.lblFont.Caption = ConsumeText(data);
    s.chkbold.Value = data.ConsumeIntegralInRange<std::int16_t>(0, 2);
    s.txtImg.Text = ConsumeText(data);
    s.txtImgBorder.Text = ConsumeText(data);
    s.HScroll1.Value = data.ConsumeBool() ? data.ConsumeIntegralInRange<std::int16_t>(10, 200)
                                          : data.ConsumeIntegral<std::int16_t>();
    s.Picture1.Width = ConsumeTwips(data);
    s.Picture1.Height = ConsumeTwips(data);
    screen.TwipsPerPixelX = ConsumeTwips(data);
    screen.TwipsPerPixelY = data.ConsumeBool() ? screen.TwipsPerPixelX : ConsumeTwips(data);
    return s;
}

std::size_t CountMarkup(std::string_view page) {
    std::size_t count = 0;
    for (char c : page) count += c == '"' || c == '\'' || c == '<' || c == '>';
    return count;
}

// Between `<font face="` and `">`: the font name, escaped. In code page 932
// no byte of a two-byte character is below 0x40, so bytewise search is safe.
void CheckFontSegment(std::string_view page) {
    constexpr std::string_view kOpen = "<font face=\"";
    const auto start = page.find(kOpen);
    Require(start != std::string_view::npos, "no font line", page);
    const auto from = start + kOpen.size();
    const auto end = page.find("\">\r\n", from);
    Require(end != std::string_view::npos, "font line not closed", page);
    const std::string_view font = page.substr(from, end - from);
    Require(font.find_first_of("\"<>'") == std::string_view::npos, "raw markup in the font name",
            page);
}

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The address runs from the layout's opening to its fixed terminator; it may
// hold no blank, quote, parenthesis, angle bracket or control character, and
// every "%" starts an escape. Both ends hold markup, which inserted texts
// cannot forge.
void CheckPictureAddress(std::string_view page, std::string_view opening,
                         std::string_view terminator) {
    const auto start = page.find(opening);
    Require(start != std::string_view::npos, "no picture address", page);
    const auto from = start + opening.size();
    auto end = from;
    while (end < page.size()) {
        const auto c = static_cast<unsigned char>(page[end]);
        if (c <= 0x20 || c == 0x7F || c == '"' || c == '\'' || c == '(' || c == ')' || c == '<' ||
            c == '>') {
            break;
        }
        if (c == '%') {
            Require(end + 2 < page.size() && IsUpperHex(page[end + 1]) && IsUpperHex(page[end + 2]),
                    "a raw % in the picture address", page);
        }
        ++end;
    }
    Require(page.substr(end, terminator.size()) == terminator,
            "the picture address does not end where the markup does", page);
}

void CheckPage(std::string_view page, const PageSettings& s) {
    constexpr std::string_view kEnd = "</html>";
    Require(page.size() >= kEnd.size() && page.substr(page.size() - kEnd.size()) == kEnd,
            "the page does not end with </html>", page);
    CheckFontSegment(page);
    const std::string& layout = s.lblLayOut.Caption;
    if (layout == kLayoutStandard1) {
        CheckPictureAddress(page, "<img src=\"file:///", "\" width=");
    } else if (layout == kLayoutStandard2) {
        CheckPictureAddress(page, "<img src=file:///", " width=");
    } else if (layout == kLayoutProgress) {
        CheckPictureAddress(page, "url(file:///", ") no-repeat center center\">");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    ScreenMetrics screen;
    PageSettings s = ConsumeSettings(data, screen);

    std::string page;
    try {
        page = MakeHtmlPage(s, screen);
    } catch (const PageBuildError&) {
        return 0;
    }
    CheckPage(page, s);
    const std::string file = ToCodePage932(page);
    CheckPage(file, s);

    // The same page with every inserted text empty has exactly as much
    // markup: whatever the user typed added none, before or after conversion.
    PageSettings plain = s;
    plain.lblFont.Caption.clear();
    plain.txtImg.Text.clear();
    plain.txttblborder.Text.clear();
    plain.txtImgBorder.Text.clear();
    const std::string reference = MakeHtmlPage(plain, screen);
    Require(CountMarkup(page) == CountMarkup(reference), "inserted text added markup", page);
    Require(CountMarkup(file) == CountMarkup(reference),
            "inserted text added markup in code page 932", file);
    return 0;
}
