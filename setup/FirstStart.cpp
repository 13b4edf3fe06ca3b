// The first-run set-up of the settings key and the working folder.
#include "setup/FirstStart.h"

#include "catalogues/CatalogueFile.h"
#include "common/Errors.h"
#include "common/OwnFiles.h"
#include "settings/Hive.h"
#include "settings/SettingsStore.h"

#include <cstdlib>
#include <cstring>

namespace kalvor {

namespace fs = std::filesystem;

std::vector<std::string> CreateInitialSettings() {
    SettingsStore store;
    if (store.Trouble() != HiveTrouble::None) {
        throw Error("the settings file " + store.HivePath() +
                    " cannot be read; it is left as it is");
    }
    store.OpenKey(SettingsKey, true);
    std::vector<std::string> written;
    const auto writeInteger = [&](const char* name, int value) {
        if (!store.ValueExists(name)) {
            store.WriteInteger(name, value);
            written.emplace_back(name);
        }
    };
    const auto writeString = [&](const char* name, const char* value) {
        if (!store.ValueExists(name)) {
            store.WriteString(name, value);
            written.emplace_back(name);
        }
    };
    writeInteger("Shag", 50);
    writeInteger("mm", 1);
    writeInteger("AB", 0);
    writeString("t", "0");
    writeString("PBar", "990");
    return written;
}

fs::path WorkingFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && fs::path(dataHome).is_absolute()) {
        return fs::path(dataHome) / "kalvor";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || !fs::path(home).is_absolute()) {
        throw Error("neither XDG_DATA_HOME nor HOME names an absolute folder");
    }
    return fs::path(home) / ".local" / "share" / "kalvor";
}

std::vector<std::string> CopyStandardCatalogues(const fs::path& dataFolder,
                                                const fs::path& workingFolder) {
    // Only the user may enter the folders made here, whatever the umask.
    if (const int error = CreatePrivateFolders(workingFolder.string())) {
        throw Error("cannot create " + workingFolder.string() + ": " + std::strerror(error));
    }
    std::error_code error;
    std::vector<std::string> copied;
    for (const DuctShape shape : {DuctShape::Rectangular, DuctShape::FlatOval, DuctShape::Round}) {
        const std::string name = CatalogueFileName(shape);
        bool present = false;
        for (const fs::directory_entry& entry : fs::directory_iterator(workingFolder)) {
            if (NamesEqual(entry.path().filename().string(), name)) {
                present = true;
                break;
            }
        }
        if (present) {
            continue;
        }
        fs::copy_file(dataFolder / name, workingFolder / name, fs::copy_options::none, error);
        if (error) {
            throw Error("cannot copy " + (dataFolder / name).string() + " to " +
                        workingFolder.string() + ": " + error.message());
        }
        copied.push_back(name);
    }
    return copied;
}

} // namespace kalvor
