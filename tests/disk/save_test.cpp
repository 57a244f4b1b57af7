// Saves with exactly a plain write's rights, on real file systems and as
// other users: whatever happens, the file holds the whole new page or its
// old bytes, keeps what it carries, no temporary file stays behind, and the
// user is told why a save was refused.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "calendar/page_composer.h"
#include "disk/disk_stage.h"
#include "output/page_file.h"
#include "support/temp_dir.h"

namespace rumora::disk {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

enum class Saver { Root, Nobody, WebGroupMember, OtherUser, RootWithin4KB };

// The scene: a tmpfs $D holding the folder $F with the page $P, which the
// window saved as root. `stage` (shell) reshapes it; `target` is saved.
struct RightsCase {
    const char* name;
    const char* stage;
    Saver saver;
    int error;  // 0: every save goes through
    const char* target = "page.html";
};

#define PLANT_LINK "echo 1 >/proc/sys/fs/protected_symlinks && chmod 1777 $F && ln -s "
const RightsCase kRightsCases[] = {
    {"ReadOnlyFileSystem", "mount -o remount,ro $D", Saver::Root, EROFS},
    {"FullDiskRewritesInPlace", "dd if=/dev/zero of=$D/filler bs=4k || true", Saver::Root, 0},
    {"FullDiskRefusesALongerPage",
     "truncate -s 100 $P && dd if=/dev/zero of=$D/filler bs=4k || true", Saver::Root, ENOSPC},
    {"FileSizeLimitReachedMidWrite", "", Saver::RootWithin4KB, EFBIG},
    {"FolderTheUserMayNotWrite", "", Saver::Nobody, EACCES},
    {"WriteProtectedFileOfTheUser", "chmod 777 $F && chown nobody $P && chmod 444 $P",
     Saver::Nobody, EACCES},
    {"WriteProtectedFileSavedByRoot", "chown nobody $P && chmod 444 $P", Saver::Root, 0},
    {"ReadOnlyFolderHoldingAWritableFile", "chmod 555 $F && chown nobody $P", Saver::Nobody, 0},
    {"ImmutableFolderHoldingAWritableFile", "chattr +i $F", Saver::Root, 0},
    {"GroupMemberKeepsOwnerAndGroup", "chmod 777 $F && chown root:www-data $P && chmod 660 $P",
     Saver::WebGroupMember, 0},
    {"AclAndAttributeKept",
     "chmod 777 $F && chown nobody $P && chmod 640 $P && setfacl -m u:www-data:r-- $P && "
     "setfattr -n user.origin -v hand $P",
     Saver::Nobody, 0},
    {"HardLinkSeesThePage", "ln $P $F/other.html", Saver::Root, 0},
    {"BindMountedFileStaysMounted", "cp $P $D/outside.html && mount --bind $D/outside.html $P",
     Saver::Root, 0},
    {"FileSystemWithoutChmod", "mv $F $D/real && mkdir $F && bindfs --chmod-deny $D/real $F",
     Saver::Root, 0},
    {"SymbolicLinkStaysALink", "mv $P $F/real.html && ln -s real.html $P", Saver::Root, 0},
    {"OtherUsersLinkInAStickyFolder",
     "cp $P $D/outside.html && " PLANT_LINK
     "../outside.html $F/cal.html && chown -h nobody $F/cal.html",
     Saver::Root, EACCES, "cal.html"},
    {"OtherUsersDanglingLinkInAStickyFolder",
     PLANT_LINK "new.html $F/cal.html && chown -h nobody $F/cal.html", Saver::Root, EACCES,
     "cal.html"},
    {"LinkBetweenTwoOrdinaryUsers",
     "cp $P $D/outside.html && chown 12345 $D/outside.html && " PLANT_LINK
     "../outside.html $F/cal.html && chown -h nobody $F/cal.html",
     Saver::OtherUser, EACCES, "cal.html"},
    {"OtherUsersFileInAStickyFolder",
     "echo 1 >/proc/sys/fs/protected_regular && chmod 1777 $F && echo planted >$F/cal.html && "
     "chown nobody $F/cal.html && chmod 666 $F/cal.html",
     Saver::Root, EACCES, "cal.html"},
};
#undef PLANT_LINK

// By Saver: root here, or in a child another user or root within a limit.
const std::function<bool()> kSavers[] = {nullptr, AsUser(kNobody), AsUser(kNobody, {33}),
                                         AsUser(12345), [] {
                                             const rlimit limit{4096, 4096};
                                             std::signal(SIGXFSZ, SIG_IGN);
                                             return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
                                         }};

// The link protections as they were, put back after each case. Cases that
// run at once, in this suite or another checkout's, take turns.
struct Protections {
    const int lock =
        ::open("/tmp/rumora-link-protections.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const char* files[2] = {"/proc/sys/fs/protected_symlinks", "/proc/sys/fs/protected_regular"};
    std::string was[2];
    Protections() {
        ::flock(lock, LOCK_EX);
        for (int i = 0; i < 2; ++i) std::ifstream(files[i]) >> was[i];
    }
    ~Protections() {
        for (int i = 0; i < 2; ++i) std::ofstream(files[i]) << was[i];
        ::close(lock);
    }
};

class SaveRights : public ::testing::TestWithParam<RightsCase> {};

TEST_P(SaveRights, AsAPlainWriteAndNothingLost) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting and switching users need root";
    const RightsCase& c = GetParam();
    Tmpfs disk(512 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const std::string folder = disk.File("pages");
    ASSERT_TRUE(fs::create_directory(folder));
    Window window;
    ASSERT_TRUE(window.SaveOldPage(folder + "/page.html"));
    const Protections protections;
    ::setenv("D", disk.path().c_str(), 1);
    ::setenv("F", folder.c_str(), 1);
    ::setenv("P", (folder + "/page.html").c_str(), 1);
    const std::string stage = std::string("set -e; ") + c.stage + " >/dev/null 2>&1";
    if (std::system(stage.c_str()) != 0) GTEST_SKIP() << "cannot stage here: " << c.stage;

    const std::string target = folder + "/" + c.target;
    ExpectAllSaves(window, target, folder, c.error, c.target == std::string("page.html"),
                   kSavers[static_cast<int>(c.saver)]);
    // Every other name of the file sees the page.
    if (c.error == 0) {
        for (const std::string& other : {folder + "/other.html", disk.File("outside.html")}) {
            if (fs::exists(other)) {
                EXPECT_EQ(testing::ReadBytes(other), testing::ReadBytes(target)) << other;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveRights, ::testing::ValuesIn(kRightsCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

TEST(RefusedSave, NamesThatCannotBeWritten) {
    testing::TempDir folder;
    Window window;

    // A folder where the page should go: it and what it holds stay.
    const std::string asFolder = folder.File("page.html");
    ASSERT_TRUE(fs::create_directory(asFolder));
    testing::WriteBytes(asFolder + "/keep.txt", "kept");
    ExpectAllSaves(window, asFolder, folder.path().string(), EISDIR, false);
    EXPECT_EQ(testing::ReadBytes(asFolder + "/keep.txt"), "kept");
    EXPECT_EQ(Names(asFolder), std::set<std::string>{"keep.txt"});

    // A missing parent folder is not created.
    ExpectAllSaves(window, folder.File("missing/page.html"), folder.path().string(), ENOENT, false);
    EXPECT_FALSE(fs::exists(folder.File("missing")));

    // One byte over the limit of a name; the limit itself still works, the
    // temporary file's name being its own.
    ExpectAllSaves(window, folder.File(std::string(251, 'n') + ".html"), folder.path().string(),
                   ENAMETOOLONG, false);
    const std::string longest = folder.File(std::string(250, 'n') + ".html");
    EXPECT_TRUE(SaveWithTool(longest, PageSize::Small).saved);
    EXPECT_EQ(Names(folder.path().string()),
              (std::set<std::string>{"page.html", std::string(250, 'n') + ".html"}));
}

// New files get the umask's bits, as from a plain write; a dangling link
// gets the file it names made and stays a link.
TEST(LinkedSave, NewFilesAndDanglingLinks) {
    testing::TempDir folder;
    const std::string dangling = folder.File("new.html");
    const std::string made = folder.File("real/new.html");
    fs::create_directory(folder.path() / "real");
    fs::create_symlink("real/new.html", dangling);

    Window window;
    const mode_t umask = ::umask(027);
    EXPECT_TRUE(window.SaveAs(dangling, PageSize::Small).saved);
    EXPECT_TRUE(SaveWithTool(folder.File("plain.html"), PageSize::Small).saved);
    ::umask(umask);
    EXPECT_EQ(testing::ReadBytes(made), window.PageBytes());
    EXPECT_TRUE(window.SaveOver(PageSize::Large).saved);
    EXPECT_EQ(testing::ReadBytes(made), window.PageBytes());

    EXPECT_EQ(fs::read_symlink(dangling), "real/new.html");
    for (const std::string& name : {made, folder.File("plain.html")}) {
        EXPECT_EQ(fs::status(name).permissions(), fs::perms(0640)) << name;
    }
    EXPECT_EQ(Names(folder.path().string()),
              (std::set<std::string>{"new.html", "plain.html", "real"}));
    EXPECT_EQ(Names(folder.File("real")), std::set<std::string>{"new.html"});
}

// Killed with the whole page under its hidden name, just before the rename:
// the old file is whole. The hidden file stays while it may belong to a
// save still at work, and the first save after a minute removes it, but
// never another user's nor a name of another kind.
TEST(KilledSave, LeavesAHiddenFileTheNextSaveRemovesOnceStale) {
    testing::TempDir folder;
    const std::string target = folder.File("page.html");
    Window window;
    ASSERT_TRUE(window.SaveOldPage(target));
    const std::string old = testing::ReadBytes(target);
    const std::string newPage = MakeHtmlPage(window.form.s, ScreenMetrics{});

    const ChildResult child = RunInChild([&] {
        WritePageFile(target, newPage, PageEncoding::CodePage932, {}, [] { std::raise(SIGKILL); });
        return std::string("survived");
    });
    EXPECT_EQ(child.signal, SIGKILL) << child.output;
    EXPECT_EQ(testing::ReadBytes(target), old);
    const std::set<std::string> names = Names(folder.path().string());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names.begin()->starts_with(".rumora-")) << *names.begin();

    EXPECT_TRUE(SaveWithTool(target, PageSize::Medium).saved);
    EXPECT_EQ(Names(folder.path().string()), names) << "a fresh hidden file was removed";

    // Aged past a minute, beside look-alikes: other names, another user's.
    if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root";
    const std::string lookAlikes =
        ".rumora-notours.tmp .rumora-abcdefghijkl.html "
        ".rumora-abcdefghijkl.tmp";
    ASSERT_EQ(
        std::system(("cd " + folder.path().string() + " && touch " + lookAlikes +
                     " && chown nobody .rumora-abcdefghijkl.tmp && touch -d '-2 min' .rumora-*")
                        .c_str()),
        0);
    EXPECT_TRUE(window.SaveOver(PageSize::Medium).saved);
    EXPECT_EQ(testing::ReadBytes(target), window.PageBytes());
    EXPECT_EQ(Names(folder.path().string()),
              (std::set<std::string>{"page.html", ".rumora-notours.tmp",
                                     ".rumora-abcdefghijkl.html", ".rumora-abcdefghijkl.tmp"}));
}

}  // namespace
}  // namespace rumora::disk
