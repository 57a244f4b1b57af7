#include "files/page_file.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <filesystem>
#include <new>
#include <tuple>

#include "files/code_page.h"
#include "support/temp_dir.h"

namespace rumora {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Shift-JIS without a byte order mark; characters it lacks become similar
// ones or question marks, whatever the process locale.
TEST(CodePage932, JapaneseTextBecomesShiftJisAndMissingCharactersSimilarOnes) {
    locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    for (const auto& [text, bytes] : std::initializer_list<std::pair<std::string, std::string>>{
             {"<td>日</td>\r\n", "<td>\x93\xfa</td>\r\n"},
             {"ＭＳ Ｐゴシック", "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"},
             {"水無月", "\x90\x85\x96\xb3\x8c\x8e"},
             {"ﾋﾟｸﾁｬ", "\xcb\xdf\xb8\xc1\xac"},
             {"", ""},
             {"a한b", "a?b"},  // Hangul syllable: nothing similar
             {"café", "cafe"},
             {"😀", "?"},
             {std::string("a\xff\xed\xa0\x80z", 6), "a????z"},  // not UTF-8
             {"é‹›«»ü", "e????u"}}) {
        EXPECT_EQ(ToCodePage932(text), bytes) << text;
        const locale_t previous = uselocale(c);
        EXPECT_EQ(ToCodePage932(text), bytes) << text << " in the C locale";
        uselocale(previous);
    }
    freelocale(c);
}

// An event's name as markup: escaped, and what code page 932 lacks as a
// reference on its pages only.
TEST(CodePage932, EventNamesKeepWhatTheCodePageLacksAsReferences) {
    for (const auto& [name, cp932, utf8] :
         std::initializer_list<std::tuple<std::string, std::string, std::string>>{
             {"歯医者 15:00", "歯医者 15:00", "歯医者 15:00"},
             {"誕生日🎂", "誕生日&#127874;", "誕生日🎂"},
             {"a한<b>&\"'", "a&#54620;&lt;b&gt;&amp;&quot;&#39;", "a한&lt;b&gt;&amp;&quot;&#39;"},
             {std::string("x\t\x01\xff", 4), "x  ?", "x  ?"},
             {"café ﾋﾟ", "caf&#233; ﾋﾟ", "café ﾋﾟ"}}) {
        EXPECT_EQ(EventNameMarkup(name, PageEncoding::CodePage932), cp932) << name;
        EXPECT_EQ(EventNameMarkup(name, PageEncoding::Utf8), utf8) << name;
    }
}

// A failure once the whole page is written (the file's own or any other),
// replacing the file whole or (with a second link) rewriting it in place:
// the same error goes on, the old bytes stay and no temporary file does.
// Folders, links and real disks are in tests/disk.
TEST(PageFile, AFailureOnceThePageIsWrittenLeavesTheOldFile) {
    for (const int kind : {0, 1, 2, 3}) {
        const bool linked = kind & 1, fileError = kind < 2;
        TempDir dir;
        const std::string path = dir.File("page.htm");
        WriteBytes(path, "old page, longer than the new one");
        if (linked) std::filesystem::create_hard_link(path, dir.File("link.htm"));
        try {
            WritePageFile(path, "new page", PageEncoding::Utf8, {}, [fileError] {
                if (fileError) throw PageFileError("page.htm", EIO, "injected");
                throw std::bad_alloc();
            });
            ADD_FAILURE() << "no failure reported";
        } catch (const PageFileError&) {
            EXPECT_TRUE(fileError);
        } catch (const std::bad_alloc&) {
            EXPECT_FALSE(fileError);
        }
        EXPECT_EQ(ReadBytes(path), "old page, longer than the new one") << kind;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
                  linked ? 2 : 1)
            << "a temporary file was left behind";
        WritePageFile(path, "日本", PageEncoding::Utf8);
        EXPECT_EQ(ReadBytes(linked ? dir.File("link.htm") : path), "日本");
    }
    EXPECT_THROW(WritePageFile("", "x"), PageFileError);
}

}  // namespace
}  // namespace rumora
