#include "output/page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

#include "output/code_page.h"

namespace rumora {

namespace {

[[noreturn]] void Fail(const std::string& path, int errorNumber, const std::string& what) {
    std::string message = "cannot write " + path + ": " + what;
    if (errorNumber != 0) message += std::string(": ") + std::strerror(errorNumber);
    throw PageFileError(path, errorNumber, message);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Follows symbolic links to the file they finally name, which need not
// exist yet (a dangling link creates its target, as a plain write would).
std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::array<char, PATH_MAX> buffer{};
        const ssize_t length = readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (length < 0) Fail(path, errno, "cannot read the symbolic link");
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        if (target.empty() || target[0] != '/') {
            const std::string folder = FolderOf(current);
            target = (folder == "/" ? "/" : folder + "/") + target;
        }
        current = std::move(target);
    }
    Fail(path, ELOOP, "too many symbolic links");
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the result; close can fail on network and
    // quota-limited file systems after the data was accepted.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

std::string RandomSuffix() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 12; ++i) suffix.push_back(kLetters[generator() % 36]);
    return suffix;
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail(path, errno, "writing the page failed");
        }
        if (written == 0) Fail(path, ENOSPC, "writing the page failed");
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

// A name-less file in `folder` where the kernel supports it (nothing is left
// behind whatever happens before it is linked), else a hidden named one.
struct TemporaryFile {
    int fd = -1;
    std::string name;  // empty while the file has no name
};

TemporaryFile OpenTemporaryFile(const std::string& folder, const std::string& path, mode_t mode) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0) return {fd, {}};
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        Fail(path, errno, "cannot create a file in " + folder);
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = folder + "/.rumora-" + RandomSuffix() + ".tmp";
        const int named = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (named >= 0) return {named, std::move(name)};
        if (errno != EEXIST) Fail(path, errno, "cannot create a file in " + folder);
    }
    Fail(path, EEXIST, "cannot create a temporary file in " + folder);
}

// Gives the written file a hidden name beside the target.
std::string LinkTemporaryFile(int fd, const std::string& folder, const std::string& path) {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = folder + "/.rumora-" + RandomSuffix() + ".tmp";
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return name;
        }
        if (errno != EEXIST) Fail(path, errno, "cannot name the new page file");
    }
    Fail(path, EEXIST, "cannot name the new page file");
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const BeforeReplaceHook& beforeReplace) {
    if (path.empty()) Fail(path, ENOENT, "no file name");
    // A C string ends at NUL: the name would lead to another file.
    if (path.find('\0') != std::string::npos) Fail(path, EINVAL, "the file name holds a NUL");
    const std::string target = ResolveLinks(path);
    const std::string folder = FolderOf(target);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) Fail(path, EISDIR, "the name is a folder");
    if (exists && !S_ISREG(existing.st_mode)) {
        Fail(path, 0, "the name belongs to something that is not a regular file");
    }
    if (!exists && errno != ENOENT) Fail(path, errno, "cannot reach the file");

    // A new file gets the usual 0666 less the umask; an old one keeps its bits.
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0666;
    TemporaryFile temporary = OpenTemporaryFile(folder, path, mode);
    FileDescriptor file(temporary.fd);
    auto removeNamed = [&] {
        if (!temporary.name.empty()) ::unlink(temporary.name.c_str());
    };

    try {
        if (exists) {
            if (::fchmod(file.get(), existing.st_mode & 07777) != 0) {
                Fail(path, errno, "cannot keep the file's permissions");
            }
            // Root saving over another user's file leaves it theirs.
            if (::geteuid() == 0) {
                [[maybe_unused]] const int ignored =
                    ::fchown(file.get(), existing.st_uid, existing.st_gid);
            }
        }
        WriteAll(file.get(), bytes, path);
        if (::fsync(file.get()) != 0) Fail(path, errno, "flushing the page to disk failed");
        if (beforeReplace) beforeReplace();
        if (temporary.name.empty()) temporary.name = LinkTemporaryFile(file.get(), folder, path);
        if (file.Close() != 0) Fail(path, errno, "closing the page file failed");
        if (::rename(temporary.name.c_str(), target.c_str()) != 0) {
            Fail(path, errno, "cannot replace the file");
        }
    } catch (...) {
        removeNamed();
        throw;
    }
    // Make the new name itself durable; a failure here loses nothing.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void WritePageFile(const std::string& path, std::string_view page, PageEncoding encoding,
                   const BeforeReplaceHook& beforeReplace) {
    if (encoding == PageEncoding::Utf8) {
        WriteFileAtomically(path, page, beforeReplace);
    } else {
        WriteFileAtomically(path, ToCodePage932(page), beforeReplace);
    }
}

}  // namespace rumora
