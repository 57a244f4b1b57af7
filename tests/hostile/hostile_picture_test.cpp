// Hostile files offered as the picture: things that are not files, files
// nobody may read, names that are not UTF-8, a picture that changes while it
// is measured, and a limit lifted from the environment. Each gets one of the
// three outcomes, with bounded memory; pictures far too big, bombs and
// sparse files are in the measuring table.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "measure/picture_measure.h"
#include "support/pictures.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora {
namespace {

using Outcome = PictureMeasurement::Outcome;
using namespace testing;

// Runs the batch tool on `picture`; it must fail and leave no trace.
void ExpectToolRefuses(const std::string& picture, const TempDir& dir) {
    const std::string out = dir.File("refused.html");
    const ToolRun run = RunTool({"--layout", "standard1", "--picture", picture, "-o", out});
    EXPECT_EQ((std::tuple{run.status, run.out, run.err.empty(), std::filesystem::exists(out)}),
              (std::tuple{1, "", false, false}));
}

// Measures `path` as an unprivileged user in a child process, since root
// reads any file whatever its mode.
int OutcomeAsNobody(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
        ::_exit(static_cast<int>(MeasurePicture(path).outcome));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HostilePicture, ThingsThatAreNotPictureFilesAreUnreadable) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo.png").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder.png"));
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.png"));
    std::filesystem::create_symlink(dir.File("missing.png"), dir.File("dangling.png"));

    for (const std::string& path :
         {dir.File("fifo.png"), std::string("/dev/zero"), std::string("/dev/urandom"),
          dir.File("folder.png"), dir.File("zero.png"), dir.File("dangling.png")}) {
        EXPECT_EQ(MeasurePicture(path).outcome, Outcome::Unreadable) << path;
    }
    // Looks like a regular file, but reading fails.
    EXPECT_NE(MeasurePicture("/proc/self/mem").outcome, Outcome::Measured);
    ExpectToolRefuses(dir.File("fifo.png"), dir);  // the tool measures as above, without hanging
}

TEST(HostilePicture, FileNobodyMayReadIsUnreadable) {
    TempDir dir;
    const std::string locked = dir.File("locked/p.png");
    std::filesystem::create_directory(dir.File("locked"));
    WriteBytes(locked, EncodedPicture(4, 4, "png"));
    ::chmod(locked.c_str(), 0000);
    ::chmod(dir.File("locked").c_str(), 0700);
    if (::geteuid() != 0) {
        EXPECT_EQ(MeasurePicture(locked).outcome, Outcome::Unreadable);
        ExpectToolRefuses(locked, dir);
        return;
    }
    // As root, ask as the unprivileged "nobody" user: the file and the
    // folder both keep it out.
    ::chmod(dir.path().c_str(), 0755);
    const int outcome = OutcomeAsNobody(locked);
    if (outcome == 100) GTEST_SKIP() << "cannot become an unprivileged user here";
    EXPECT_EQ(outcome, static_cast<int>(Outcome::Unreadable));
    ::chmod(dir.File("locked").c_str(), 0755);
    EXPECT_EQ(OutcomeAsNobody(locked), static_cast<int>(Outcome::Unreadable));
}

// Runs rumora-page in a fresh process, after `environment` (assignments for
// the shell), and returns its exit status and the peak memory of the
// largest child so far, in MiB.
std::pair<int, long> RunToolFresh(const std::vector<std::string>& arguments,
                                  const std::string& environment) {
    std::string command = "exec env " + environment + " '" RUMORA_PAGE_TOOL "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss / 1024};
}

// A damaged picture is told in the tool's one line: no decoder's own
// warning reaches the user. A format it cannot measure says what to do.
TEST(HostilePicture, DamagedPicturesAreToldInOneLineOfOurOwn) {
    TempDir dir;
    std::string icon = MultiSizeIcon({16});
    icon.replace(18, 4, std::string("\0\0\1\0", 4));  // its picture past the end
    WriteBytes(dir.File("damaged.ico"), icon);
    WriteBytes(dir.File("drawing.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
    for (const auto& [name, says] : {std::pair{"damaged.ico", "cannot measure the picture"},
                                     std::pair{"drawing.svg", "--picture-size gives the size"}}) {
        const ToolRun run = RunTool({"--layout", "standard2", "--picture", dir.File(name)});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
    }
}

// Qt lets QT_IMAGEIO_MAXALLOC override its allocation limit: the pictures Qt
// decodes are still measured against ours first.
TEST(HostilePicture, HugePicturesAndBombsStayWithinMemory) {
    TempDir dir;
    WriteBytes(dir.File("screen.gif"), GifScreen(16000));
    const std::vector<std::string> arguments{
        "--layout", "standard1", "--picture", dir.File("screen.gif"), "-o", dir.File("page.html")};
    // The same run in a plain environment sets the bar: instrumented builds
    // need far more memory of their own.
    // 256 megapixels, measured as browsers draw it, a row at a time.
    const auto [plainStatus, plainMiB] = RunToolFresh(arguments, "");
    EXPECT_EQ(plainStatus, 0);
    const auto [status, peakMiB] = RunToolFresh(arguments, "QT_IMAGEIO_MAXALLOC=1000000");
    EXPECT_EQ(status, 0);
    EXPECT_LT(peakMiB, plainMiB + kMemoryHeadroomMiB);
    EXPECT_NE(ReadBytes(dir.File("page.html")).find(" width=16000 height=16000>"),
              std::string::npos);
}

TEST(HostilePicture, NamesThatAreNotUtf8WorkAsPictureAndOutput) {
    TempDir dir;
    const std::string picture = dir.File("caf\xE9 \xFF.png");
    const std::string output = dir.File("out \xE9\x80.html");
    WriteBytes(picture, EncodedPicture(12, 8, "png"));
    EXPECT_EQ(RunTool({"--layout", "standard1", "--picture", picture, "-o", output}).status, 0);
    const std::string page = ReadBytes(output);
    EXPECT_NE(page.find(" width=12 height=8>"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</html>"));
}

TEST(HostilePicture, PictureChangingWhileMeasuredGivesOneOfItsStates) {
    TempDir dir;
    const std::string path = dir.File("changing.png");
    const std::string big = EncodedPicture(120, 80, "png");
    const std::string small = EncodedPicture(7, 5, "png");
    WriteBytes(path, big);

    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            if (i % 4 == 2) {
                std::filesystem::remove(path);
            } else {
                WriteBytes(path, i % 4 == 0   ? small
                                 : i % 4 == 1 ? big.substr(0, big.size() / 2)
                                              : big);
            }
        }
    });
    for (int i = 0; i < 300; ++i) {
        const PictureMeasurement m = MeasurePicture(path);
        if (m.outcome == Outcome::Measured) {
            EXPECT_TRUE((m.width == 120 && m.height == 80) || (m.width == 7 && m.height == 5))
                << m.width << "x" << m.height;
        }
    }
    stop = true;
    writer.join();
}

}  // namespace
}  // namespace rumora
