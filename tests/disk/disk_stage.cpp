#include "disk/disk_stage.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "output/code_page.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace rumora::disk {

namespace fs = std::filesystem;

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

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

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

std::function<bool()> AsUser(uid_t uid, std::vector<gid_t> groups) {
    return [uid, groups] {
        return ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(uid) == 0 &&
               ::setuid(uid) == 0;
    };
}

// Each outcome: three flag characters, the message, then a record separator.
std::string Outcome::Serialize() const {
    return std::string(saved ? "1" : "0") + (stateKept ? "1" : "0") + (bytesRight ? "1" : "0") +
           message + '\x1e';
}

std::vector<Outcome> Outcome::ParseAll(const std::string& text) {
    std::vector<Outcome> outcomes;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find('\x1e', from)) != std::string::npos; from = end + 1) {
        const std::string record = text.substr(from, end - from);
        if (record.size() < 3) break;
        outcomes.push_back(
            {record[0] == '1', record[1] == '1', record.substr(3), record[2] == '1'});
    }
    return outcomes;
}

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

void ExpectAllSaves(Window& window, const std::string& target, const std::string& folder, int error,
                    bool windowSavedThere, const std::function<bool()>& prepareChild) {
    const auto bytes = [&] {
        std::error_code ignored;
        return fs::is_regular_file(target, ignored) ? testing::ReadBytes(target) : "";
    };
    const std::string old = bytes();
    const std::set<std::string> names = Names(folder);
    const std::string meta = MetaOf(target);
    const auto attempt = [&](Outcome outcome, bool byWindow) {
        const std::string page = byWindow ? window.PageBytes() : ToolPageBytes(PageSize::Medium);
        outcome.bytesRight = bytes() == (outcome.saved ? page : old);
        return outcome.Serialize();
    };
    const auto attempts = [&] {
        std::string report = attempt(SaveWithTool(target, PageSize::Medium), false);
        if (windowSavedThere) report += attempt(window.SaveOver(PageSize::Medium), true);
        return report + attempt(window.SaveAs(target, PageSize::Medium), true);
    };
    const ChildResult child =
        prepareChild ? RunInChild([&] { return prepareChild() ? attempts() : "could not prepare"; })
                     : ChildResult{true, 0, attempts()};
    ASSERT_TRUE(child.exited) << "the child died of signal " << child.signal;
    const std::vector<Outcome> outcomes = Outcome::ParseAll(child.output);
    ASSERT_EQ(outcomes.size(), windowSavedThere ? 3u : 2u) << child.output;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const bool last = i + 1 == outcomes.size();
        const char* who = i == 0 ? "rumora-page" : last ? "save as" : "save over";
        const Outcome& outcome = outcomes[i];
        EXPECT_EQ(outcome.saved, error == 0) << who << ": " << outcome.message;
        if (error != 0) {
            // Said why: the file and the reason, Japanese in the window.
            EXPECT_TRUE(outcome.stateKept) << who << ": the window's state changed";
            EXPECT_NE(outcome.message.find(target), std::string::npos) << who << outcome.message;
            const std::string why = i == 0 ? std::strerror(error) : WindowReason(error);
            EXPECT_NE(outcome.message.find(why), std::string::npos) << who << outcome.message;
        }
        EXPECT_TRUE(outcome.bytesRight)
            << who << (error == 0 ? ": not the new page" : ": not the old page");
    }
    EXPECT_EQ(MetaOf(target), meta) << "the file lost some of its properties";
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
