// Saves with a plain write's rights: the file holds the whole new page or its
// old bytes and keeps what it carries, no temporary file stays, refusals say why.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "files/code_page.h"
#include "files/page_file.h"
#include "logic/form1.h"
#include "page/page_composer.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora::disk {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
// A save's status, what must stay empty (standard output, what a refused
// window changed) and its error output or message.
using Result = testing::ToolRun;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code e;
    for (const auto& f : fs::directory_iterator(folder, e)) names.insert(f.path().filename());
    return names;
}

std::string Drain(std::FILE* file, int (*close)(std::FILE*) = std::fclose) {
    std::string text;
    char b[4096];
    for (std::size_t got; (got = std::fread(b, 1, sizeof b, file)) > 0;) text.append(b, got);
    close(file);
    return text;
}

// The name's type, owner, group, mode, links and extended attributes.
std::string MetaOf(const std::string& path) {
    const std::string q = "'" + path + "'";
    const std::string command = "stat -c %F " + q + "; stat -Lc '%u %g %f %h' " + q +
                                "; getfattr -dm- -e hex --absolute-names " + q + " 2>&1";
    return Drain(::popen(command.c_str(), "r"), ::pclose);
}

// Unmounted (even if left read-only) before the folder goes.
struct Tmpfs : testing::TempDir {
    const int mount = ::mount("tmpfs", path().c_str(), "tmpfs", 0, "size=512k,mode=0755");
    ~Tmpfs() {
        if (mount == 0) ::umount2(path().c_str(), MNT_DETACH);
    }
};

// What `body` returns in a child that ends with _exit (no destructors), and its wait status.
Result RunInChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return {-1, "", ""};
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string out = body();
        ::_exit(::write(fds[1], out.data(), out.size()) == ssize_t(out.size()) ? 0 : 3);
    }
    ::close(fds[1]);
    Result result{-1, Drain(::fdopen(fds[0], "r")), ""};
    if (child > 0) ::waitpid(child, &result.status, 0);
    return result;
}

// Becomes `uid` with these groups only, still able to read its own /proc.
std::function<bool()> As(uid_t uid, std::vector<gid_t> groups = {}, rlim_t size = RLIM_INFINITY) {
    return [=] {
        const rlimit limit{size, size};
        std::signal(SIGXFSZ, SIG_IGN);
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
               ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(uid) == 0 &&
               ::setuid(uid) == 0 && ::prctl(PR_SET_DUMPABLE, 1) == 0;
    };
}

// A page of about 100 B (unknown layout) or 10 KB (シンプル), as the window's.
Result Tool(const std::string& path = "", bool small = false) {
    std::vector<std::string> arguments{"--start", "2026-12", "--layout",
                                       small ? "no such layout" : "simple"};
    if (!path.empty()) arguments.insert(arguments.end(), {"--output", path});
    return testing::RunTool(arguments);
}

struct Window {
    Window() { form.Form_Load(); }
    Result SaveAs(const std::string& path, bool small = false, bool english = false) {
        platform.saveAnswers.push_back(path);
        platform.replaceAnswers.push_back(true);
        return Click(3, small, english);
    }
    Result SaveOver() { return Click(2, false); }
    std::string PageBytes() const { return ToCodePage932(form.s.strCalendar); }

    Result Click(std::int16_t button, bool small, bool english = false) {
        PageSettings& s = form.s;
        s.lblLayOut.Caption = small ? "no such layout" : kLayoutSimple;
        s.cmbLanguage.Text = english ? kLanguageEnglish : kLanguageJapanese;
        const auto kept = [&s] {
            return std::tuple(s.strCalendar, s.strSaveName, s.Toolbar1.Buttons[2].Enabled,
                              s.Toolbar1.Buttons[4].Enabled);
        };
        const auto before = kept();
        const auto messages = platform.messages.size(), writes = platform.writtenPages.size();
        form.Toolbar1_ButtonClick(button);
        const bool saved = platform.writtenPages.size() > writes;
        return {saved ? 0 : 1, saved || kept() == before ? "" : "changed",
                platform.messages.size() > messages ? platform.messages.back() : ""};
    }

    testing::ScriptedPlatform platform;
    Form1 form{platform};
};

std::string WindowReason(int error) {
    static const std::map<int, std::string> kReasons{{ENOENT, "フォルダーが見つかりません"},
                                                     {EACCES, "書き込む権限がありません"},
                                                     {EROFS, "読み取り専用"},
                                                     {ENOSPC, "空き容量が足りません"},
                                                     {ENAMETOOLONG, "ファイル名が長すぎます"},
                                                     {EISDIR, "同じ名前のフォルダーがあります"}};
    const auto found = kReasons.find(error);
    return found != kReasons.end() ? found->second : std::strerror(error);
}

// In a child `prepareChild` may prepare, the tool and the window (over, when it
// saved there, and as) each write their page or refuse with `error`, say so
// and keep the old bytes; nothing else changes.
void ExpectAllSaves(Window& window, const std::string& target, const std::string& folder, int error,
                    bool windowSavedThere, const std::function<bool()>& prepareChild = nullptr) {
    std::error_code e;
    const auto bytes = [&] { return fs::is_regular_file(target, e) ? ReadBytes(target) : ""; };
    const std::string old = bytes(), meta = MetaOf(target);
    const std::set<std::string> names = Names(folder);
    const auto attempt = [&](const std::string& who, const std::function<Result()>& save) {
        const bool tool = who == "rumora-page";
        const std::size_t fds = Names("/proc/self/fd").size();
        const Result run = save();
        std::string faults;
        const auto expect = [&](bool right, const std::string& fault) {
            if (!right) faults += who + ": " + fault + ": " + run.err + "\n";
        };
        expect(fds > 0 && Names("/proc/self/fd").size() == fds, "a descriptor stayed open");
        expect((run.status == 0) == (error == 0), "status " + std::to_string(run.status));
        const std::string page = tool ? Tool().out : window.PageBytes();
        expect(bytes() == (run.status == 0 ? page : old), "the file holds neither page");
        expect(run.out.empty(), "changed what it should not: " + run.out);
        for (const std::string& said :
             {target, tool ? std::strerror(error) : WindowReason(error)}) {
            expect(error == 0 || run.err.find(said) != std::string::npos, "does not say " + said);
        }
        return faults;
    };
    const Result child = RunInChild([&] {
        if (prepareChild && !prepareChild()) return std::string("could not prepare");
        std::string faults = attempt("rumora-page", [&] { return Tool(target); });
        if (windowSavedThere) faults += attempt("save over", [&] { return window.SaveOver(); });
        return faults + attempt("save as", [&] { return window.SaveAs(target); });
    });
    EXPECT_EQ(child.status, 0) << "the child's wait status";
    EXPECT_EQ(child.out, "");
    EXPECT_EQ(MetaOf(target), meta) << "the file lost some of its properties";
    EXPECT_EQ(Names(folder), names);
}

// The scene: a tmpfs $D holding the folder $F with the page $P, which the
// window saved as root. `stage` (shell) reshapes it; then `saver` (null:
// root) saves $C if it names $C, else $P. `error` 0: all goes through.
struct RightsCase {
    const char* name;
    std::function<bool()> saver;
    int error;
    const char* stage;
};

#define PLANT_LINK "echo 1 >/proc/sys/fs/protected_symlinks && chmod 1777 $F && ln -s "
const RightsCase kRightsCases[] = {
    {"ReadOnlyFileSystem", nullptr, EROFS, "mount -o remount,ro $D"},
    {"FullDiskRewritesInPlace", nullptr, 0, "dd if=/dev/zero of=$D/filler bs=4k || true"},
    {"FullDiskRefusesALongerPage", nullptr, ENOSPC,
     "truncate -s 100 $P && dd if=/dev/zero of=$D/filler bs=4k || true"},
    {"FileSizeLimitReachedMidWrite", As(0, {}, 4096), EFBIG, ""},
    {"FolderTheUserMayNotWrite", As(65534), EACCES, ""},
    {"WriteProtectedFileOfTheUser", As(65534), EACCES,
     "chmod 777 $F && chown nobody $P && chmod 444 $P"},
    {"WriteProtectedFileSavedByRoot", nullptr, 0, "chown nobody $P && chmod 444 $P"},
    {"ReadOnlyFolderHoldingAWritableFile", As(65534), 0, "chmod 555 $F && chown nobody $P"},
    {"ImmutableFolderHoldingAWritableFile", nullptr, 0, "chattr +i $F"},
    {"GroupMemberKeepsOwnerAndGroup", As(65534, {33}), 0,
     "chmod 777 $F && chown root:www-data $P && chmod 660 $P"},
    {"AclAndAttributeKept", As(65534), 0,
     "chmod 777 $F && chown nobody $P && chmod 640 $P && setfacl -m u:www-data:r-- $P && "
     "setfattr -n user.origin -v hand $P && setfattr -n user.empty $P"},
    {"HardLinkSeesThePage", nullptr, 0, "ln $P $F/other.html"},
    {"BindMountedFileStaysMounted", nullptr, 0, "cp $P $O && mount --bind $O $P"},
    {"FileSystemWithoutChmod", nullptr, 0,
     "mv $F $D/real && mkdir $F && bindfs --chmod-deny $D/real $F"},
    {"SymbolicLinkStaysALink", nullptr, 0, "mv $P $F/real.html && ln -s real.html $P"},
    {"OtherUsersLinkInAStickyFolder", nullptr, EACCES,
     "cp $P $O && " PLANT_LINK "../outside.html $C && chown -h nobody $C"},
    {"OtherUsersDanglingLinkInAStickyFolder", nullptr, EACCES,
     PLANT_LINK "new.html $C && chown -h nobody $C"},
    {"LinkBetweenTwoOrdinaryUsers", As(12345), EACCES,
     "cp $P $O && chown 12345 $O && " PLANT_LINK "../outside.html $C && chown -h nobody $C"},
    {"OtherUsersFileInAStickyFolder", nullptr, EACCES,
     "echo 1 >/proc/sys/fs/protected_regular && chmod 1777 $F && echo planted >$C && "
     "chown nobody $C && chmod 666 $C"},
};
#undef PLANT_LINK

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
    Tmpfs disk;
    if (disk.mount != 0) GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    const bool asC = std::string(c.stage).find("$C") != std::string::npos;
    const std::string folder = disk.File("pages"),
                      target = folder + (asC ? "/cal.html" : "/page.html");
    ASSERT_TRUE(fs::create_directory(folder));
    Window window;
    ASSERT_EQ(window.SaveAs(folder + "/page.html", false, true).status, 0);
    const Protections protections;
    const std::string stage = "set -e; D=" + disk.path().string() + "; F=" + folder +
                              "; P=$F/page.html; O=$D/outside.html; C=$F/cal.html; " + c.stage +
                              " >/dev/null 2>&1";
    if (std::system(stage.c_str()) != 0) GTEST_SKIP() << "cannot stage here: " << c.stage;

    ExpectAllSaves(window, target, folder, c.error, !asC, c.saver);
    for (const std::string& o : {folder + "/other.html", disk.File("outside.html")}) {
        EXPECT_TRUE(c.error || !fs::exists(o) || ReadBytes(o) == ReadBytes(target)) << o;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveRights, ::testing::ValuesIn(kRightsCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Saves of one file at once, and saves killed at random moments, by root
// and by the user: the file holds one page whole, a killed save's new page
// perhaps followed by blanks. `stage` as above, $P holding a page.
struct RaceCase {
    const char* name;
    std::function<bool()> saver;
    const char* stage;
};
const RaceCase kRaceCases[] = {
    {"ReplacedWhole", nullptr, ""},
    {"HardLinkedRewrittenInPlace", nullptr, "ln $P $F/other.html"},
    {"UsersFileInAFolderOfRoot", As(65534), "chown nobody $P && chmod 555 $F"},
};

// True when `path` holds one of `pages`, or a new page and blanks.
bool HoldsOnePage(const std::string& path, const std::string (&pages)[2], bool killed) {
    // Read as a save would write: after any save at work has ended.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct flock whole = {};
    whole.l_type = F_RDLCK;
    if (fd < 0 || ::fcntl(fd, F_OFD_SETLKW, &whole) != 0) return false;
    const std::string bytes = ReadBytes(path);
    ::close(fd);
    for (const std::string& page : pages) {
        if (bytes == page || (killed && bytes.starts_with(page) &&
                              bytes.find_first_not_of(' ', page.size()) == std::string::npos)) {
            return true;
        }
    }
    return false;
}

pid_t SaveInChild(const std::string& path, const std::string& page, bool killAtCut = false) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    try {
        WritePageFile(path, page, PageEncoding::Utf8, {}, [&] {
            if (killAtCut) std::raise(SIGKILL);
        });
    } catch (...) {
        ::_exit(1);
    }
    ::_exit(0);
}

class SaveRace : public ::testing::TestWithParam<RaceCase> {};

TEST_P(SaveRace, OnePageWholeAfterRacesAndKills) {
    const RaceCase& c = GetParam();
    if (c.saver && ::geteuid() != 0) GTEST_SKIP() << "switching users needs root";
    // As root on a tmpfs, where flushing costs nothing.
    Tmpfs disk;
    const std::string folder = disk.File("pages"), target = folder + "/page.html";
    const std::string pages[2] = {"<p>" + std::string(9000, 'a') + "</p>\n",
                                  "<p>" + std::string(300, 'b') + "</p>\n"};
    ASSERT_TRUE(fs::create_directory(folder));
    testing::WriteBytes(target, pages[0]);
    const std::string stage = "set -e; chmod 755 " + disk.path().string() + "; F=" + folder +
                              "; P=$F/page.html; " + c.stage + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(stage.c_str()), 0) << c.stage;
    const Result child = RunInChild([&] {
        if (c.saver && !c.saver()) return std::string("could not prepare");
        std::string faults;
        for (int pair = 0; pair < 1000 && faults.empty(); ++pair) {
            int first = 0, second = 0;
            const pid_t a = SaveInChild(target, pages[0]), b = SaveInChild(target, pages[1]);
            ::waitpid(a, &first, 0);
            ::waitpid(b, &second, 0);
            if (first != 0 || second != 0)
                faults += "a save of pair " + std::to_string(pair) + " failed\n";
            if (!HoldsOnePage(target, pages, false)) {
                faults += "pair " + std::to_string(pair) + " mixed the pages\n";
            }
        }
        std::mt19937 random(7);
        for (int kill = 0; kill < 300 && faults.empty(); ++kill) {
            // The first two die between their write and the cut, the rest anywhere.
            const pid_t saver = SaveInChild(target, pages[kill % 2], kill < 2);
            if (kill >= 2) {
                ::usleep(static_cast<useconds_t>(random() % 400));
                ::kill(saver, SIGKILL);
            }
            ::waitpid(saver, nullptr, 0);
            if (!HoldsOnePage(target, pages, true)) {
                faults += "killed save " + std::to_string(kill) + " tore the page\n";
            }
        }
        return faults;
    });
    EXPECT_EQ(child.status, 0) << "the child's wait status";
    EXPECT_EQ(child.out, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveRace, ::testing::ValuesIn(kRaceCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Devices take the page as a plain write would; the kernel's own files are
// refused, as a FIFO is.
TEST(DeviceSave, PlainWritesToDevicesAndNoneToTheSystem) {
    const struct {
        const char* path;
        int status;
        const char* says;
    } kCases[] = {{"/dev/null", 0, ""},
                  {"/dev/full", 1, std::strerror(ENOSPC)},
                  {"/proc/self/comm", 1, "not a regular file"},
                  {"/sys/kernel/mm/transparent_hugepage/enabled", 1, "not a regular file"}};
    for (const auto& c : kCases) {
        // The first bytes only: /dev/full reads on forever.
        const auto head = [&] {
            char bytes[256] = {};
            const int fd = ::open(c.path, O_RDONLY | O_CLOEXEC);
            const ssize_t got = fd < 0 ? 0 : ::read(fd, bytes, sizeof bytes);
            if (fd >= 0) ::close(fd);
            return std::string(bytes, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        };
        const std::string before = head();
        const Result run = Tool(c.path, true);
        EXPECT_EQ(run.status, c.status) << c.path << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.path << ": " << run.err;
        EXPECT_EQ(head(), before) << c.path;
    }
    // A terminal shows the page.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    EXPECT_EQ(Tool(::ptsname(master), true).status, 0);
    char shown[64] = {};
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    EXPECT_GT(::read(master, shown, sizeof shown), 0);
    ::close(master);
}

// Root may give the new file the old one's owner, so another user's page is
// replaced whole, never left half written.
TEST(RootSave, ReplacesAnotherUsersFileWhole) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
    testing::TempDir dir;
    const std::string target = dir.File("page.html");
    testing::WriteBytes(target, "old");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    struct stat before = {}, after = {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    EXPECT_EQ(Tool(target).status, 0);
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "written in place";
    EXPECT_EQ(std::tie(after.st_uid, after.st_gid, after.st_mode),
              std::tie(before.st_uid, before.st_gid, before.st_mode));
}

TEST(RefusedSave, NamesThatCannotBeWritten) {
    testing::TempDir dir;
    const std::string folder = dir.path().string(), asFolder = dir.File("page.html");
    Window window;
    ASSERT_TRUE(fs::create_directory(asFolder));
    testing::WriteBytes(asFolder + "/keep.txt", "kept");
    ExpectAllSaves(window, asFolder, folder, EISDIR, false);
    EXPECT_EQ(ReadBytes(asFolder + "/keep.txt"), "kept");
    EXPECT_EQ(Names(asFolder), std::set<std::string>{"keep.txt"});
    ExpectAllSaves(window, dir.File("missing/page.html"), folder, ENOENT, false);
    EXPECT_FALSE(fs::exists(dir.File("missing")));
    // The limit of a name works: the temporary file's name is its own.
    ExpectAllSaves(window, dir.File(std::string(251, 'n') + ".html"), folder, ENAMETOOLONG, false);
    const std::string longest = std::string(250, 'n') + ".html";
    EXPECT_EQ(Tool(dir.File(longest)).status, 0);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"page.html", longest}));
}

// New files get the umask's bits, as from a plain write; a dangling link
// gets the file it names made and stays a link.
TEST(LinkedSave, NewFilesAndDanglingLinks) {
    testing::TempDir folder;
    const std::string dangling = folder.File("new.html"), made = folder.File("real/new.html");
    fs::create_directory(folder.path() / "real");
    fs::create_symlink("real/new.html", dangling);
    Window window;
    const mode_t umask = ::umask(027);
    EXPECT_EQ(window.SaveAs(dangling, true).status, 0);
    EXPECT_EQ(Tool(folder.File("plain.html"), true).status, 0);
    ::umask(umask);
    EXPECT_EQ(ReadBytes(made), window.PageBytes());
    EXPECT_EQ(window.SaveOver().status, 0);
    EXPECT_EQ(ReadBytes(made), window.PageBytes());
    EXPECT_EQ(fs::read_symlink(dangling), "real/new.html");
    for (const std::string& name : {made, folder.File("plain.html")}) {
        EXPECT_EQ(fs::status(name).permissions(), fs::perms(0640)) << name;
    }
    EXPECT_EQ(Names(folder.path()), (std::set<std::string>{"new.html", "plain.html", "real"}));
    EXPECT_EQ(Names(folder.File("real")), std::set<std::string>{"new.html"});
}

// Killed just before the rename, the old file is whole. The hidden file may
// belong to a save at work; the first save after a minute removes it, but
// never another user's nor a name of another kind.
TEST(KilledSave, LeavesAHiddenFileTheNextSaveRemovesOnceStale) {
    testing::TempDir dir;
    const std::string folder = dir.path().string(), target = dir.File("page.html");
    Window window;
    ASSERT_EQ(window.SaveAs(target, false, true).status, 0);
    const std::string old = ReadBytes(target),
                      page = MakeHtmlPage(PageOptionsFromSettings(window.form.s), ScreenMetrics{});
    const Result child = RunInChild([&] {
        WritePageFile(target, page, PageEncoding::CodePage932, {}, [] { std::raise(SIGKILL); });
        return std::string("survived");
    });
    EXPECT_TRUE(WIFSIGNALED(child.status) && WTERMSIG(child.status) == SIGKILL) << child.out;
    EXPECT_EQ(ReadBytes(target), old);
    const std::set<std::string> names = Names(folder);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names.begin()->starts_with(".rumora-")) << *names.begin();
    EXPECT_EQ(Tool(target).status, 0);
    EXPECT_EQ(Names(folder), names) << "a fresh hidden file was removed";

    // Aged past a minute, beside look-alikes: other names, another user's.
    if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root";
    const std::string aged = "cd " + folder +
                             " && touch .rumora-notours.tmp .rumora-abcdefghijkl.html "
                             ".rumora-mynotes2026a.tmp "
                             ".rumora-abcdefghijkl.tmp && chown nobody .rumora-abcdefghijkl.tmp "
                             "&& touch -d '-2 min' .rumora-*";
    ASSERT_EQ(std::system(aged.c_str()), 0);
    EXPECT_EQ(window.SaveOver().status, 0);
    EXPECT_EQ(ReadBytes(target), window.PageBytes());
    EXPECT_EQ(Names(folder),
              (std::set<std::string>{".rumora-notours.tmp", ".rumora-abcdefghijkl.html",
                                     ".rumora-abcdefghijkl.tmp", ".rumora-mynotes2026a.tmp",
                                     "page.html"}));
}

}  // namespace
}  // namespace rumora::disk
