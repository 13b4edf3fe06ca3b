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
    fuzz::SizeTextInput input;
    if (!fuzz::ReadSizeTextInput(data, size, input)) {
        return 0;
    }
    const auto& [separator, store, text] = input;

    try {
        const std::optional<double> D = ParseDiameterText(text, *store, separator);
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
