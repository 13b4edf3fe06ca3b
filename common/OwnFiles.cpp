// Own links, bounded reads of regular files, private folders and the writers' lock.
#include "common/OwnFiles.h"

#include "common/SafeFile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {

namespace {

constexpr int MaxLinks = 40;

// The target of a link as a path usable from here: a relative target is relative to the link's
// folder.
std::string LinkTarget(const std::string& link, int& error) {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        error = length < 0 ? errno : ENAMETOOLONG;
        return {};
    }
    const std::string target(buffer, static_cast<std::size_t>(length));
    if (target.starts_with('/')) {
        return target;
    }
    const std::string folder = FolderOf(link);
    return folder == "/" ? "/" + target : folder + "/" + target;
}

} // namespace

int ResolveOwnLinks(const std::string& path, std::string& resolved) {
    const uid_t user = ::geteuid();
    resolved = path;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno;
    }
    if (!S_ISLNK(info.st_mode)) {
        return 0;
    }
    for (int hop = 0; hop < MaxLinks; ++hop) {
        if (info.st_uid != user) {
            return EACCES; // a link that someone else placed
        }
        int error = 0;
        resolved = LinkTarget(resolved, error);
        if (error != 0) {
            return error;
        }
        if (::lstat(resolved.c_str(), &info) != 0) {
            return EACCES; // a link that leads nowhere
        }
        if (!S_ISLNK(info.st_mode)) {
            return info.st_uid == user ? 0 : EACCES;
        }
    }
    return ELOOP;
}

ReadOutcome ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes) {
    ReadOutcome outcome;
    outcome.path = path;
    bytes.clear();
    std::string target;
    if (const int error = ResolveOwnLinks(path, target)) {
        struct stat link {};
        outcome.error = error;
        outcome.linkRefused = ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
        return outcome;
    }
    outcome.path = target;
    const bool viaLink = target != path;
    // A look before the open: a device is never opened at all, since opening some has effects.
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        outcome.notRegular = true;
        return outcome;
    }
    int fd = -1;
    do {
        // Non-blocking: a FIFO put in the file's place since the look opens at once.
        fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        outcome.error = errno;
        outcome.notRegular = errno == ENXIO; // a socket
        outcome.linkRefused = errno == ELOOP;
        if (outcome.notRegular) {
            outcome.error = 0;
        }
        return outcome;
    }
    FileDescriptor file(fd);
    if (::fstat(fd, &info) != 0) {
        outcome.error = errno;
        return outcome;
    }
    if (S_ISDIR(info.st_mode)) {
        outcome.error = EISDIR;
        return outcome;
    }
    if (!S_ISREG(info.st_mode)) {
        outcome.notRegular = true;
        return outcome;
    }
    if (viaLink && info.st_uid != ::geteuid()) {
        outcome.error = EACCES; // the file changed hands since the link was followed
        outcome.linkRefused = true;
        return outcome;
    }
    if (static_cast<unsigned long long>(info.st_size) > limit) {
        outcome.tooLarge = true;
        return outcome;
    }
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            outcome.error = errno;
            bytes.clear();
            return outcome;
        }
        if (count == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(count) > limit) {
            outcome.tooLarge = true; // it grew while being read
            bytes.clear();
            return outcome;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    if (const int error = file.Close()) {
        outcome.error = error;
        bytes.clear();
    }
    return outcome;
}

WriteTarget ResolveWriteTarget(const std::string& named, const std::string& input) {
    WriteTarget target;
    target.path = named;
    std::string resolved;
    if (const int error = ResolveOwnLinks(named, resolved)) {
        if (error != ENOENT) {
            target.error = error;
        }
        return target; // ENOENT: a new file
    }
    target.path = resolved;
    struct stat info {};
    if (::stat(resolved.c_str(), &info) != 0) {
        target.error = errno;
        return target;
    }
    if (S_ISDIR(info.st_mode)) {
        target.error = EISDIR;
        return target;
    }
    if (!S_ISREG(info.st_mode)) {
        target.notRegular = true;
        return target;
    }
    struct stat source {};
    if (!input.empty() && ::stat(input.c_str(), &source) == 0 && source.st_dev == info.st_dev &&
        source.st_ino == info.st_ino) {
        target.isInput = true;
        return target;
    }
    // The system's own judgement of the right to write: permissions, ACLs, read-only mounts. The
    // folder may allow the rename; the file's permissions rule.
    int fd = -1;
    do {
        fd = ::open(resolved.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        target.error = errno == ELOOP ? EACCES : errno;
        return target;
    }
    ::close(fd);
    return target;
}

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileStamp{
        static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
        static_cast<long long>(info.st_size), static_cast<long long>(info.st_mtim.tv_sec),
        static_cast<long long>(info.st_mtim.tv_nsec)};
}

int CreatePrivateFolders(const std::string& folder) {
    if (folder.empty()) {
        return ENOENT;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    }
    if (errno != ENOENT) {
        return errno;
    }
    const std::string parent = FolderOf(folder);
    if (parent != folder && parent != "." && parent != "/") {
        if (const int error = CreatePrivateFolders(parent)) {
            return error;
        }
    }
    if (::mkdir(folder.c_str(), 0700) != 0) {
        return errno == EEXIST ? 0 : errno; // made by another process meanwhile: as it is
    }
    // The umask may have taken bits away from 0700 (never added any): set it exactly.
    return ::chmod(folder.c_str(), 0700) == 0 ? 0 : errno;
}

FileLock::FileLock(const std::string& lockPath) {
    do {
        m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        m_error = errno;
        return;
    }
    (void)::fchmod(m_fd, 0600); // the umask may have left it less than that
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            m_error = errno;
            ::close(m_fd);
            m_fd = -1;
            return;
        }
    }
}

FileLock::~FileLock() {
    if (m_fd >= 0) {
        ::close(m_fd); // closing the only descriptor releases the lock
    }
}

} // namespace kalvor
