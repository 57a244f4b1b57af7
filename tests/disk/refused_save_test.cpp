// Saves the file system refuses, names that cannot be written, links, and a
// process killed at the worst moment. Whatever happens, the old file keeps
// its bytes, no temporary file stays behind, and the user is told why.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "calendar/page_composer.h"
#include "disk/disk_stage.h"
#include "output/page_file.h"
#include "support/temp_dir.h"

namespace rumora::disk {
namespace {

namespace fs = std::filesystem;

TEST(RefusedSave, ReadOnlyFileSystem) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    Tmpfs disk(256 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    Window window;
    ASSERT_TRUE(window.SaveOldPage(disk.File("page.html")));
    ASSERT_TRUE(disk.Remount(true)) << std::strerror(errno);
    ExpectAllRefused(window, disk.File("page.html"), disk.path(), EROFS, true);
    disk.Remount(false);
}

TEST(RefusedSave, ImmutableFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "setting the immutable flag needs root";
    Tmpfs disk(256 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const std::string folder = disk.File("pages");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    Window window;
    ASSERT_TRUE(window.SaveOldPage(folder + "/page.html"));

    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool gotFlags = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags |= FS_IMMUTABLE_FL;
    if (!gotFlags || ::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
        const int error = errno;
        ::close(fd);
        GTEST_SKIP() << "this kernel's tmpfs has no immutable flag: " << std::strerror(error);
    }
    ExpectAllRefused(window, folder + "/page.html", folder, EPERM, true);
    flags &= ~FS_IMMUTABLE_FL;
    EXPECT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0);
    ::close(fd);
}

// Root ignores permission bits, so the save runs as "nobody".
TEST(RefusedSave, FolderTheUserMayNotWrite) {
    if (::geteuid() != 0) GTEST_SKIP() << "switching to another user needs root";
    testing::TempDir folder;
    fs::permissions(folder.path(), fs::perms(0755));
    Window window;
    ASSERT_TRUE(window.SaveOldPage(folder.File("page.html")));
    ExpectAllRefused(window, folder.File("page.html"), folder.path().string(), EACCES, true, [] {
        return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
    });
}

TEST(RefusedSave, NamesThatCannotBeWritten) {
    testing::TempDir folder;
    Window window;

    // A folder where the page should go: it and what it holds stay.
    const std::string asFolder = folder.File("page.html");
    ASSERT_TRUE(fs::create_directory(asFolder));
    testing::WriteBytes(asFolder + "/keep.txt", "kept");
    ExpectAllRefused(window, asFolder, folder.path().string(), EISDIR, false);
    EXPECT_EQ(testing::ReadBytes(asFolder + "/keep.txt"), "kept");
    EXPECT_EQ(Names(asFolder), std::set<std::string>{"keep.txt"});

    // A missing parent folder is not created.
    ExpectAllRefused(window, folder.File("missing/page.html"), folder.path().string(), ENOENT,
                     false);
    EXPECT_FALSE(fs::exists(folder.File("missing")));

    // One byte over the limit of a name; the limit itself still works, the
    // temporary file's name being its own.
    ExpectAllRefused(window, folder.File(std::string(251, 'n') + ".html"), folder.path().string(),
                     ENAMETOOLONG, false);
    const std::string longest = folder.File(std::string(250, 'n') + ".html");
    EXPECT_TRUE(SaveWithTool(longest, PageSize::Small).saved);
    EXPECT_EQ(Names(folder.path().string()),
              (std::set<std::string>{"page.html", std::string(250, 'n') + ".html"}));
}

// A link stays a link and the file it names gets the page, keeping its
// permission bits; a dangling link gets its file created, as a plain write
// through it would.
TEST(LinkedSave, ReplacesTheFileTheLinkNames) {
    testing::TempDir folder;
    const fs::path real = folder.path() / "real";
    fs::create_directory(real);
    testing::WriteBytes((real / "page.html").string(), "old page");
    fs::permissions(real / "page.html", fs::perms(0640));
    const std::string link = folder.File("page.html");
    fs::create_symlink("real/page.html", link);
    const std::string dangling = folder.File("new.html");
    fs::create_symlink("real/new.html", dangling);

    EXPECT_TRUE(SaveWithTool(link, PageSize::Medium).saved);
    EXPECT_EQ(testing::ReadBytes((real / "page.html").string()), ToolPageBytes(PageSize::Medium));

    Window window;
    EXPECT_TRUE(window.SaveAs(dangling, PageSize::Small).saved);
    EXPECT_EQ(testing::ReadBytes((real / "new.html").string()), window.PageBytes());
    EXPECT_EQ(window.form.s.strSaveName, dangling);
    EXPECT_TRUE(window.SaveOver(PageSize::Large).saved);
    EXPECT_EQ(testing::ReadBytes((real / "new.html").string()), window.PageBytes());

    for (const auto& [name, target] :
         {std::pair{link, "real/page.html"}, std::pair{dangling, "real/new.html"}}) {
        EXPECT_TRUE(fs::is_symlink(name)) << name;
        EXPECT_EQ(fs::read_symlink(name), target);
    }
    EXPECT_EQ(fs::status(real / "page.html").permissions(), fs::perms(0640));
    EXPECT_EQ(Names(folder.path().string()),
              (std::set<std::string>{"new.html", "page.html", "real"}));
    EXPECT_EQ(Names(real.string()), (std::set<std::string>{"new.html", "page.html"}));
}

// Killed with the whole page on disk but not yet under its name: the old
// file is whole and the unnamed new one vanishes with the process.
TEST(KilledSave, JustBeforeTheRename) {
    testing::TempDir folder;
    const std::string target = folder.File("page.html");
    Window window;
    ASSERT_TRUE(window.SaveOldPage(target));
    const std::string old = Checksum(target);
    const std::string newPage = MakeHtmlPage(window.form.s, ScreenMetrics{});

    bool reachedRename = false;
    const ChildResult child = RunInChild([&] {
        WritePageFile(target, newPage, PageEncoding::CodePage932, [&] {
            reachedRename = true;
            std::raise(SIGKILL);
        });
        return std::string("survived");
    });
    EXPECT_EQ(child.signal, SIGKILL) << child.output;
    EXPECT_FALSE(reachedRename);  // only the child's copy was set
    EXPECT_EQ(Checksum(target), old);
    EXPECT_EQ(Names(folder.path().string()), std::set<std::string>{"page.html"});

    // And the next save goes through as usual.
    EXPECT_TRUE(SaveWithTool(target, PageSize::Medium).saved);
    EXPECT_EQ(Names(folder.path().string()), std::set<std::string>{"page.html"});
}

}  // namespace
}  // namespace rumora::disk
