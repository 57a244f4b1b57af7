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

class FullTmpfs : public ::testing::TestWithParam<std::tuple<std::uint64_t, PageSize>> {};

TEST_P(FullTmpfs, SavesWholeOrLeavesTheOldFile) {
    const auto [freeBytes, size] = GetParam();
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    Tmpfs disk(256 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const std::string target = disk.File("page.html");

    Window window;
    ASSERT_TRUE(window.SaveOldPage(target));
    std::string old = Checksum(target);

    disk.FillLeaving(freeBytes);
    ASSERT_EQ(disk.FreeBytes(), freeBytes) << "could not stage the free space";
    const std::set<std::string> names{"filler", "page.html"};

    // tmpfs hands out whole pages.
    const std::string toolPage = ToolPageBytes(size);
    const bool fits = (toolPage.size() + 4095) / 4096 * 4096 <= freeBytes;

    for (const std::string who : {"rumora-page", "save over", "save as"}) {
        const bool tool = who == "rumora-page";
        const Outcome saved = tool                 ? SaveWithTool(target, size)
                              : who == "save over" ? window.SaveOver(size)
                                                   : window.SaveAs(target, size);
        if (fits) {
            EXPECT_TRUE(saved.saved) << who << ": " << saved.message;
            EXPECT_EQ(testing::ReadBytes(target), tool ? toolPage : window.PageBytes()) << who;
            old = Checksum(target);
        } else {
            ExpectRefused(saved, target, ENOSPC, who);
            EXPECT_EQ(Checksum(target), old) << who;
        }
        EXPECT_EQ(Names(disk.path()), names) << who;
    }
}

std::string CaseName(const ::testing::TestParamInfo<FullTmpfs::ParamType>& tested) {
    const char* const sizes[] = {"100B", "10KB", "20KB"};
    return std::to_string(std::get<0>(tested.param)) + "BytesFree_" +
           sizes[static_cast<int>(std::get<1>(tested.param))] + "Page";
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
    Window window;
    ASSERT_TRUE(window.SaveOldPage(folder.File("page.html")));
    ExpectAllRefused(window, folder.File("page.html"), folder.path().string(), EFBIG, true, [] {
        const rlimit limit{4096, 4096};
        std::signal(SIGXFSZ, SIG_IGN);
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    });
}

}  // namespace
}  // namespace rumora::disk
