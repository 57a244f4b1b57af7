// Saves with exactly a plain write's rights, on real file systems and as
// other users: whatever happens, the file holds the whole new page or its
// old bytes, keeps what it carries, no temporary file stays behind, and the
// user is told why a save was refused.
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
#include <set>

#include "app/form1.h"
#include "calendar/page_composer.h"
#include "output/code_page.h"
#include "output/page_file.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora::disk {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

// Names in a folder, hidden ones included.
std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// What a file carries besides its bytes, as the shell's tools show it: the
// name's type, then owner, group, mode, links and extended attributes (the
// ACL among them).
std::string MetaOf(const std::string& path) {
    const std::string quoted = "'" + path + "'";
    const std::string command = "stat -c %F " + quoted + "; stat -Lc '%u %g %f %h' " + quoted +
                                "; getfattr -dm- -e hex --absolute-names " + quoted + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string meta;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        meta.append(buffer, got);
    }
    ::pclose(pipe);
    return meta;
}

// A fresh folder with a tmpfs of `bytes` mounted on it, unmounted (even if
// left read-only) and removed afterwards; `error` says why there is none.
struct Tmpfs {
    explicit Tmpfs(std::size_t bytes) {
        std::string pattern = (fs::temp_directory_path() / "rumora-disk-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            error = std::string("mkdtemp: ") + std::strerror(errno);
            return;
        }
        path = pattern;
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
        mounted = ::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!mounted) error = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    }
    ~Tmpfs() {
        if (mounted) ::umount2(path.c_str(), MNT_DETACH);
        if (!path.empty()) ::rmdir(path.c_str());
    }
    std::string File(const std::string& name) const { return path + "/" + name; }

    std::string path, error;
    bool mounted = false;
};

// Runs `body` in a forked child, which ends with _exit so that no destructor
// of the parent's objects runs there; what it returns comes back by a pipe.
struct ChildResult {
    bool exited = false;  // normally, with status 0
    int signal = 0;       // the signal that ended it, if any
    std::string output;
};
ChildResult RunInChild(const std::function<std::string()>& body) {
    int fds[2];
    ChildResult result;
    if (::pipe(fds) != 0) return result;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string output = body();
        for (std::size_t done = 0; done < output.size();) {
            const ssize_t n = ::write(fds[1], output.data() + done, output.size() - done);
            if (n <= 0) ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    char buffer[4096];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    result.exited = child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.signal = child > 0 && WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

// For RunInChild: become `uid` with these groups only, still able to read
// its own /proc entries.
std::function<bool()> AsUser(uid_t uid, std::vector<gid_t> groups = {}) {
    return [uid, groups] {
        return ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(uid) == 0 &&
               ::setuid(uid) == 0 && ::prctl(PR_SET_DUMPABLE, 1) == 0;
    };
}

// What one save attempt left for the user.
struct Outcome {
    bool saved = false;
    std::string message;  // the tool's error output or the window's message
    // Nothing changed that must not: the tool's standard output stays empty;
    // a refused window keeps its page, strSaveName and buttons 2 and 4.
    bool clean = true;
};

// rumora-page in-process, writing `path`; a small page (about 100 B, an
// unknown layout) or about 10 KB (シンプル), as the window makes them too.
std::vector<std::string> ToolArguments(bool small) {
    return {"--start", "2026-12", "--layout", small ? "no such layout" : "simple"};
}
Outcome SaveWithTool(const std::string& path, bool small = false) {
    std::vector<std::string> arguments = ToolArguments(small);
    arguments.insert(arguments.end(), {"--output", path});
    const testing::ToolRun run = testing::RunTool(arguments);
    return {run.status == 0, run.err, run.out.empty()};
}

// A started window at December 2026.
struct Window {
    Window() { form.Form_Load(); }
    // Saves an English page as `path`, then turns back to Japanese so that
    // the next page differs from the one on disk.
    bool SaveOldPage(const std::string& path) {
        form.s.cmbLanguage.Text = kLanguageEnglish;
        const bool saved = SaveAs(path).saved;
        form.s.cmbLanguage.Text = kLanguageJapanese;
        return saved;
    }
    // Save-as through the dialog, replacing an existing file when asked.
    Outcome SaveAs(const std::string& path, bool small = false) {
        platform.saveAnswers.push_back(path);
        platform.replaceAnswers.push_back(true);
        return Click(3, small);
    }
    // Toolbar button 2: over strSaveName.
    Outcome SaveOver(bool small = false) { return Click(2, small); }
    // The bytes the last build would put on disk.
    std::string PageBytes() const { return ToCodePage932(form.s.strCalendar); }

    Outcome Click(std::int16_t button, bool small) {
        PageSettings& s = form.s;
        s.lblLayOut.Caption = small ? "no such layout" : kLayoutSimple;
        const PageSettings before = s;
        const std::size_t messages = platform.messages.size();
        const std::size_t writes = platform.writtenPages.size();
        form.Toolbar1_ButtonClick(button);
        const bool saved = platform.writtenPages.size() > writes;
        const auto& buttons = s.Toolbar1.Buttons;
        return {
            saved, platform.messages.size() > messages ? platform.messages.back() : "",
            saved || (s.strCalendar == before.strCalendar && s.strSaveName == before.strSaveName &&
                      buttons[2].Enabled == before.Toolbar1.Buttons[2].Enabled &&
                      buttons[4].Enabled == before.Toolbar1.Buttons[4].Enabled)};
    }

    testing::ScriptedPlatform platform;
    Form1 form{platform};
};

// The window's words for the usual causes; the system's for the rest.
std::string WindowReason(int error) {
    static const std::map<int, std::string> kReasons{
        {ENOENT, "フォルダーが見つかりません"},    {EACCES, "書き込む権限がありません"},
        {EPERM, "書き込む権限がありません"},       {EROFS, "読み取り専用"},
        {ENOSPC, "空き容量が足りません"},          {ENAMETOOLONG, "ファイル名が長すぎます"},
        {EISDIR, "同じ名前のフォルダーがあります"}};
    const auto found = kReasons.find(error);
    return found != kReasons.end() ? found->second : std::strerror(error);
}

// The tool, then the window saving over (when it saved there before) and
// saving as. With `error` 0 each writes its page, else each is refused with
// `error`, says so and keeps the old bytes. Either way no descriptor stays
// open, the file keeps its properties and the folder's names stay as they
// were (no temporary file). With `prepareChild`, the three run in a child
// process that it prepares first (false: it could not).
void ExpectAllSaves(Window& window, const std::string& target, const std::string& folder, int error,
                    bool windowSavedThere, const std::function<bool()>& prepareChild = nullptr) {
    const auto bytes = [&] {
        std::error_code ignored;
        return fs::is_regular_file(target, ignored) ? ReadBytes(target) : "";
    };
    const std::string old = bytes();
    const std::set<std::string> names = Names(folder);
    const std::string meta = MetaOf(target);
    // Every fault of one attempt, a line each.
    const auto attempt = [&](const std::string& who, const std::function<Outcome()>& save) {
        const std::size_t fds = Names("/proc/self/fd").size();
        const Outcome outcome = save();
        std::string faults;
        const auto expect = [&](bool right, const std::string& fault) {
            if (!right) faults += who + ": " + fault + "\n";
        };
        expect(fds > 0 && Names("/proc/self/fd").size() == fds, "a descriptor stayed open");
        expect(outcome.saved == (error == 0),
               "saved is " + std::to_string(outcome.saved) + ": " + outcome.message);
        const std::string page =
            who == "rumora-page" ? testing::RunTool(ToolArguments(false)).out : window.PageBytes();
        expect(bytes() == (outcome.saved ? page : old), "the file holds neither page as it should");
        expect(outcome.clean, "changed what it should not");
        const std::string why = who == "rumora-page" ? std::strerror(error) : WindowReason(error);
        for (const std::string& said : {target, why}) {
            expect(error == 0 || outcome.message.find(said) != std::string::npos,
                   "does not say " + said + ": " + outcome.message);
        }
        return faults;
    };
    const auto attempts = [&] {
        std::string faults = attempt("rumora-page", [&] { return SaveWithTool(target); });
        if (windowSavedThere) faults += attempt("save over", [&] { return window.SaveOver(); });
        return faults + attempt("save as", [&] { return window.SaveAs(target); });
    };
    if (prepareChild) {
        const ChildResult child =
            RunInChild([&] { return prepareChild() ? attempts() : "could not prepare"; });
        EXPECT_TRUE(child.exited) << "the child died of signal " << child.signal;
        EXPECT_EQ(child.output, "");
    } else {
        EXPECT_EQ(attempts(), "");
    }
    EXPECT_EQ(MetaOf(target), meta) << "the file lost some of its properties";
    EXPECT_EQ(Names(folder), names);
}

// Who saves: root here, or in a child another user or root within a 4 KB
// file size limit.
const std::function<bool()> kRoot, kNobody = AsUser(65534), kWebGroupMember = AsUser(65534, {33}),
                                   kOtherUser = AsUser(12345), kRootWithin4KB = [] {
                                       const rlimit limit{4096, 4096};
                                       std::signal(SIGXFSZ, SIG_IGN);
                                       return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
                                   };

// The scene: a tmpfs $D holding the folder $F with the page $P, which the
// window saved as root. `stage` (shell) reshapes it; `target` is saved.
struct RightsCase {
    const char* name;
    const char* stage;
    std::function<bool()> saver;
    int error;  // 0: every save goes through
    const char* target = "page.html";
};

#define PLANT_LINK "echo 1 >/proc/sys/fs/protected_symlinks && chmod 1777 $F && ln -s "
const RightsCase kRightsCases[] = {
    {"ReadOnlyFileSystem", "mount -o remount,ro $D", kRoot, EROFS},
    {"FullDiskRewritesInPlace", "dd if=/dev/zero of=$D/filler bs=4k || true", kRoot, 0},
    {"FullDiskRefusesALongerPage",
     "truncate -s 100 $P && dd if=/dev/zero of=$D/filler bs=4k || true", kRoot, ENOSPC},
    {"FileSizeLimitReachedMidWrite", "", kRootWithin4KB, EFBIG},
    {"FolderTheUserMayNotWrite", "", kNobody, EACCES},
    {"WriteProtectedFileOfTheUser", "chmod 777 $F && chown nobody $P && chmod 444 $P", kNobody,
     EACCES},
    {"WriteProtectedFileSavedByRoot", "chown nobody $P && chmod 444 $P", kRoot, 0},
    {"ReadOnlyFolderHoldingAWritableFile", "chmod 555 $F && chown nobody $P", kNobody, 0},
    {"ImmutableFolderHoldingAWritableFile", "chattr +i $F", kRoot, 0},
    {"GroupMemberKeepsOwnerAndGroup", "chmod 777 $F && chown root:www-data $P && chmod 660 $P",
     kWebGroupMember, 0},
    {"AclAndAttributeKept",
     "chmod 777 $F && chown nobody $P && chmod 640 $P && setfacl -m u:www-data:r-- $P && "
     "setfattr -n user.origin -v hand $P",
     kNobody, 0},
    {"HardLinkSeesThePage", "ln $P $F/other.html", kRoot, 0},
    {"BindMountedFileStaysMounted", "cp $P $D/outside.html && mount --bind $D/outside.html $P",
     kRoot, 0},
    {"FileSystemWithoutChmod", "mv $F $D/real && mkdir $F && bindfs --chmod-deny $D/real $F", kRoot,
     0},
    {"SymbolicLinkStaysALink", "mv $P $F/real.html && ln -s real.html $P", kRoot, 0},
    {"OtherUsersLinkInAStickyFolder",
     "cp $P $D/outside.html && " PLANT_LINK
     "../outside.html $F/cal.html && chown -h nobody $F/cal.html",
     kRoot, EACCES, "cal.html"},
    {"OtherUsersDanglingLinkInAStickyFolder",
     PLANT_LINK "new.html $F/cal.html && chown -h nobody $F/cal.html", kRoot, EACCES, "cal.html"},
    {"LinkBetweenTwoOrdinaryUsers",
     "cp $P $D/outside.html && chown 12345 $D/outside.html && " PLANT_LINK
     "../outside.html $F/cal.html && chown -h nobody $F/cal.html",
     kOtherUser, EACCES, "cal.html"},
    {"OtherUsersFileInAStickyFolder",
     "echo 1 >/proc/sys/fs/protected_regular && chmod 1777 $F && echo planted >$F/cal.html && "
     "chown nobody $F/cal.html && chmod 666 $F/cal.html",
     kRoot, EACCES, "cal.html"},
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
    Tmpfs disk(512 * 1024);
    if (!disk.mounted) GTEST_SKIP() << disk.error;
    const std::string folder = disk.File("pages");
    ASSERT_TRUE(fs::create_directory(folder));
    Window window;
    ASSERT_TRUE(window.SaveOldPage(folder + "/page.html"));
    const Protections protections;
    ::setenv("D", disk.path.c_str(), 1);
    ::setenv("F", folder.c_str(), 1);
    ::setenv("P", (folder + "/page.html").c_str(), 1);
    const std::string stage = std::string("set -e; ") + c.stage + " >/dev/null 2>&1";
    if (std::system(stage.c_str()) != 0) GTEST_SKIP() << "cannot stage here: " << c.stage;

    const std::string target = folder + "/" + c.target;
    ExpectAllSaves(window, target, folder, c.error, c.target == std::string("page.html"), c.saver);
    // Every other name of the file sees the page.
    if (c.error == 0) {
        for (const std::string& other : {folder + "/other.html", disk.File("outside.html")}) {
            if (fs::exists(other)) {
                EXPECT_EQ(ReadBytes(other), ReadBytes(target)) << other;
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
    EXPECT_EQ(ReadBytes(asFolder + "/keep.txt"), "kept");
    EXPECT_EQ(Names(asFolder), std::set<std::string>{"keep.txt"});

    // A missing parent folder is not created.
    ExpectAllSaves(window, folder.File("missing/page.html"), folder.path().string(), ENOENT, false);
    EXPECT_FALSE(fs::exists(folder.File("missing")));

    // One byte over the limit of a name; the limit itself still works, the
    // temporary file's name being its own.
    ExpectAllSaves(window, folder.File(std::string(251, 'n') + ".html"), folder.path().string(),
                   ENAMETOOLONG, false);
    const std::string longest = folder.File(std::string(250, 'n') + ".html");
    EXPECT_TRUE(SaveWithTool(longest).saved);
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
    EXPECT_TRUE(window.SaveAs(dangling, true).saved);
    EXPECT_TRUE(SaveWithTool(folder.File("plain.html"), true).saved);
    ::umask(umask);
    EXPECT_EQ(ReadBytes(made), window.PageBytes());
    EXPECT_TRUE(window.SaveOver().saved);
    EXPECT_EQ(ReadBytes(made), window.PageBytes());

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
    const std::string old = ReadBytes(target);
    const std::string newPage = MakeHtmlPage(window.form.s, ScreenMetrics{});

    const ChildResult child = RunInChild([&] {
        WritePageFile(target, newPage, PageEncoding::CodePage932, {}, [] { std::raise(SIGKILL); });
        return std::string("survived");
    });
    EXPECT_EQ(child.signal, SIGKILL) << child.output;
    EXPECT_EQ(ReadBytes(target), old);
    const std::set<std::string> names = Names(folder.path().string());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names.begin()->starts_with(".rumora-")) << *names.begin();

    EXPECT_TRUE(SaveWithTool(target).saved);
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
    EXPECT_TRUE(window.SaveOver().saved);
    EXPECT_EQ(ReadBytes(target), window.PageBytes());
    EXPECT_EQ(Names(folder.path().string()),
              (std::set<std::string>{"page.html", ".rumora-notours.tmp",
                                     ".rumora-abcdefghijkl.html", ".rumora-abcdefghijkl.tmp"}));
}

}  // namespace
}  // namespace rumora::disk
