// Settings stores for the size-text fuzz targets: one in millimetres and one in metres, each over
// its own hive in a temporary folder made once per fuzzing process.
#pragma once

#include "FuzzCheck.h"
#include "settings/SettingsStore.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace kalvor::fuzz {

struct Stores {
    std::unique_ptr<SettingsStore> millimetres, metres;
};

// A store over a new hive holding "mm" = mm under the settings key.
inline std::unique_ptr<SettingsStore> StoreWithUnit(int mm) {
    std::string folder = "/tmp/kalvor-fuzz-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr ||
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1) != 0) {
        std::abort();
    }
    auto store = std::make_unique<SettingsStore>();
    store->OpenKey(SettingsKey, true);
    store->WriteInteger("mm", mm);
    return store;
}

inline Stores& SharedStores() {
    static Stores stores{StoreWithUnit(1), StoreWithUnit(0)};
    return stores;
}

// The store a selector byte picks: "m" for metres, anything else millimetres.
inline SettingsStore& StoreFor(char selector) {
    return selector == 'm' ? *SharedStores().metres : *SharedStores().millimetres;
}

// One fuzz input for a size-text parser: the first byte picks the separator ("," or "."), the
// second the unit ("m" metres, else millimetres), the rest is the text typed into a size box.
struct SizeTextInput {
    char separator;
    SettingsStore* store;
    std::string_view text;
};

// The input the bytes make; false when there are too few of them.
inline bool ReadSizeTextInput(const std::uint8_t* data, std::size_t size, SizeTextInput& input) {
    if (size < 2) {
        return false;
    }
    input.separator = Separator(static_cast<char>(data[0]));
    input.store = &StoreFor(static_cast<char>(data[1]));
    input.text = Bytes(data + 2, size - 2);
    return true;
}

} // namespace kalvor::fuzz
