// A full disk and a file size limit, met by saves from the batch tool and
// from the window: either the whole new page is on disk, or the old file is
// as it was, with no temporary file left and a message that says why.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <tuple>

#include "disk/disk_stage.h"
#include "support/temp_dir.h"

namespace rumora::disk {
namespace {

const char* SizeName(PageSize size) {
    switch (size) {
        case PageSize::Small:
            return "100B";
        case PageSize::Medium:
            return "10KB";
        case PageSize::Large:
            return "20KB";
    }
    return "";
}

class FullTmpfs : public ::testing::TestWithParam<std::tuple<std::uint64_t, PageSize>> {};

TEST_P(FullTmpfs, SavesWholeOrLeavesTheOldFile) {
    const auto [freeBytes, size] = GetParam();
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    Tmpfs disk(256 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const std::string target = disk.File("page.html");

    Window window;
    window.form.s.cmbLanguage.Text = kLanguageEnglish;  // the old page differs from the new
    ASSERT_TRUE(window.SaveAs(target, PageSize::Medium).saved);
    window.form.s.cmbLanguage.Text = kLanguageJapanese;
    std::string old = Checksum(target);

    disk.FillLeaving(freeBytes);
    ASSERT_EQ(disk.FreeBytes(), freeBytes) << "could not stage the free space";
    const std::set<std::string> names{"filler", "page.html"};

    // tmpfs hands out whole pages.
    const std::string toolPage = ToolPageBytes(size);
    const bool fits = (toolPage.size() + 4095) / 4096 * 4096 <= freeBytes;

    const Outcome tool = SaveWithTool(target, size);
    if (fits) {
        EXPECT_TRUE(tool.saved) << tool.message;
        EXPECT_EQ(testing::ReadBytes(target), toolPage);
        old = Checksum(target);
    } else {
        ExpectRefused(tool, target, ENOSPC, "rumora-page");
        EXPECT_EQ(Checksum(target), old);
    }
    EXPECT_EQ(Names(disk.path()), names);

    for (const bool over : {true, false}) {
        const Outcome saved = over ? window.SaveOver(size) : window.SaveAs(target, size);
        const std::string who = over ? "save over" : "save as";
        if (fits) {
            EXPECT_TRUE(saved.saved) << who << ": " << saved.message;
            EXPECT_EQ(testing::ReadBytes(target), window.PageBytes()) << who;
            old = Checksum(target);
        } else {
            ExpectRefused(saved, target, ENOSPC, who);
            EXPECT_EQ(Checksum(target), old) << who;
        }
        EXPECT_EQ(Names(disk.path()), names) << who;
    }
}

std::string CaseName(const ::testing::TestParamInfo<FullTmpfs::ParamType>& tested) {
    return std::to_string(std::get<0>(tested.param)) + "BytesFree_" +
           SizeName(std::get<1>(tested.param)) + "Page";
}

INSTANTIATE_TEST_SUITE_P(FreeSpaceAndPageSize, FullTmpfs,
                         ::testing::Combine(::testing::Values(0u, 4096u),
                                            ::testing::Values(PageSize::Small, PageSize::Medium,
                                                              PageSize::Large)),
                         CaseName);

// The limit cuts the page off mid-write: the first write is short, the
// next one fails with EFBIG instead of killing the process.
TEST(FileSizeLimit, ReachedMidWriteLeavesTheOldFile) {
    testing::TempDir folder;
    const std::string target = folder.File("page.html");
    Window window;
    ASSERT_TRUE(window.SaveAs(target, PageSize::Small).saved);
    const std::string old = Checksum(target);

    const ChildResult child = RunInChild([&] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        return SaveWithTool(target, PageSize::Large).Serialize() +
               window.SaveOver(PageSize::Large).Serialize() +
               window.SaveAs(target, PageSize::Medium).Serialize();
    });
    ASSERT_TRUE(child.exited) << "the child died of signal " << child.signal;

    const std::vector<Outcome> outcomes = Outcome::ParseAll(child.output);
    ASSERT_EQ(outcomes.size(), 3u) << child.output;
    ExpectRefused(outcomes[0], target, EFBIG, "rumora-page");
    ExpectRefused(outcomes[1], target, EFBIG, "save over");
    ExpectRefused(outcomes[2], target, EFBIG, "save as");
    EXPECT_EQ(Checksum(target), old);
    EXPECT_EQ(Names(folder.path()), std::set<std::string>{"page.html"});
}

}  // namespace
}  // namespace rumora::disk
