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

// What a border field holds: one character of any kind, or none.
std::string ConsumeBorder(FuzzedDataProvider& data) {
    const std::string text = ConsumeText(data);
    return text.substr(0, text.empty() ? 0 : CharacterLength(text, 0));
}

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

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The page's tags as HTML's tokenizer splits them, one a line: "name
// attribute ..." for a start tag, "/name" for an end tag. Values are left
// out, as they are where the inserted texts go. A "<" before anything else
// is text. No byte of a two-byte code page 932 character is markup, so
// bytes will do.
std::string Tags(std::string_view page) {
    std::string tags;
    const std::size_t n = page.size();
    auto at = [&](std::size_t k) { return k < n ? page[k] : '\0'; };
    auto nameEnds = [&](std::size_t k) {
        return k >= n || IsHtmlSpace(page[k]) || page[k] == '/' || page[k] == '>';
    };
    for (std::size_t i = 0; i < n;) {
        const bool endTag = at(i + 1) == '/';
        if (page[i] != '<' || !IsAsciiLetter(at(i + (endTag ? 2 : 1)))) {
            ++i;
            continue;
        }
        const std::size_t tagStart = tags.size();
        i += endTag ? 2 : 1;
        if (endTag) tags += '/';
        while (!nameEnds(i)) tags += page[i++];
        while (i < n && page[i] != '>') {
            if (IsHtmlSpace(page[i]) || page[i] == '/') {
                ++i;
                continue;
            }
            // An attribute's name ("=" included when it comes first), then
            // its value, quoted or up to a blank or ">".
            tags += ' ';
            tags += page[i++];
            while (!nameEnds(i) && page[i] != '=') tags += page[i++];
            while (i < n && IsHtmlSpace(page[i])) ++i;
            if (at(i) != '=') continue;
            for (++i; i < n && IsHtmlSpace(page[i]);) ++i;
            const char quote = at(i);
            if (quote == '"' || quote == '\'') {
                const auto end = page.find(quote, i + 1);
                i = end == std::string_view::npos ? n : end + 1;
            } else {
                while (i < n && !IsHtmlSpace(page[i]) && page[i] != '>') ++i;
            }
        }
        if (i >= n) {  // a tag the page ends inside is dropped
            tags.resize(tagStart);
            break;
        }
        ++i;
        tags += '\n';
    }
    return tags;
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
    const PageEncoding encoding =
        data.ConsumeBool() ? PageEncoding::Utf8 : PageEncoding::CodePage932;

    std::string page;
    try {
        page = MakeHtmlPage(s, screen, encoding);
    } catch (const PageBuildError&) {
        return 0;
    }
    CheckPage(page, s);
    const std::string file = ToCodePage932(page);
    CheckPage(file, s);

    PageSettings plain = s;
    plain.lblFont.Caption.clear();
    plain.txtImg.Text.clear();
    plain.txttblborder.Text.clear();
    plain.txtImgBorder.Text.clear();
    const std::string expected = Tags(MakeHtmlPage(plain, screen, encoding));
    Require(Tags(page) == expected, "inserted text added a tag or an attribute", page);
    Require(Tags(file) == expected, "inserted text added a tag or an attribute in code page 932",
            file);
    return 0;
}
