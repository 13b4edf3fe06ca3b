// The settings store: named integer and string values under one key of the current user's hive.
#pragma once

#include <string>
#include <string_view>

namespace kalvor {

inline constexpr std::string_view SettingsKey = "\\software\\kelmorta\\";

// The current user's values live in one REGEDIT4 text file,
// ${XDG_CONFIG_HOME:-$HOME/.config}/kelmorta/user.reg. Every read looks at the file as it is now,
// so a value written through one store is seen by another; every write replaces the file
// atomically. Key and value names match without regard to case.
class SettingsStore {
public:
    SettingsStore(); // root: the current user's hive

    void OpenKey(std::string_view path, bool canCreate);
    bool KeyExists(std::string_view path) const;
    int ReadInteger(std::string_view name);                          // throws RegistryError
    std::string ReadString(std::string_view name);                   // "" when absent
    void WriteInteger(std::string_view name, int value);             // throws RegistryError
    void WriteString(std::string_view name, std::string_view value); // throws RegistryError

    // The hive file this store reads and writes.
    const std::string& HivePath() const { return m_hivePath; }

private:
    std::string m_hivePath;
    std::string m_currentKey; // normalised path, empty while no key is open
    bool m_keyOpen = false;
};

// The hive file of the current user, from XDG_CONFIG_HOME or HOME.
std::string UserHivePath();

} // namespace kalvor
