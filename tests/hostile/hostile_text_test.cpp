// Hostile text in every field that reaches the page. Whatever is typed,
// dropped or passed in, the page builds, is written whole, and no inserted
// text becomes live markup in the Shift-JIS file.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/utf8.h"
#include "files/code_page.h"
#include "files/page_file.h"
#include "hostile/hostile_support.h"
#include "measure/picture_measure.h"
#include "page/page_composer.h"
#include "support/pictures.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora::testing {
namespace {

const ScreenMetrics kScreen{};
const PageLayout kLayouts[] = {PageLayout::Simple, PageLayout::Standard1, PageLayout::Standard2,
                               PageLayout::Progress};

// The same text in every text field the page takes in; the border fields
// hold one character at most, so they get its first.
PageOptions EveryFieldHolding(const std::string& text, PageLayout layout) {
    PageOptions s;
    s.layout = layout;
    s.firstMonth = {2024, 2};
    s.weight = FontWeight::Bold;
    s.fontFace = s.picturePath = text;
    s.tableBorder = s.pictureBorder = text.substr(0, CharacterLength(text, 0));
    return s;
}

std::string SavedPage(const PageOptions& s, const TempDir& dir) {
    WritePageFile(dir.File("page.html"), MakeHtmlPage(s, kScreen));
    return ReadBytes(dir.File("page.html"));
}

// Converts with iconv; false when `in` holds what `to` cannot hold.
bool Convert(const char* to, const char* from, std::string in, std::string& out) {
    const iconv_t cd = iconv_open(to, from);
    out.assign(in.size() * 4 + 16, '\0');
    char *inPtr = in.data(), *outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return done;
}

// Control and direction characters, emoji, invalid UTF-8, names the code page
// lacks, and characters that transliterate into markup.
TEST(HostileText, EveryClassInEveryFieldStaysInert) {
    // Every character glibc's Shift-JIS transliteration turns into < > " & or '.
    const std::string transliterated = "«»ŉˈ˝‛‟‹›⁊↔↮⇍⇎⇏⇐≤≥≮≯≰≱≴≵≸≹⋘⋙⟨⟩⟪⟫⦉⦊⧼⧽﹠﹤﹥";
    // Look-alikes and combining marks each come out as one character of the
    // code page, never nothing: U+00A0 and U+2002 once became blanks and
    // U+FE59 / U+FE5A parentheses, which broke the picture address apart.
    std::string lookAlikes = "¥‾〜−～‖¢£¬\u00A0\u2002\u2003﹙﹚﹟﹪e\u0301か\u3099a";
    for (int i = 0; i < 500; ++i) lookAlikes += "\u0308";
    std::string decoded;
    ASSERT_TRUE(Convert("UTF-8", "CP932", ToCodePage932(lookAlikes), decoded));
    EXPECT_EQ(std::ranges::count_if(decoded, [](char c) { return (c & 0xC0) != 0x80; }), 21 + 500);
    EXPECT_EQ(ToCodePage932("〜−～"), "\x81\x60\x81\x7C\x81\x60");
    const std::pair<std::string, const char*> texts[] = {
        {lookAlikes, "look-alikes and combining marks"},
        {std::string("a\0b", 3), "NUL"},
        {"a\rb\nc\r\n", "line ends"},
        {"\x01\x07\x08\t\x0b\x0c\x1b[31m\x1f\x7f", "control characters"},
        {"\u202Egpj.exe\u202C\u200F\u200E\u061C\u2066\u2067\u2068\u2069", "direction marks"},
        {"\uFEFF\u200B\u2028\u2029", "BOM, zero-width space, separators"},
        {"😀👨‍👩‍👧🇯🇵🏳️‍🌈", "emoji and their joiners"},
        {"\xED\xA0\x80\xED\xA0\xBD\xED\xB8\x80", "surrogates"},
        {"\xC0\xBC\xE0\x80\xBC\xF0\x80\x80\xBC\xC0\xA2\xC0\xA7", "overlong < \" '"},
        {"\xF8\x88\x80\x80\x80\xFC\x84\x80\x80\x80\x80\xF4\x90\x80\x80\x80\xBF\xFE\xFF",
         "beyond U+10FFFF, stray bytes"},
        {"abc\xE3\x81", "cut short at the end"},
        {"/tmp/사진/p.png", "Hangul, which code page 932 lacks"},
        {"/tmp/caf\xE9/p.png", "a Latin-1 name"},
        {transliterated, "every character transliterating into markup"},
        {"‹script›alert(1)‹/script› ‟ onload=‟x ﹠lt;", "a crafted attack"},
    };
    // Each changes nothing but itself: the tags are those of a plain "x" in every
    // field, the picture address is whole, the file the whole page in clean CP932.
    TempDir dir;
    for (const auto& [text, label] : texts) {
        for (const PageLayout layout : kLayouts) {
            SCOPED_TRACE(std::string(label) + " in " + LayoutName(layout));
            PageOptions s = EveryFieldHolding(text, layout);
            const std::string page = MakeHtmlPage(s, kScreen);
            const std::string file = SavedPage(s, dir);
            EXPECT_TRUE(page.ends_with("</html>"));
            EXPECT_EQ(file, ToCodePage932(page)) << "the file is not the whole page";
            EXPECT_EQ(hostile::Tags(file),
                      hostile::Tags(SavedPage(EveryFieldHolding("x", layout), dir)));
            EXPECT_TRUE(Convert("UTF-8", "CP932", file, decoded)) << "not clean code page 932";
            EXPECT_EQ(hostile::PictureAddress(file, layout).has_value(),
                      layout != PageLayout::Simple);
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
    for (const PageLayout layout : kLayouts) {
        SCOPED_TRACE(LayoutName(layout));
        PageOptions s = EveryFieldHolding("1", layout);
        s.fontFace = font;
        s.picturePath = picture;
        const std::string file = SavedPage(s, dir);
        EXPECT_TRUE(file.ends_with("</html>"));
        // Each あ is one two-byte character in the file; nothing is cut off.
        EXPECT_NE(file.find("<font face=\"" + ToCodePage932(font) + "\">"), std::string::npos);
        if (layout == PageLayout::Simple) continue;
        EXPECT_GT(hostile::PictureAddress(file, layout).value_or("").size(), picture.size());
    }
    // With the size given the batch tool makes the page in full.
    const std::string out = dir.File("tool.html");
    EXPECT_EQ(RunTool({"--layout", "progress", "--font", font, "--picture", picture,
                       "--picture-size", "120x80", "-o", out})
                  .status,
              0);
    EXPECT_TRUE(ReadBytes(out).ends_with("</html>"));
}

// A C string ends at NUL, so a name holding one would name another file.
TEST(HostileText, FileNameWithNulNamesNoOtherFile) {
    TempDir dir;
    WriteBytes(dir.File("p.png"), EncodedPicture(3, 2, "png"));
    const std::string nul("\0.txt", 5);
    EXPECT_NE(MeasurePicture(dir.File("p.png") + nul).outcome,
              PictureMeasurement::Outcome::Measured);
    EXPECT_THROW(WritePageFile(dir.File("out.html") + nul, "<html></html>"), PageFileError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.html")));
}

}  // namespace
}  // namespace rumora::testing
