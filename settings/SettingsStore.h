// The settings store: named integer and string values under one key of the current user's hive.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvor {

inline constexpr std::string_view SettingsKey = "\\software\\kelmorta\\";

// Why a hive file that is there cannot be used.
enum class HiveTrouble {
    None,        // no file yet, or one read and understood
    NotAHive,    // read, but not a hive text this program can read
    TooLarge,    // more than 4 MiB
    NotRegular,  // a FIFO, a device or a socket
    LinkRefused, // a symbolic link that is not followed: not the user's, or not to a user's file
    ReadError,   // it could not be opened or read (a folder in its place, no permission, ...)
};

// The current user's values live in one registry export file,
// ${XDG_CONFIG_HOME:-$HOME/.config}/kelmorta/user.reg. Every read looks at the file as it is now,
// so a value written through one store is seen by another. Every write reads the file, changes it
// and replaces it atomically, all under an exclusive lock on user.reg.lock beside it, so writers
// in several processes never lose each other's values. A hive that is there but cannot be used
// reads as empty and is never written over: writes fail until SetAsideUnusableHive has moved it.
// Key and value names match without regard to case.
class SettingsStore {
public:
    SettingsStore(); // root: the current user's hive

    void OpenKey(std::string_view path, bool canCreate);
    bool KeyExists(std::string_view path) const;
    int ReadInteger(std::string_view name);                          // throws RegistryError
    std::string ReadString(std::string_view name);                   // "" when absent
    void WriteInteger(std::string_view name, int value);             // throws RegistryError
    void WriteString(std::string_view name, std::string_view value); // throws RegistryError
    // Several strings of the current key in one write of the file: all of them or, when one
    // cannot be stored, none (throws RegistryError).
    void WriteStrings(const std::vector<std::pair<std::string, std::string>>& values);

    // Whether the current key holds a value of that name, of any type; false while no key is
    // open.
    bool ValueExists(std::string_view name) const;
    // What is wrong with the hive file as it is now.
    HiveTrouble Trouble() const;

    // The hive file this store reads and writes.
    const std::string& HivePath() const { return m_hivePath; }

private:
    std::string m_hivePath;
    std::string m_currentKey; // normalised path, empty while no key is open
    bool m_keyOpen = false;
};

// The hive file of the current user, from XDG_CONFIG_HOME or HOME.
std::string UserHivePath();

// A hive that could not be used, moved out of the way.
struct SetAsideHive {
    std::string hivePath;
    HiveTrouble trouble = HiveTrouble::None;
    int systemError = 0; // for ReadError
    std::string keptAs;  // where it is now; empty when it could not be moved and is still there
};

// When the current user's hive is there but cannot be used, and still cannot under the writers'
// lock, renames it (a link: the link itself) to user.reg.unreadable-<date>-<time> beside it,
// never replacing anything. nullopt when the hive is missing or usable.
std::optional<SetAsideHive> SetAsideUnusableHive();

} // namespace kalvor
