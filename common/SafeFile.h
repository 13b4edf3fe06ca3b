// Files replaced whole: a temporary file beside the target is written, synced and renamed over it.
#pragma once

#include <functional>
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

// Creates a new, empty temporary file beside target, named ".<name>.<pid>-<n>.tmp", and returns
// its descriptor (or -1 with errno set). Temporaries of the same target left by processes that no
// longer run (killed in the middle of a save) are removed first.
int CreateTemporaryFor(const std::string& target, std::string& temporaryName);

// Makes a rename in the folder durable; a folder that cannot be synced changes nothing.
void SyncFolder(const std::string& folder);

// Reads the whole file into bytes: 0, or the system error that stopped the reading.
int ReadWholeFile(const std::string& path, std::string& bytes);

// Fills a new temporary file beside target: given its open descriptor and its path, returns 0 or
// the system error that stopped it.
using FileFiller = std::function<int(int fd, const std::string& path)>;

// Replaces target whole: fill writes the new content into a temporary file beside it, which takes
// the old file's permissions, is synced, closed and renamed over target in one step; the folder is
// synced after. Returns 0, or the system error that stopped it: target is then as it was and the
// temporary is gone.
int ReplaceFileWith(const std::string& target, const FileFiller& fill);

// The same with the new content given as bytes.
int ReplaceFileWith(const std::string& target, std::string_view bytes);

} // namespace kalvor
