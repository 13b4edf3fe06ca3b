// Whole-file replacement: descriptors, complete writes, temporaries beside the target.
#include "common/SafeFile.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {

FileDescriptor::~FileDescriptor() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

int FileDescriptor::Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (count == 0) {
            return EIO;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes ".<name>.<pid>-<n>.tmp" files in the folder whose process no longer runs.
void SweepStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return;
    }
    const std::string prefix = "." + name + ".";
    const std::string_view suffix = ".tmp";
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view candidate = entry->d_name;
        if (!candidate.starts_with(prefix) || !candidate.ends_with(suffix)) {
            continue;
        }
        const std::string_view middle = candidate.substr(
            prefix.size(), candidate.size() - prefix.size() - suffix.size()); // "<pid>-<n>"
        int pid = 0;
        const auto [end, ec] = std::from_chars(middle.data(), middle.data() + middle.size(), pid);
        if (ec != std::errc() || end == middle.data() + middle.size() || *end != '-' || pid <= 0) {
            continue;
        }
        if (::kill(pid, 0) != 0 && errno == ESRCH) {
            ::unlinkat(::dirfd(directory), entry->d_name, 0);
        }
    }
    ::closedir(directory);
}

} // namespace

int CreateTemporaryFor(const std::string& target, std::string& temporaryName) {
    const std::string folder = FolderOf(target);
    const std::string name = NameOf(target);
    SweepStaleTemporaries(folder, name);
    const std::string base = (folder == "." && target.find('/') == std::string::npos)
                                 ? std::string()
                                 : (folder == "/" ? "/" : folder + "/");
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryName = base + "." + name + "." + std::to_string(::getpid()) + "-" +
                        std::to_string(++counter) + ".tmp";
        const int fd = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

int ReadWholeFile(const std::string& path, std::string& bytes) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno;
    }
    FileDescriptor file(fd);
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (count == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return file.Close();
}

int ReplaceFileWith(const std::string& target, const FileFiller& fill) {
    std::string temporary;
    const int fd = CreateTemporaryFor(target, temporary);
    if (fd < 0) {
        return errno;
    }
    FileDescriptor file(fd);
    auto fail = [&](int systemError) {
        if (file.get() >= 0) {
            file.Close();
        }
        ::unlink(temporary.c_str());
        return systemError;
    };

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Keeps the old file's permissions; a file that cannot take them is still a good save.
        (void)::fchmod(file.get(), old.st_mode & 07777);
    }
    if (const int error = fill(file.get(), temporary)) {
        return fail(error);
    }
    if (::fsync(file.get()) != 0) {
        return fail(errno);
    }
    if (const int error = file.Close()) {
        return fail(error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    // The rename itself reaches the disk with the folder; a folder that cannot be synced still
    // holds the complete new file.
    SyncFolder(FolderOf(target));
    return 0;
}

int ReplaceFileWith(const std::string& target, std::string_view bytes) {
    return ReplaceFileWith(target,
                           [bytes](int fd, const std::string&) { return WriteAll(fd, bytes); });
}

} // namespace kalvor
