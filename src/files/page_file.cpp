#include "files/page_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>
#include <vector>

#include "core/file_descriptor.h"
#include "files/code_page.h"

// How a save decides between replacing the file whole and rewriting it in
// place follows GLib's g_file_replace (handle_overwrite_open in
// gio/glocalfileoutputstream.c) and vim's 'backupcopy=auto' (bufwrite.c):
// open the original for writing first and let its refusal stand; replace by
// rename only when the file has a single link and a new file in its folder
// can be given the same owner, group and mode (GLib's fchown/fchmod check,
// vim's trial file); in every other case, or when making that file fails,
// write into the original. Beyond them: extended attributes (the ACL among
// them) must be copied too, a mounted file is written in place, and the
// file a symbolic link leads to is still replaced whole when it can be,
// after checking that it is the very file the kernel opened.
//
// Saves of one file follow one another: each holds an open file
// description lock on the file it replaces or rewrites for the whole save.

namespace rumora {

namespace {

// Our temporary files: ".rumora-", twelve letters or digits, ".tmp". The
// letters follow from the file's device and inode, so a user's file of the
// same shape is not taken for ours.
constexpr std::string_view kTemporaryPrefix = ".rumora-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr int kTemporaryAttempts = 16;
// A save takes milliseconds; a temporary file this old belongs to none.
constexpr std::time_t kStaleSeconds = 60;

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

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The name of our temporary file `info`, the `attempt`th choice.
std::string TemporaryName(const struct stat& info, int attempt) {
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
    for (const std::uint64_t value : {std::uint64_t{info.st_dev}, std::uint64_t{info.st_ino},
                                      static_cast<std::uint64_t>(attempt)}) {
        for (int i = 0; i < 8; ++i) hash = (hash ^ (value >> (8 * i) & 0xFF)) * 0x100000001b3u;
    }
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(kTemporaryPrefix);
    for (int i = 0; i < 12; ++i, hash /= 36) name.push_back(kLetters[hash % 36]);
    return name.append(kTemporarySuffix);
}

// A passing name, for a file made where unnamed files are not offered.
std::string RandomTemporaryName() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name(kTemporaryPrefix);
    for (int i = 0; i < 12; ++i) name.push_back(kLetters[generator() % 36]);
    return name.append(kTemporarySuffix);
}

bool IsOurTemporary(std::string_view name, const struct stat& info) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        if (name == TemporaryName(info, attempt)) return true;
    }
    return false;
}

// A save killed between naming its new file and the rename leaves that file
// behind. The next save into the folder removes such files: ours by name,
// inode and owner, and old enough that no save still at work can own them.
void RemoveStaleTemporaryFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!name.starts_with(kTemporaryPrefix)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(info.st_mode) && info.st_nlink == 1 && info.st_uid == ::geteuid() &&
            now - info.st_mtime >= kStaleSeconds && IsOurTemporary(name, info)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

// errno of the failed write, 0 when every byte went out.
int WriteAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return 0;
}

bool ReadAll(int fd, std::string& bytes) {
    char buffer[65536];
    bytes.clear();
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

void SyncFolder(const std::string& folder) {
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

// The existing file, opened by the kernel's rules for a plain write.
struct Target {
    FileDescriptor fd;
    struct stat info {};
    bool readable = false;  // its old bytes can be kept for putting back
    bool created = false;   // made just now through a dangling link
    bool device = false;    // a terminal or the null device: written plainly
};

// Files of the kernel's own file systems look regular but are settings and
// reports; writing a page there changes the system.
bool OnAPseudoFileSystem(int fd) {
    struct statfs system {};
    if (::fstatfs(fd, &system) != 0) return false;
    switch (static_cast<unsigned long>(system.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case SELINUX_MAGIC:
        case SMACK_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case BPF_FS_MAGIC:
        case PSTOREFS_MAGIC:
        case EFIVARFS_MAGIC:
        case 0x62656570:  // configfs
        case BINFMTFS_MAGIC:
        case 0x65735543:  // fusectl
        case DEVPTS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

// Devices that take a page as `> name` would: a terminal, or /dev/null,
// /dev/zero and /dev/full.
bool TakesAPlainWrite(int fd, const struct stat& info) {
    if (!S_ISCHR(info.st_mode)) return false;
    const unsigned int minor = minor(info.st_rdev);
    return ::isatty(fd) || (major(info.st_rdev) == 1 && (minor == 3 || minor == 5 || minor == 7));
}

void RefuseThePicture(const std::string& path, const struct stat& file,
                      const std::string& picture) {
    struct stat shown {};
    if (!picture.empty() && ::stat(picture.c_str(), &shown) == 0 && SameFile(file, shown)) {
        throw PageFileError(path, 0, "cannot write " + path + ": it is the picture the page shows",
                            PageFileError::Cause::IsThePicture);
    }
}

// False when nothing has the name yet: the page makes a new file.
bool OpenExisting(const std::string& path, const std::string& picture, Target& target) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0) {
        if (errno == ENOENT) return false;
        Fail(path, errno, "cannot reach the file");
    }
    if (S_ISDIR(named.st_mode)) Fail(path, EISDIR, "the name is a folder");
    struct stat followed {};
    if (::stat(path.c_str(), &followed) == 0) {
        RefuseThePicture(path, followed, picture);
    } else {
        target.created = S_ISLNK(named.st_mode) && errno == ENOENT;
    }
    // O_CREAT without O_EXCL, as a plain write: the kernel then applies
    // fs.protected_regular to the file and fs.protected_symlinks to links.
    constexpr int kFlags = O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(path.c_str(), O_RDWR | kFlags, 0666);
    target.readable = fd >= 0;
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | kFlags, 0666);
    if (fd < 0) Fail(path, errno, "cannot open the file for writing");
    target.fd.reset(fd);
    if (::fstat(fd, &target.info) != 0) Fail(path, errno, "cannot read the file's properties");
    target.device = TakesAPlainWrite(fd, target.info);
    if (target.device) return true;
    if (!S_ISREG(target.info.st_mode)) {
        Fail(path, 0, "the name belongs to something that is not a regular file");
    }
    if (OnAPseudoFileSystem(fd)) {
        Fail(path, 0, "the name belongs to a file of the system (proc, sys), not a regular file");
    }
    RefuseThePicture(path, target.info, picture);
    return true;
}

// Waits for any other save of the file to end. False when the name no longer
// leads to the locked file (that save replaced it): the caller opens it again.
bool LockTarget(const std::string& path, Target& target) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    int locked;
    while ((locked = ::fcntl(target.fd.get(), F_OFD_SETLKW, &whole)) != 0 && errno == EINTR) {
    }
    // A file system without locks is saved as before.
    if (locked != 0) return true;
    // That save may have changed the file's length and rights.
    struct stat named {};
    return ::fstat(target.fd.get(), &target.info) == 0 && ::stat(path.c_str(), &named) == 0 &&
           SameFile(named, target.info);
}

void WriteToDevice(const std::string& path, const Target& target, std::string_view bytes) {
    const int fd = target.fd.get();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) Fail(path, written < 0 ? errno : ENOSPC, "writing the page failed");
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// The name a new file must take to replace the opened file: the path, or
// for a symbolic link the file it leads to. Empty when it is not certain.
std::string ReplaceableName(const std::string& path, const struct stat& opened) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0) return {};
    std::string name = path;
    if (S_ISLNK(named.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return {};
        name = resolved;
        std::free(resolved);
        if (::lstat(name.c_str(), &named) != 0) return {};
    }
    return SameFile(named, opened) ? name : std::string();
}

// A file mounted over its name (a bind mount) must not be renamed over.
bool OnTheFoldersMount(int fd, const std::string& folder) {
    struct statx file {};
    struct statx dir {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &file) != 0 ||
        ::statx(AT_FDCWD, folder.c_str(), 0, STATX_MNT_ID, &dir) != 0) {
        return false;
    }
    if (file.stx_dev_major != dir.stx_dev_major || file.stx_dev_minor != dir.stx_dev_minor) {
        return false;
    }
    return (file.stx_mask & dir.stx_mask & STATX_MNT_ID) == 0 || file.stx_mnt_id == dir.stx_mnt_id;
}

std::optional<std::vector<std::string>> AttributeNames(int fd) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) {
            if (errno == ENOTSUP) return std::vector<std::string>{};
            return std::nullopt;
        }
        std::string list(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE) continue;  // it grew meanwhile
        if (got < 0) return std::nullopt;
        std::vector<std::string> names;
        list.resize(static_cast<std::size_t>(got));
        for (std::size_t at = 0; at < list.size();) {
            const std::size_t end = std::min(list.find('\0', at), list.size());
            names.push_back(list.substr(at, end - at));
            at = end + 1;
        }
        return names;
    }
    return std::nullopt;
}

std::optional<std::string> AttributeValue(int fd, const std::string& name) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return std::nullopt;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return std::nullopt;
        value.resize(static_cast<std::size_t>(got));
        return value;
    }
    return std::nullopt;
}

// Gives `copy` the original's owner, group, extended attributes (the ACL
// among them) and mode, in that order, as chown clears set-id bits and an
// ACL sets group bits. False when the file system or our rights refuse any.
bool CarryOver(const Target& original, int copy) {
    const struct stat& want = original.info;
    struct stat now {};
    if (::fstat(copy, &now) != 0) return false;
    if ((now.st_uid != want.st_uid || now.st_gid != want.st_gid) &&
        ::fchown(copy, want.st_uid, want.st_gid) != 0) {
        return false;
    }
    const auto names = AttributeNames(original.fd.get());
    const auto present = AttributeNames(copy);
    if (!names || !present) return false;
    for (const std::string& name : *present) {
        if (std::find(names->begin(), names->end(), name) == names->end() &&
            ::fremovexattr(copy, name.c_str()) != 0) {
            return false;
        }
    }
    for (const std::string& name : *names) {
        const auto value = AttributeValue(original.fd.get(), name);
        if (!value) return false;
        if (AttributeValue(copy, name) == value) continue;
        if (::fsetxattr(copy, name.c_str(), value->data(), value->size(), 0) != 0) return false;
    }
    if (::fchmod(copy, want.st_mode & 07777) != 0 || ::fstat(copy, &now) != 0) return false;
    return now.st_uid == want.st_uid && now.st_gid == want.st_gid &&
           (now.st_mode & 07777) == (want.st_mode & 07777);
}

// Where unnamed files can be named later (O_TMPFILE and linkat with
// AT_EMPTY_PATH), nothing is left behind by a failure before that point.
std::atomic<bool> gUnnamedFilesCanBeLinked{true};

// The new page's file in the folder, removed again unless it became the page.
struct Temporary {
    FileDescriptor fd;
    std::string name;  // empty while it has none
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        if (!name.empty()) ::unlink(name.c_str());
    }
};

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// errno when no file could be made.
int CreateTemporary(const std::string& folder, mode_t mode, Temporary& temporary) {
    if (gUnnamedFilesCanBeLinked) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd >= 0) {
            temporary.fd.reset(fd);
            return 0;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = Join(folder, RandomTemporaryName());
        const int fd =
            ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            temporary.fd.reset(fd);
            temporary.name = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// errno when the new file could not be given its hidden name, the one its
// inode gives it. A file with a passing name keeps it where the file system
// has no hard links.
int NameTemporary(const std::string& folder, Temporary& temporary) {
    struct stat info {};
    if (::fstat(temporary.fd.get(), &info) != 0) return errno;
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        std::string name = Join(folder, TemporaryName(info, attempt));
        const bool unnamed = temporary.name.empty();
        if ((unnamed ? ::linkat(temporary.fd.get(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH)
                     : ::link(temporary.name.c_str(), name.c_str())) == 0) {
            if (!unnamed) ::unlink(temporary.name.c_str());
            temporary.name = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return unnamed ? errno : 0;
    }
    return EEXIST;
}

enum class Replaced { Done, WriteInPlace };

// A step of the whole replacement failed: an existing file is then written
// in place, a new name has no other way.
Replaced GiveUp(const std::string& path, const Target* original, int error, const char* what) {
    if (original != nullptr) return Replaced::WriteInPlace;
    Fail(path, error, what);
}

// Writes the page to a new file in the folder of `name`, flushes it and
// renames it to `name`. `original` is the opened file it replaces, if any.
Replaced ReplaceWhole(const std::string& path, const std::string& name, const Target* original,
                      std::string_view bytes, const BeforeReplaceHook& beforeReplace) {
    const std::string folder = FolderOf(name);
    RemoveStaleTemporaryFiles(folder);
    Temporary temporary;
    // A new name gets what a plain create gives: 0666 less the umask, the
    // folder's default ACL and group.
    if (const int error = CreateTemporary(folder, original ? 0600 : 0666, temporary)) {
        return GiveUp(path, original, error, "cannot create a file in the folder");
    }
    if (const int error = WriteAll(temporary.fd.get(), bytes, 0)) {
        return GiveUp(path, original, error, "writing the page failed");
    }
    if (original != nullptr && !CarryOver(*original, temporary.fd.get())) {
        return Replaced::WriteInPlace;
    }
    if (::fsync(temporary.fd.get()) != 0) {
        return GiveUp(path, original, errno, "flushing the page to disk failed");
    }
    {
        const bool unnamed = temporary.name.empty();
        const int error = NameTemporary(folder, temporary);
        if (unnamed && (error == ENOENT || error == EPERM)) {
            // This kernel does not let us link unnamed files: from now on
            // every save uses named ones.
            gUnnamedFilesCanBeLinked = false;
            return ReplaceWhole(path, name, original, bytes, beforeReplace);
        }
        if (error != 0) return GiveUp(path, original, error, "cannot name the new page file");
    }
    if (beforeReplace) beforeReplace();
    if (temporary.fd.Close() != 0) {
        return GiveUp(path, original, errno, "closing the page file failed");
    }
    struct stat named {};
    if (original != nullptr &&
        (::lstat(name.c_str(), &named) != 0 || !SameFile(named, original->info))) {
        return Replaced::WriteInPlace;  // the name was given to another file meanwhile
    }
    if (::rename(temporary.name.c_str(), name.c_str()) != 0) {
        return GiveUp(path, original, errno, "cannot replace the file");
    }
    temporary.name.clear();
    // Make the new name itself durable; a failure here loses nothing.
    SyncFolder(folder);
    return Replaced::Done;
}

bool PutBack(int fd, const std::string& old) {
    return WriteAll(fd, old, 0) == 0 && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0 &&
           ::fsync(fd) == 0;
}

// errno of writing `bytes` at the start of the file, by a child that the
// signals sent to this process do not reach and that blocks its own: once
// begun, the write ends whole, even when this process is killed meanwhile.
// The child holds the file's lock until it is done.
int WriteWholeOnce(int fd, std::string_view bytes) {
    sigset_t all, was;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &was);
    const pid_t child = ::vfork();
    if (child == 0) ::_exit(WriteAll(fd, bytes, 0));
    ::pthread_sigmask(SIG_SETMASK, &was, nullptr);
    if (child < 0) return WriteAll(fd, bytes, 0);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return errno;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : EIO;
}

// Rewrites the opened file so that, killed at any moment, it holds the old
// page or the new one, the new one perhaps followed by blanks, which a
// browser ignores. vim, GLib and SQLite keep a second copy (a backup, a
// journal) for the moment between two states; a page needs none, as it
// changes from old to new in a single step:
// 1. Space for the longer of the two is reserved first, so a full disk stops
//    the save before any byte changes and the write below cannot run short.
// 2. The new page, padded with blanks to the old length, goes out in one
//    write that a kill cannot cut (WriteWholeOnce): before it the file is
//    the old page, after it the new page and blanks, never a mix; no byte of
//    the old page survives the write, as the blanks cover its tail.
// 3. Only then is the file cut to the new length; killed before that, the
//    blanks stay.
// On a failure the old bytes are put back.
void WriteInPlace(const std::string& path, const Target& target, std::string_view bytes,
                  const BeforeReplaceHook& beforeReplace) {
    const int fd = target.fd.get();
    std::string old;
    const bool kept = target.readable && ReadAll(fd, old);
    std::string padded(bytes);
    if (static_cast<off_t>(padded.size()) < target.info.st_size) {
        padded.resize(static_cast<std::size_t>(target.info.st_size), ' ');
    }
    const auto longest = static_cast<off_t>(padded.size());
    if (longest > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, longest) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        Fail(path, errno, "no room for the page");
    }
    try {
        if (const int error = WriteWholeOnce(fd, padded)) {
            Fail(path, error, "writing the page failed");
        }
        if (beforeReplace) beforeReplace();
        if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
            Fail(path, errno, "cutting the file to length failed");
        }
        if (::fsync(fd) != 0) Fail(path, errno, "flushing the page to disk failed");
    } catch (const PageFileError& error) {
        if (kept && PutBack(fd, old)) throw;
        throw PageFileError(path, error.errorNumber(),
                            std::string(error.what()) + "; the old contents could not be put back");
    } catch (...) {
        if (kept) PutBack(fd, old);
        throw;
    }
}

}  // namespace

bool SameExistingFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return !a.empty() && !b.empty() && ::stat(a.c_str(), &first) == 0 &&
           ::stat(b.c_str(), &second) == 0 && SameFile(first, second);
}

void ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const std::string& picture, const BeforeReplaceHook& beforeReplace) {
    if (path.empty()) Fail(path, ENOENT, "no file name");
    // A C string ends at NUL: the name would lead to another file.
    if (path.find('\0') != std::string::npos) Fail(path, EINVAL, "the file name holds a NUL");

    for (int attempt = 0;; ++attempt) {
        Target target;
        if (!OpenExisting(path, picture, target)) {
            // A new name: the kernel decides when the file is made in the folder.
            ReplaceWhole(path, path, nullptr, bytes, beforeReplace);
            return;
        }
        if (target.device) return WriteToDevice(path, target, bytes);
        // Replaced by the save that held the lock: the new file is saved over.
        if (!LockTarget(path, target) && attempt < 16) continue;
        const std::string name = ReplaceableName(path, target.info);
        try {
            if (!name.empty() && target.info.st_nlink == 1 &&
                OnTheFoldersMount(target.fd.get(), FolderOf(name)) &&
                ReplaceWhole(path, name, &target, bytes, beforeReplace) == Replaced::Done) {
                return;
            }
            WriteInPlace(path, target, bytes, beforeReplace);
            return;
        } catch (...) {
            // The file made through a dangling link goes again, unless another
            // save has replaced it meanwhile.
            struct stat named {};
            if (target.created && !name.empty() && ::lstat(name.c_str(), &named) == 0 &&
                SameFile(named, target.info)) {
                ::unlink(name.c_str());
            }
            throw;
        }
    }
}

void WritePageFile(const std::string& path, std::string_view page, PageEncoding encoding,
                   const std::string& picture, const BeforeReplaceHook& beforeReplace) {
    if (encoding == PageEncoding::Utf8) {
        ReplaceFileContents(path, page, picture, beforeReplace);
    } else {
        ReplaceFileContents(path, ToCodePage932(page), picture, beforeReplace);
    }
}

}  // namespace rumora
