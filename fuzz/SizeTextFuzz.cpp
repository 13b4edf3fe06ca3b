// Fuzzes size texts such as 500*300: the first byte picks the separator ("," or "."), the second
// the unit ("m" metres, else millimetres), the rest is the text typed into a size box.
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

    double SizeA = -1.0;
    double SizeB = -1.0;
    try {
        ParseSizeText(text, *store, separator, SizeA, SizeB);
        FUZZ_CHECK(std::isfinite(SizeA) && std::isfinite(SizeB));
        // Without a "*" after the first character there is no size at all.
        if (text.find('*', 1) == std::string_view::npos) {
            FUZZ_CHECK(SizeA == 0.0 && SizeB == 0.0);
        }
    } catch (const ConversionError&) {
        // A part that is not a number; the store holds "mm", so no other failure may occur.
    }
    return 0;
}
