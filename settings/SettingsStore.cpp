// The settings store over the per-user hive file: fresh reads, locked atomic whole-file writes.
#include "settings/SettingsStore.h"

#include "common/Errors.h"
#include "common/OwnFiles.h"
#include "common/SafeFile.h"
#include "settings/Hive.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {

namespace {

// Far beyond any settings file; a larger one is not read at all.
constexpr std::size_t MaxHiveBytes = 4 * 1024 * 1024;

struct HiveFile {
    HiveTrouble trouble = HiveTrouble::None;
    int systemError = 0;
    bool present = false; // read and understood
    std::string target;   // the file a write replaces: the hive, or the end of its own links
    Hive hive;            // empty unless present

    bool usable() const { return trouble == HiveTrouble::None; }
};

// What identifies a file's content without reading it: device, inode, size and modification
// time of the name itself and of what it leads to. Every save replaces the file (a new inode),
// and an edit in place changes its time.
struct FileStamp {
    dev_t device = 0, linkDevice = 0;
    ino_t inode = 0, linkInode = 0;
    off_t size = 0;
    timespec modified{}, linkModified{};
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               linkDevice == o.linkDevice && linkInode == o.linkInode &&
               linkModified.tv_sec == o.linkModified.tv_sec &&
               linkModified.tv_nsec == o.linkModified.tv_nsec;
    }
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat name {
    }, target{};
    if (::lstat(path.c_str(), &name) != 0 || ::stat(path.c_str(), &target) != 0 ||
        !S_ISREG(target.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{target.st_dev,  name.st_dev,    target.st_ino, name.st_ino,
                     target.st_size, target.st_mtim, name.st_mtim};
}

// The last hive parsed in this process, kept while its file stays the same: a read of settings
// then costs a look at the file, not a parse.
struct ParsedHive {
    std::string path;
    FileStamp stamp;
    std::string target;
    Hive hive;
};
thread_local std::optional<ParsedHive> g_parsed;

HiveFile LoadHive(const std::string& path) {
    HiveFile file;
    file.target = path;
    if (path.empty()) {
        return file; // no home: nothing stored
    }
    const std::optional<FileStamp> before = StampOf(path);
    if (before && g_parsed && g_parsed->path == path && g_parsed->stamp == *before) {
        file.present = true;
        file.target = g_parsed->target;
        file.hive = g_parsed->hive;
        return file;
    }
    std::string bytes;
    const ReadOutcome outcome = ReadRegularFile(path, MaxHiveBytes, bytes);
    if (outcome.ok()) {
        file.target = outcome.path;
        if (auto hive = ParseHive(bytes)) {
            file.present = true;
            file.hive = std::move(*hive);
            // Kept only when the file did not change while it was read.
            if (before && StampOf(path) == before) {
                g_parsed = ParsedHive{path, *before, file.target, file.hive};
            }
        } else {
            file.trouble = HiveTrouble::NotAHive;
        }
    } else if (outcome.linkRefused) {
        file.trouble = HiveTrouble::LinkRefused;
    } else if (outcome.notRegular) {
        file.trouble = HiveTrouble::NotRegular;
    } else if (outcome.tooLarge) {
        file.trouble = HiveTrouble::TooLarge;
    } else if (outcome.error != ENOENT && outcome.error != ENOTDIR) {
        file.trouble = HiveTrouble::ReadError; // a folder in its place, no permission, I/O
        file.systemError = outcome.error;
    }
    return file;
}

// Renames the file without replacing anything already at the new name.
bool RenameNoReplace(const std::string& from, const std::string& to, bool& taken) {
    taken = false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST) {
        taken = true;
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot refuse to replace: look first.
    struct stat info;
    if (::lstat(to.c_str(), &info) == 0) {
        taken = true;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// Moves the file to a dated name next to it, never deleting it; the new name, or "" on failure.
std::string SetAside(const std::string& path) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".unreadable-" + stamp;
    for (int counter = 1; counter <= 1000; ++counter) {
        const std::string name = counter == 1 ? base : base + "-" + std::to_string(counter);
        bool taken = false;
        if (RenameNoReplace(path, name, taken)) {
            SyncFolder(FolderOf(path));
            return name;
        }
        if (!taken)
            return {};
    }
    return {};
}

std::string LockPathFor(const std::string& hivePath) {
    return hivePath + ".lock";
}

// Reads the hive as it is now, changes it and writes it back, under the writers' lock; false
// when it cannot be written. A hive that is there but cannot be used is left alone: it may hold
// values that a rewrite would lose.
// Why the last write failed, for its message: what a user can mend (a full disk, a folder that
// cannot be made) is said after the message; other causes add nothing.
thread_local std::string g_writeTrouble;

template <typename Change> bool UpdateHive(const std::string& hivePath, Change change) {
    g_writeTrouble.clear();
    if (hivePath.empty())
        return false;
    const std::string folder = FolderOf(hivePath);
    if (CreatePrivateFolders(folder) != 0) {
        g_writeTrouble = "не удалось создать папку настроек " + folder;
        return false;
    }
    const FileLock lock(LockPathFor(hivePath));
    if (!lock.held()) {
        if (lock.error() == ENOSPC)
            g_writeTrouble = "диск заполнен";
        return false;
    }
    HiveFile file = LoadHive(hivePath);
    if (!file.usable())
        return false;
    change(file.hive);
    if (const int error = ReplaceFileWith(file.target, SerialiseHive(file.hive), 0600)) {
        if (error == ENOSPC || error == EDQUOT)
            g_writeTrouble = "диск заполнен";
        return false;
    }
    return true;
}

// "Failed to set data for '<name>'", and what went wrong when the user can mend it.
RegistryError WriteFailed(std::string_view name) {
    const RegistryError plain = RegistryError::SetData(name);
    if (g_writeTrouble.empty())
        return plain;
    return RegistryError(std::string(plain.what()) + ": " + g_writeTrouble);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return {};
}

} // namespace

std::string UserHivePath() {
    std::string configHome;
    // An empty or relative XDG_CONFIG_HOME does not count.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        configHome = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty())
            return {};
        configHome = home + "/.config";
    }
    return configHome + "/kelmorta/user.reg";
}

std::optional<SetAsideHive> SetAsideUnusableHive() {
    const std::string path = UserHivePath();
    if (LoadHive(path).usable())
        return std::nullopt;
    // Once more under the writers' lock, so that a file another process has just replaced is
    // judged as it is now. Without the lock (a folder that takes no new file) it is tried anyway.
    const FileLock lock(LockPathFor(path));
    const HiveFile file = LoadHive(path);
    if (file.usable())
        return std::nullopt;
    return SetAsideHive{path, file.trouble, file.systemError, SetAside(path)};
}

SettingsStore::SettingsStore()
    : m_hivePath(UserHivePath()) {}

void SettingsStore::OpenKey(std::string_view path, bool canCreate) {
    m_keyOpen = false;
    m_currentKey.clear();
    const auto normalised = NormaliseKeyPath(path);
    if (!normalised)
        return;
    const HiveFile file = LoadHive(m_hivePath);
    if (const HiveKey* key = file.hive.FindKey(*normalised)) {
        m_currentKey = key->path; // the spelling it is stored under
    } else if (file.hive.KeyExists(*normalised)) {
        m_currentKey = *normalised; // a parent of a listed key
    } else if (canCreate && UpdateHive(m_hivePath, [&](Hive& hive) { hive.AddKey(*normalised); })) {
        m_currentKey = *normalised;
    } else {
        return;
    }
    m_keyOpen = true;
}

bool SettingsStore::KeyExists(std::string_view path) const {
    const auto normalised = NormaliseKeyPath(path);
    return normalised && LoadHive(m_hivePath).hive.KeyExists(*normalised);
}

bool SettingsStore::ValueExists(std::string_view name) const {
    if (!m_keyOpen)
        return false;
    const HiveFile file = LoadHive(m_hivePath);
    const HiveKey* key = file.hive.FindKey(m_currentKey);
    return key != nullptr && key->FindValue(name) != nullptr;
}

HiveTrouble SettingsStore::Trouble() const {
    return LoadHive(m_hivePath).trouble;
}

int SettingsStore::ReadInteger(std::string_view name) {
    if (!m_keyOpen)
        throw RegistryError::GetData(name);
    const HiveFile file = LoadHive(m_hivePath);
    const HiveKey* key = file.hive.FindKey(m_currentKey);
    const HiveValue* value = key != nullptr ? key->FindValue(name) : nullptr;
    if (value == nullptr)
        throw RegistryError::GetData(name);
    const std::optional<std::int32_t> number = value->Integer();
    if (!number)
        throw RegistryError::InvalidType(name);
    return *number;
}

std::string SettingsStore::ReadString(std::string_view name) {
    if (!m_keyOpen)
        return {};
    const HiveFile file = LoadHive(m_hivePath);
    const HiveKey* key = file.hive.FindKey(m_currentKey);
    const HiveValue* value = key != nullptr ? key->FindValue(name) : nullptr;
    if (value == nullptr)
        return {};
    if (!value->IsString())
        throw RegistryError::InvalidType(name);
    return std::get<std::string>(value->data);
}

void SettingsStore::WriteInteger(std::string_view name, int value) {
    if (!m_keyOpen || !IsStorableText(name) || !UpdateHive(m_hivePath, [&](Hive& hive) {
            hive.AddKey(m_currentKey).SetValue(name, static_cast<std::int32_t>(value));
        }))
        throw WriteFailed(name);
}

void SettingsStore::WriteString(std::string_view name, std::string_view value) {
    if (!m_keyOpen || !IsStorableText(name) || !IsStorableText(value) ||
        !UpdateHive(m_hivePath, [&](Hive& hive) {
            hive.AddKey(m_currentKey).SetValue(name, std::string(value));
        }))
        throw WriteFailed(name);
}

void SettingsStore::WriteStrings(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values) {
        if (!m_keyOpen || !IsStorableText(name) || !IsStorableText(value))
            throw WriteFailed(name);
    }
    if (values.empty())
        return;
    if (!UpdateHive(m_hivePath, [&](Hive& hive) {
            HiveKey& key = hive.AddKey(m_currentKey);
            for (const auto& [name, value] : values)
                key.SetValue(name, value);
        }))
        throw WriteFailed(values.front().first);
}

} // namespace kalvor
