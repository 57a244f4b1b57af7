#include "output/page_file.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "output/code_page.h"
#include "support/temp_dir.h"

namespace rumora {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(CodePage932, JapaneseTextBecomesShiftJisWithoutByteOrderMark) {
    EXPECT_EQ(ToCodePage932("<td>日</td>\r\n"), "<td>\x93\xfa</td>\r\n");
    EXPECT_EQ(ToCodePage932("ＭＳ Ｐゴシック"),
              "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    EXPECT_EQ(ToCodePage932("水無月"), "\x90\x85\x96\xb3\x8c\x8e");
    EXPECT_EQ(ToCodePage932("ﾋﾟｸﾁｬ"), "\xcb\xdf\xb8\xc1\xac");
    EXPECT_EQ(ToCodePage932(""), "");
}

TEST(CodePage932, MissingCharactersBecomeSimilarOnesOrQuestionMarks) {
    EXPECT_EQ(ToCodePage932("a한b"), "a?b");   // Hangul syllable: nothing similar
    EXPECT_EQ(ToCodePage932("café"), "cafe");  // transliterated whatever the locale
    EXPECT_EQ(ToCodePage932("😀"), "?");
    EXPECT_EQ(ToCodePage932(std::string("a\xff\xed\xa0\x80z", 6)), "a????z");  // not UTF-8
}

TEST(CodePage932, ResultDoesNotDependOnTheProcessLocale) {
    const std::string text = "é‹›«»ü";
    locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(c);
    const std::string underC = ToCodePage932(text);
    uselocale(previous);
    freelocale(c);
    EXPECT_EQ(underC, ToCodePage932(text));
    EXPECT_EQ(underC, "e????u");
}

TEST(PageFile, WritesShiftJisAndReplacesALongerFileWhole) {
    TempDir dir;
    const std::string path = dir.File("page.htm");
    WriteBytes(path, std::string(5000, 'x'));
    ::chmod(path.c_str(), 0640);
    WritePageFile(path, "<html>日\r\n</html>");
    EXPECT_EQ(ReadBytes(path), "<html>\x93\xfa\r\n</html>");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the file's permissions were not kept";
    EXPECT_EQ(EntriesIn(dir.path()), 1u);

    WritePageFile(path, "日本", PageEncoding::Utf8);
    EXPECT_EQ(ReadBytes(path), "日本");
}

TEST(PageFile, NewFileTakesUmaskPermissionsAndNameIsUsedUnchanged) {
    TempDir dir;
    const mode_t old = ::umask(022);
    const std::string path = dir.File("calendar");  // no extension added
    WritePageFile(path, "x");
    ::umask(old);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(ReadBytes(path), "x");
}

// A failure just before the new page takes the name. A missing folder, a
// folder as the target and links are in tests/disk.
TEST(PageFile, FailuresLeaveTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.File("page.htm");
    WriteBytes(path, "old page");
    EXPECT_THROW(WritePageFile(path, "new page", PageEncoding::Utf8,
                               [] { throw PageFileError("page.htm", EIO, "injected"); }),
                 PageFileError);
    EXPECT_EQ(ReadBytes(path), "old page");
    EXPECT_EQ(EntriesIn(dir.path()), 1u) << "a temporary file was left behind";
    // An empty name.
    EXPECT_THROW(WritePageFile("", "x"), PageFileError);
}

}  // namespace
}  // namespace rumora
