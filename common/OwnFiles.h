// Files of the user's own: symbolic links followed only to the user's files, regular files read
// whole within a bound, folders only the user can enter, and a lock that serialises writers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace kalvor {

// Where a file name leads. A name that is no symbolic link leads to itself: 0, or ENOENT when
// nothing is there. A link is followed to the end of its chain only when every link on the way
// and the file at its end belong to this process's user: 0 with that file's path; EACCES for any
// other link (one of another user, one to another user's file, one that leads nowhere), ELOOP
// for a chain of more than 40 links.
int ResolveOwnLinks(const std::string& path, std::string& resolved);

// What became of reading a file whole.
struct ReadOutcome {
    std::string path;         // the file read: the name itself, or the end of its own links
    int error = 0;            // the system error of the open or the read (ENOENT, EISDIR, ...)
    bool linkRefused = false; // a symbolic link that is not followed (error is EACCES)
    bool notRegular = false;  // a FIFO, device or socket: never read, and never waited for
    bool tooLarge = false;    // more than the limit: not read
    bool ok() const { return error == 0 && !notRegular && !tooLarge; }
};

// Reads a regular file whole, through own links (ResolveOwnLinks), into bytes. Nothing under the
// name is opened in a way that could wait (no FIFO waits for a writer), and at most limit bytes
// are ever held: a larger file, or one that grows beyond the limit while it is read, is refused.
ReadOutcome ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes);

// Where a save or an export writes for the name the user gave.
struct WriteTarget {
    std::string path;        // the file replaced: the name itself, or the end of its own links
    int error = 0;           // EACCES: a link not followed, a file the user may not write; EISDIR
    bool notRegular = false; // a device, FIFO or socket is never replaced
    bool isInput = false;    // the very file that the output is made from
    bool ok() const { return error == 0 && !notRegular && !isInput; }
};

// Resolves the name as a save must take it: a new file is written under its name; an existing
// one only as a regular file the user may write, through links of the user's own (the link stays,
// its file is replaced), and never when it is the input (compared by device and inode).
WriteTarget ResolveWriteTarget(const std::string& named, const std::string& input = {});

// What identifies a file's content on disk without reading it.
struct FileStamp {
    unsigned long long device = 0, inode = 0;
    long long size = 0, seconds = 0, nanoseconds = 0; // modification time
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file a name leads to (links followed), or nullopt when there is none.
std::optional<FileStamp> StampOf(const std::string& path);

// Creates the folder and every missing folder above it with mode 0700, whatever the umask;
// folders that exist are left as they are. 0, or the system error that stopped it.
int CreatePrivateFolders(const std::string& folder);

// An exclusive lock (flock) on a lock file, created 0600 where missing and never removed, held
// for the object's lifetime. Every process that changes the file the lock stands for takes it
// first, so their read-change-replace cycles never overlap.
class FileLock {
public:
    explicit FileLock(const std::string& lockPath); // waits for the lock
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    bool held() const { return m_fd >= 0; }
    int error() const { return m_error; } // why it is not held

private:
    int m_fd = -1;
    int m_error = 0;
};

} // namespace kalvor
