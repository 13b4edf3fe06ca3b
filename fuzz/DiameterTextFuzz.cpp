// Fuzzes round size texts: the first byte picks the separator ("," or "."), the second the unit
// ("m" metres, else millimetres), the rest is the text typed into the round size box.
#include "FuzzCheck.h"
#include "FuzzStore.h"

#include "common/Errors.h"
#include "hydraulics/Sections.h"

#include <cmath>

using namespace kalvor;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SharedStores();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const char separator = fuzz::Separator(static_cast<char>(data[0]));
    SettingsStore& store = fuzz::StoreFor(static_cast<char>(data[1]));
    const std::string_view text = fuzz::Bytes(data + 2, size - 2);

    try {
        const std::optional<double> D = ParseDiameterText(text, store, separator);
        if (D) {
            FUZZ_CHECK(std::isfinite(*D));
            // Only a text above "0" can hold a diameter.
            FUZZ_CHECK(TextAboveZero(text));
        }
    } catch (const ConversionError&) {
        // Not a number; the store holds "mm", so no other failure may occur.
    }
    return 0;
}
