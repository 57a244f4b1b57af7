// Staging for the disk tests: small tmpfs mounts, child processes, and one
// save attempt each through the batch tool and through the window's logic,
// with what the user would see afterwards.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "support/scripted_platform.h"

namespace rumora::disk {

// A page of about 100 B (an unknown layout), 10 KB (シンプル) or 20 KB
// (シンプル with a long font name), made the same way by the tool and the
// window.
enum class PageSize { Small, Medium, Large };

std::vector<std::string> ToolArguments(PageSize size);
void ApplyPageSize(PageSettings& s, PageSize size);

// Names in a folder, hidden ones included.
std::set<std::string> Names(const std::string& folder);

// What a file carries besides its bytes, as the shell's tools show it: the
// name's type, then the file's owner, group, mode, links and extended
// attributes (the ACL among them).
std::string MetaOf(const std::string& path);

// A fresh folder with a tmpfs of `bytes` mounted on it, unmounted (even if
// left read-only) and removed afterwards. `error` is set when the machine
// cannot mount one.
class Tmpfs {
  public:
    explicit Tmpfs(std::size_t bytes);
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    std::string error_;
    bool mounted_ = false;
};

// Runs `body` in a forked child; what it returns comes back through a pipe.
// The child ends with _exit, so no destructor of the parent's objects runs
// there.
struct ChildResult {
    bool exited = false;  // normally, with status 0
    int signal = 0;       // the signal that ended it, if any
    std::string output;
};
ChildResult RunInChild(const std::function<std::string()>& body);
// For RunInChild: become `uid` with these groups only.
std::function<bool()> AsUser(uid_t uid, std::vector<gid_t> groups = {});

// What one save attempt left for the user.
struct Outcome {
    bool saved = false;
    // Only for the window: strCalendar, strSaveName and buttons 2 and 4 as
    // before the command (always true after a save that worked).
    bool stateKept = true;
    std::string message;  // the tool's error output or the window's message
    // The file holds exactly the page just made when saved, else the old
    // bytes (set by ExpectAllSaves).
    bool bytesRight = true;

    // For outcomes that come back from a child process, several in a row.
    std::string Serialize() const;
    static std::vector<Outcome> ParseAll(const std::string& text);
};

class Window;
// The tool, then the window saving over (when it saved there before) and
// saving as, all at the medium size. With `error` 0 each writes its page,
// else each is refused with `error` and the old bytes stay. Either way the
// file keeps its properties and the folder's names stay as they were (no
// temporary file). With `prepareChild`, the three run in a child process
// that it prepares first (false: it could not).
void ExpectAllSaves(Window& window, const std::string& target, const std::string& folder, int error,
                    bool windowSavedThere, const std::function<bool()>& prepareChild = nullptr);

// rumora-page in-process, writing `path`.
Outcome SaveWithTool(const std::string& path, PageSize size);
// The page the tool writes for `size`, as it would be on disk.
std::string ToolPageBytes(PageSize size);

// A started window whose first save-as (made while the disk was still
// healthy) gave the old file; later attempts go to the same name.
class Window {
  public:
    Window();
    // Saves an English page as `path`, then turns back to Japanese so that
    // the next page differs from the one on disk.
    bool SaveOldPage(const std::string& path);
    // Save-as through the dialog; replaces an existing file when asked.
    Outcome SaveAs(const std::string& path, PageSize size);
    // Toolbar button 2: over strSaveName.
    Outcome SaveOver(PageSize size);
    // The bytes the last build would put on disk.
    std::string PageBytes() const;

    testing::ScriptedPlatform platform;
    Form1 form{platform};

  private:
    Outcome Click(std::int16_t button, PageSize size);
};

}  // namespace rumora::disk
