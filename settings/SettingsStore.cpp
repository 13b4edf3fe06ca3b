// The settings store over the per-user hive file: fresh reads, atomic whole-file writes.
#include "settings/SettingsStore.h"

#include "common/Errors.h"
#include "common/SafeFile.h"
#include "settings/Hive.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {

namespace {

enum class HiveState {
    Missing,     // no file yet: an empty hive
    Parsed,      // read and understood
    Unparseable, // present but not a hive: reads see an empty hive, a write sets it aside first
    Unreadable,  // present but could not be read: reads see an empty hive, writes fail
};

struct HiveFile {
    HiveState state = HiveState::Missing;
    Hive hive;
};

HiveFile LoadHive(const std::string& path) {
    HiveFile file;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        file.state =
            (errno == ENOENT || errno == ENOTDIR) ? HiveState::Missing : HiveState::Unreadable;
        return file;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            file.state = HiveState::Unreadable; // a folder in its place, an I/O error
            return file;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    if (auto hive = ParseHive(text)) {
        file.state = HiveState::Parsed;
        file.hive = std::move(*hive);
    } else {
        file.state = HiveState::Unparseable;
    }
    return file;
}

// Where a write goes: the file a symbolic link at the hive path points to, else the path itself.
std::string WriteTarget(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
    }
    return path;
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

// Keeps a hive that could not be parsed under a dated name next to it, never deleting it.
bool SetAside(const std::string& path) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".unreadable-" + stamp;
    for (int counter = 1; counter <= 1000; ++counter) {
        const std::string name = counter == 1 ? base : base + "-" + std::to_string(counter);
        bool taken = false;
        if (RenameNoReplace(path, name, taken))
            return true;
        if (!taken)
            return false;
    }
    return false;
}

// Replaces the file with the content in one step: a temporary file in the same folder, written
// and synced, renamed over the file. An unparseable file is set aside just before the rename.
// On failure the temporary file is removed and the old file stays as it was.
bool ReplaceFile(const std::string& path, std::string_view content, bool setAsideFirst) {
    if (path.empty())
        return false;
    const std::string folder = FolderOf(path);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return false;

    std::string temporary;
    FileDescriptor fd(CreateTemporaryFor(path, temporary));
    if (fd.get() < 0)
        return false;
    (void)::fchmod(fd.get(), 0600); // the settings are the user's own
    const bool written = WriteAll(fd.get(), content) == 0 && ::fsync(fd.get()) == 0;
    if (fd.Close() != 0 || !written || (setAsideFirst && !SetAside(path)) ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

// Reads the hive as it is now, changes it and writes it back; false when it cannot be written.
template <typename Change> bool UpdateHive(const std::string& hivePath, Change change) {
    if (hivePath.empty())
        return false;
    const std::string path = WriteTarget(hivePath);
    HiveFile file = LoadHive(path);
    if (file.state == HiveState::Unreadable)
        return false; // it may hold values that a rewrite would lose
    change(file.hive);
    return ReplaceFile(path, SerialiseHive(file.hive), file.state == HiveState::Unparseable);
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
        throw RegistryError::SetData(name);
}

void SettingsStore::WriteString(std::string_view name, std::string_view value) {
    if (!m_keyOpen || !IsStorableText(name) || !IsStorableText(value) ||
        !UpdateHive(m_hivePath, [&](Hive& hive) {
            hive.AddKey(m_currentKey).SetValue(name, std::string(value));
        }))
        throw RegistryError::SetData(name);
}

} // namespace kalvor
