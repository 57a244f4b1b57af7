// Hostile text in every field that reaches the page. Whatever is typed,
// dropped or passed in, the page builds, ends with </html>, is written whole,
// and no inserted text becomes live markup in the Shift-JIS file.
#include <gtest/gtest.h>
#include <iconv.h>
#include <locale.h>

#include <QString>
#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/page_settings.h"
#include "calendar/page_composer.h"
#include "hostile/hostile_support.h"
#include "output/code_page.h"
#include "output/page_file.h"
#include "picture/picture_measure.h"
#include "support/pictures.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora {
namespace {

using testing::ReadBytes;
using testing::TempDir;

const ScreenMetrics kScreen{};
const std::array<const char*, 4> kLayouts{kLayoutSimple, kLayoutStandard1, kLayoutStandard2,
                                          kLayoutProgress};

// The same text in every text field the page takes in.
PageSettings EveryFieldHolding(const std::string& text, const char* layout) {
    PageSettings s = MakeDefaultSettings();
    s.lblLayOut.Caption = layout;
    s.MonthView1.Year = 2024;
    s.MonthView1.Month = 2;
    s.chkbold.Value = 1;
    s.lblFont.Caption = text;
    s.txttblborder.Text = text;
    s.txtImgBorder.Text = text;
    s.txtImg.Text = text;
    return s;
}

std::string SavedPage(PageSettings s, const TempDir& dir) {
    const std::string page = MakeHtmlPage(s, kScreen);
    const std::string file = dir.File("page.html");
    WritePageFile(file, page);
    return ReadBytes(file);
}

std::array<std::size_t, 5> MarkupCounts(std::string_view bytes) {
    std::array<std::size_t, 5> counts{};
    for (char c : bytes) {
        const auto at = std::string_view("<>\"&'").find(c);
        if (at != std::string_view::npos) ++counts[at];
    }
    return counts;
}

// The picture address as written in the file, after "file:///".
std::string PictureAddress(std::string_view file) {
    const auto start = file.find("file:///");
    if (start == std::string_view::npos) return {};
    std::size_t end = std::string_view::npos;
    for (std::string_view close : {"\" width=", " width=", ") no-repeat"}) {
        end = std::min(end, file.find(close, start));
    }
    return std::string(file.substr(start + 8, end - start - 8));
}

// The characters of code page 932 text; the second byte of a two-byte
// character may look like ASCII ("ソ" is 83 5C) but is not.
std::vector<std::string_view> Characters932(std::string_view bytes) {
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < bytes.size(); i += characters.back().size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        characters.push_back(bytes.substr(i, lead ? 2 : 1));
    }
    return characters;
}

// Converts with iconv; false when `in` holds what `to` cannot hold.
bool Convert(const char* to, const char* from, std::string in, std::string& out) {
    const iconv_t cd = iconv_open(to, from);
    out.assign(in.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const bool done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return done;
}

// Places in the address that a browser would read as the address's end, as
// markup, or as the start of a query: where the code page would write "?"
// for a character it lacks, the address must hold its UTF-8 bytes (or the
// raw byte of a name that is not UTF-8) percent-encoded, which Chromium
// follows to the file.
bool AddressIsInert(std::string_view address) {
    for (std::string_view ch : Characters932(address)) {
        const auto c = static_cast<unsigned char>(ch[0]);
        if (ch.size() == 1 &&
            (c <= 0x20 || c == 0x7F ||
             std::string_view("\"'<>&#(){}`?").find(ch[0]) != std::string_view::npos)) {
            return false;
        }
    }
    return true;
}

// Hostile text must change nothing but itself: the page's markup characters
// are those of the same page with a plain "x" in every field, and the file is
// clean code page 932.
void ExpectInert(const std::string& text, const std::string& label) {
    TempDir dir;
    for (const char* layout : kLayouts) {
        SCOPED_TRACE(label + " in " + layout);
        const std::string reference = SavedPage(EveryFieldHolding("x", layout), dir);
        PageSettings s = EveryFieldHolding(text, layout);
        const std::string page = MakeHtmlPage(s, kScreen);
        EXPECT_TRUE(page.ends_with("</html>"));
        const std::string file = SavedPage(s, dir);
        EXPECT_EQ(file, ToCodePage932(page)) << "the file is not the whole page";
        EXPECT_EQ(MarkupCounts(file), MarkupCounts(reference));
        std::string decoded;
        EXPECT_TRUE(Convert("UTF-8", "CP932", file, decoded)) << "not clean code page 932";
        if (layout != std::string_view(kLayoutSimple)) {
            EXPECT_TRUE(AddressIsInert(PictureAddress(file))) << PictureAddress(file);
        }
    }
}

TEST(HostileText, MillionCharacterFontNameAndPicturePath) {
    std::string font;
    for (int i = 0; i < 1'000'000; ++i) font += "あ";
    std::string picture = "/tmp/no such folder";
    while (picture.size() < 1'000'000) picture += "/a b#c%d";
    picture.resize(1'000'000);

    TempDir dir;
    for (const char* layout : kLayouts) {
        SCOPED_TRACE(layout);
        PageSettings s = EveryFieldHolding("1", layout);
        s.lblFont.Caption = font;
        s.txtImg.Text = picture;
        const std::string file = SavedPage(s, dir);
        EXPECT_TRUE(file.ends_with("</html>"));
        // Each あ is one two-byte character in the file; nothing is cut off.
        EXPECT_NE(file.find("<font face=\"" + ToCodePage932(font) + "\">"), std::string::npos);
        if (layout != std::string_view(kLayoutSimple)) {
            const std::string address = PictureAddress(file);
            EXPECT_GT(address.size(), picture.size());
            EXPECT_TRUE(AddressIsInert(address));
        }
    }

    // The batch tool: the path is far too long to open, so nothing is made;
    // with the size given the page is made in full.
    const std::string out = dir.File("tool.html");
    const testing::ToolRun refused = testing::RunTool(
        {"--layout", "standard1", "--font", font, "--picture", picture, "-o", out});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(testing::RunTool({"--layout", "progress", "--font", font, "--picture", picture,
                                "--picture-size", "120x80", "-o", out})
                  .status,
              0);
    EXPECT_TRUE(ReadBytes(out).ends_with("</html>"));
}

TEST(HostileText, ControlAndDirectionCharactersInEveryField) {
    const std::vector<std::pair<std::string, std::string>> texts{
        {std::string("a\0b", 3), "NUL"},
        {"a\rb", "CR"},
        {"a\nb", "LF"},
        {"a\r\nb\r\n", "CR LF"},
        {"\x01\x07\x08\t\x0b\x0c\x1b[31m\x1f\x7f", "control characters"},
        {"\u202Egpj.exe\u202C", "right-to-left override"},
        {"\u200F\u200E\u061C\u2066\u2067\u2068\u2069", "direction marks and isolates"},
        {"\uFEFF\u200B\u2028\u2029", "BOM, zero-width space, line and paragraph separators"},
    };
    for (const auto& [text, label] : texts) ExpectInert(text, label);

    // The same texts as language or layout caption match nothing.
    for (const auto& [text, label] : texts) {
        SCOPED_TRACE(label);
        PageSettings language = EveryFieldHolding("1", kLayoutStandard1);
        language.cmbLanguage.Text = text;
        const std::string page = MakeHtmlPage(language, kScreen);
        EXPECT_EQ(page.find("bgcolor=#96FAB4"), std::string::npos) << "header row for " << label;
        EXPECT_NE(page.find("- February -"), std::string::npos);

        PageSettings caption = EveryFieldHolding("1", kLayoutSimple);
        caption.lblLayOut.Caption = std::string(kLayoutSimple) + text;
        EXPECT_EQ(MakeHtmlPage(caption, kScreen).find("<table"), std::string::npos);
    }
}

// Every character that glibc's Shift-JIS transliteration turns into
// something holding < > " & or ', found by asking iconv directly.
std::vector<std::string> CharactersTransliteratedIntoMarkup() {
    const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(utf8);
    std::vector<std::string> found;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::string utf = QString::fromUcs4(&c, 1).toStdString();
        std::string out;
        if (Convert("CP932//TRANSLIT", "UTF-8", utf, out) &&
            out.find_first_of("<>\"&'") != std::string::npos) {
            found.push_back(utf);
        }
    }
    uselocale(previous);
    freelocale(utf8);
    return found;
}

TEST(HostileText, CharactersThatTransliterateIntoMarkupStayInert) {
    const std::vector<std::string> found = CharactersTransliteratedIntoMarkup();
    EXPECT_GE(found.size(), 30u);
    for (const char* named : {"‹", "›", "﹤", "﹥", "‟", "﹠", "«", "»"}) {
        EXPECT_NE(std::find(found.begin(), found.end(), named), found.end())
            << named << " no longer transliterates";
    }
    std::string all;
    for (const std::string& c : found) all += c;
    ExpectInert(all, "all of them");
    ExpectInert("‹script›alert(1)‹/script› ‟ onload=‟x ﹠lt;", "a crafted attack");
}

TEST(HostileText, EmojiSurrogatesAndInvalidUtf8) {
    const std::vector<std::pair<std::string, std::string>> texts{
        {"😀👨‍👩‍👧🇯🇵🏳️‍🌈", "emoji and their joiners"},
        {"\xED\xA0\x80", "lone surrogate"},
        {"\xED\xA0\xBD\xED\xB8\x80", "surrogate pair in UTF-8 (CESU-8)"},
        {"\xC0\xBC\xE0\x80\xBC\xF0\x80\x80\xBC\xC0\xA2\xC0\xA7", "overlong < \" '"},
        {"\xF8\x88\x80\x80\x80\xFC\x84\x80\x80\x80\x80\xF4\x90\x80\x80", "beyond U+10FFFF"},
        {"\x80\xBF\xFE\xFF", "stray bytes"},
        {"abc\xE3\x81", "cut short at the end"},
        {"/tmp/사진/p.png", "Hangul, which code page 932 lacks"},
        {"/tmp/caf\xE9/p.png", "a Latin-1 name"},
    };
    for (const auto& [text, label] : texts) ExpectInert(text, label);
}

// Each character comes out as exactly one character of code page 932: a
// similar one or "?", never nothing. The page fuzzer found that U+00A0 and
// U+2002 become blanks and U+FE59 / U+FE5A parentheses, which broke the
// picture address apart.
TEST(HostileText, LookAlikesAndCombiningMarksKeepOneCharacterEach) {
    // ¥ ‾ 〜 − ～ ‖ ¢ £ ¬, blanks, brackets and signs from other scripts, then
    // e + acute, か + voiced mark, and a pile of marks.
    std::string text = "¥‾〜−～‖¢£¬\u00A0\u2002\u2003﹙﹚﹟﹪e\u0301か\u3099a";
    for (int i = 0; i < 500; ++i) text += "\u0308";
    const std::size_t characters = 21 + 500;
    ExpectInert(text, "look-alikes and combining marks");

    EXPECT_EQ(Characters932(ToCodePage932(text)).size(), characters);
    // The ones a Japanese page shows as themselves.
    EXPECT_EQ(ToCodePage932("〜−～"), "\x81\x60\x81\x7C\x81\x60");
}

// A C string ends at NUL, so a name holding one would name another file.
TEST(HostileText, FileNameWithNulNamesNoOtherFile) {
    TempDir dir;
    testing::WriteBytes(dir.File("p.png"), testing::EncodedPicture(3, 2, "png"));
    const std::string picture = dir.File("p.png") + std::string("\0.txt", 5);
    EXPECT_NE(MeasurePicture(picture).outcome, PictureMeasurement::Outcome::Measured)
        << "measured " << dir.File("p.png") << " instead";

    const std::string output = dir.File("out.html") + std::string("\0.txt", 5);
    EXPECT_THROW(WritePageFile(output, "<html></html>"), PageFileError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.html")));
}

}  // namespace
}  // namespace rumora
