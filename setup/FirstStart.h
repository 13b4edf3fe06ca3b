// The first-run set-up: the settings key with its initial values and the working folder with the
// standard catalogues, each created only where it is missing.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kalvor {

// Writes "Shag" 50, "mm" 1, "AB" 0, "t" "0" and "PBar" "990" under the settings key of the
// current user's hive, each only where no value of that name exists (whatever its type); the key
// is created where missing. Returns the names written. Throws Error when the hive file exists but
// cannot be read, and RegistryError when a value cannot be written.
std::vector<std::string> CreateInitialSettings();

// ${XDG_DATA_HOME:-$HOME/.local/share}/kalvor; a relative XDG_DATA_HOME is ignored.
// Throws Error when neither gives an absolute folder.
std::filesystem::path WorkingFolder();

// Creates the folder where missing and copies, byte for byte, each standard catalogue of the data
// folder that the working folder lacks (names matched without case). Existing files are never
// touched. Returns the names copied. Throws Error when a catalogue is needed but cannot be copied.
std::vector<std::string> CopyStandardCatalogues(const std::filesystem::path& dataFolder,
                                                const std::filesystem::path& workingFolder);

} // namespace kalvor
