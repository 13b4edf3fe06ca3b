// Fuzzes the hive reader with arbitrary texts of the per-user settings file.
#include "FuzzCheck.h"

#include "settings/Hive.h"

using namespace kalvor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<Hive> hive = ParseHive(fuzz::Bytes(data, size));
    if (!hive) {
        return 0;
    }
    // A hive that was read is written so that it reads back the same, and the second writing is
    // the first one byte for byte.
    const std::string written = SerialiseHive(*hive);
    const std::optional<Hive> back = ParseHive(written);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(*back == *hive);
    FUZZ_CHECK(SerialiseHive(*back) == written);

    // Every listed key is found under its own path, and so is every value under its own name.
    for (const HiveKey& key : hive->keys) {
        FUZZ_CHECK(hive->FindKey(key.path) == &key);
        FUZZ_CHECK(hive->KeyExists(key.path));
        for (const HiveValue& value : key.values) {
            FUZZ_CHECK(key.FindValue(value.name) == &value);
        }
    }
    return 0;
}
