// Files replaced whole: a temporary file beside the target is written, synced and renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace kalvor {

// Closes a descriptor on every way out of the scope that owns it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();
    int get() const { return m_fd; }
    // Closes now: 0, or the system error of the close (a late write failure).
    int Close();

private:
    int m_fd;
};

// Writes all bytes: 0, or the system error that stopped it.
int WriteAll(int fd, std::string_view bytes);

// The folder of a path: "." for a bare name.
std::string FolderOf(const std::string& path);

// Creates a new, empty temporary file beside target, named ".<name>.<pid>-<n>.tmp", with the
// permissions mode less the umask, and returns its descriptor (or -1 with errno set). Temporaries
// of the same target left by processes that no longer run (killed in the middle of a save) are
// removed first.
int CreateTemporaryFor(const std::string& target, std::string& temporaryName, unsigned mode = 0666);

// Makes a rename in the folder durable; a folder that cannot be synced changes nothing.
void SyncFolder(const std::string& folder);

} // namespace kalvor
