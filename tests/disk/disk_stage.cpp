#include "disk/disk_stage.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "output/code_page.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora::disk {

constexpr std::size_t kLongFontBytes = 8000;

std::vector<std::string> ToolArguments(PageSize size) {
    switch (size) {
        case PageSize::Small:
            return {"--start", "2026-12", "--layout", "no such layout"};
        case PageSize::Medium:
            return {"--start", "2026-12", "--layout", "simple"};
        case PageSize::Large:
            return {"--start", "2026-12", "--layout",
                    "simple",  "--font",  std::string(kLongFontBytes, 'F')};
    }
    return {};
}

void ApplyPageSize(PageSettings& s, PageSize size) {
    s.lblLayOut.Caption = size == PageSize::Small ? "no such layout" : kLayoutSimple;
    s.lblFont.Caption = size == PageSize::Large ? std::string(kLongFontBytes, 'F') : "Serif";
}

std::string Checksum(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return "";
    return std::to_string(std::hash<std::string>{}(testing::ReadBytes(path)));
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

Tmpfs::Tmpfs(std::size_t bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "rumora-disk-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error_ = std::string("mkdtemp: ") + std::strerror(errno);
        return;
    }
    path_ = pattern;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        error_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

Tmpfs::~Tmpfs() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) ::rmdir(path_.c_str());
}

std::uint64_t Tmpfs::FreeBytes() const {
    struct statvfs info {};
    if (::statvfs(path_.c_str(), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

void Tmpfs::FillLeaving(std::uint64_t leave) const {
    const std::string filler = File("filler");
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string page(4096, 'x');
    off_t size = 0;
    while (::write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size())) {
        size += static_cast<off_t>(page.size());
    }
    ::ftruncate(fd, size > static_cast<off_t>(leave) ? size - static_cast<off_t>(leave) : 0);
    ::close(fd);
}

bool Tmpfs::Remount(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount(nullptr, path_.c_str(), nullptr, flags, nullptr) == 0;
}

ChildResult RunInChild(const std::function<std::string()>& body) {
    int fds[2];
    ChildResult result;
    if (::pipe(fds) != 0) return result;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return result;
    }
    if (child == 0) {
        ::close(fds[0]);
        const std::string output = body();
        std::size_t done = 0;
        while (done < output.size()) {
            const ssize_t n = ::write(fds[1], output.data() + done, output.size() - done);
            if (n <= 0) ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

// Each outcome: two flag characters, the message, then a record separator.
std::string Outcome::Serialize() const {
    return std::string(saved ? "1" : "0") + (stateKept ? "1" : "0") + message + '\x1e';
}

std::vector<Outcome> Outcome::ParseAll(const std::string& text) {
    std::vector<Outcome> outcomes;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find('\x1e', from)) != std::string::npos; from = end + 1) {
        const std::string record = text.substr(from, end - from);
        if (record.size() < 2) break;
        outcomes.push_back({record[0] == '1', record[1] == '1', record.substr(2)});
    }
    return outcomes;
}

void ExpectRefused(const Outcome& outcome, const std::string& path, int error,
                   const std::string& who) {
    EXPECT_FALSE(outcome.saved) << who;
    EXPECT_TRUE(outcome.stateKept) << who << ": the window's state changed";
    EXPECT_NE(outcome.message.find(path), std::string::npos) << who << ": " << outcome.message;
    EXPECT_NE(outcome.message.find(std::strerror(error)), std::string::npos)
        << who << ": " << outcome.message;
}

void ExpectAllRefused(Window& window, const std::string& target, const std::string& folder,
                      int error, bool windowSavedThere, const std::function<bool()>& prepareChild) {
    const std::string old = Checksum(target);
    const std::set<std::string> names = Names(folder);
    const auto attempts = [&] {
        std::string report = SaveWithTool(target, PageSize::Medium).Serialize();
        if (windowSavedThere) report += window.SaveOver(PageSize::Medium).Serialize();
        return report + window.SaveAs(target, PageSize::Medium).Serialize();
    };
    std::string report;
    if (prepareChild) {
        const ChildResult child =
            RunInChild([&] { return prepareChild() ? attempts() : "could not prepare"; });
        ASSERT_TRUE(child.exited) << "the child died of signal " << child.signal;
        report = child.output;
    } else {
        report = attempts();
    }
    const std::vector<Outcome> outcomes = Outcome::ParseAll(report);
    ASSERT_EQ(outcomes.size(), windowSavedThere ? 3u : 2u) << report;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const bool last = i + 1 == outcomes.size();
        ExpectRefused(outcomes[i], target, error,
                      i == 0 ? "rumora-page"
                      : last ? "save as"
                             : "save over");
    }
    EXPECT_EQ(Checksum(target), old);
    EXPECT_EQ(Names(folder), names);
}

Outcome SaveWithTool(const std::string& path, PageSize size) {
    std::vector<std::string> arguments = ToolArguments(size);
    arguments.push_back("--output");
    arguments.push_back(path);
    const testing::ToolRun run = testing::RunTool(arguments);
    Outcome outcome{run.status == 0, true, run.err};
    // Nothing goes to standard output when writing a file, failed or not.
    if (!run.out.empty()) outcome.message += "[standard output was not empty]";
    return outcome;
}

std::string ToolPageBytes(PageSize size) { return testing::RunTool(ToolArguments(size)).out; }

Window::Window() {
    form.Form_Load();
    form.s.MonthView1.Year = 2026;
    form.s.MonthView1.Month = 12;
}

bool Window::SaveOldPage(const std::string& path) {
    form.s.cmbLanguage.Text = kLanguageEnglish;
    const bool saved = SaveAs(path, PageSize::Medium).saved;
    form.s.cmbLanguage.Text = kLanguageJapanese;
    return saved;
}

Outcome Window::SaveAs(const std::string& path, PageSize size) {
    platform.saveAnswers.push_back(path);
    platform.replaceAnswers.push_back(true);
    return Click(3, size);
}

Outcome Window::SaveOver(PageSize size) { return Click(2, size); }

std::string Window::PageBytes() const { return ToCodePage932(form.s.strCalendar); }

Outcome Window::Click(std::int16_t button, PageSize size) {
    ApplyPageSize(form.s, size);
    const PageSettings before = form.s;
    const std::size_t messages = platform.messages.size();
    const std::size_t writes = platform.writtenPages.size();

    form.Toolbar1_ButtonClick(button);

    Outcome outcome;
    outcome.saved = platform.writtenPages.size() > writes;
    if (platform.messages.size() > messages) outcome.message = platform.messages.back();
    if (!outcome.saved) {
        const PageSettings& after = form.s;
        outcome.stateKept =
            after.strCalendar == before.strCalendar && after.strSaveName == before.strSaveName &&
            after.Toolbar1.Buttons[2].Enabled == before.Toolbar1.Buttons[2].Enabled &&
            after.Toolbar1.Buttons[4].Enabled == before.Toolbar1.Buttons[4].Enabled;
    }
    return outcome;
}

}  // namespace rumora::disk
