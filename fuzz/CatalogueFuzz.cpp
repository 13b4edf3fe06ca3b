// Fuzzes the catalogue reader: the first byte picks the shape ("0" rectangular, "1" flat-oval,
// "2" round, by its value modulo 3), the rest are the bytes of a catalogue file.
#include "FuzzCheck.h"

#include "catalogues/CatalogueFile.h"
#include "common/Errors.h"
#include "common/NumberText.h"

#include <cmath>

using namespace kalvor;

namespace {

bool Finite(const std::vector<double>& sizes) {
    for (double size : sizes) {
        if (!std::isfinite(size)) {
            return false;
        }
    }
    return true;
}

// Whether the writer's text of these entries must read back: sizes well inside the double range
// and no second size that rounds below zero, whose sign would join it to the first one.
bool Writable(const SizeCatalogue& catalogue) {
    auto inRange = [](double size) { return std::fabs(size) <= 1e300; };
    for (double size : catalogue.A) {
        if (!inRange(size)) {
            return false;
        }
    }
    for (double size : catalogue.B) {
        if (!inRange(size) || RoundTo(size, 3) < 0.0) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto shape = static_cast<DuctShape>(data[0] % 3);
    const std::string_view bytes = fuzz::Bytes(data + 1, size - 1);

    SizeCatalogue catalogue;
    try {
        catalogue = ParseSizeCatalogue(shape, bytes);
    } catch (const InOutError& error) {
        FUZZ_CHECK(error.code == io::InvalidNumericInput);
        return 0;
    }
    // Every entry takes at least one byte; two-number shapes have a B for every A.
    FUZZ_CHECK(catalogue.A.size() <= bytes.size());
    FUZZ_CHECK(catalogue.B.size() == (shape == DuctShape::Round ? 0 : catalogue.A.size()));
    FUZZ_CHECK(Finite(catalogue.A) && Finite(catalogue.B));

    // What the writer makes of the entries reads back, and writing that again changes no byte.
    if (Writable(catalogue)) {
        const std::string written = FormatSizeCatalogue(shape, catalogue);
        const SizeCatalogue back = ParseSizeCatalogue(shape, written);
        FUZZ_CHECK(back.A.size() == catalogue.A.size());
        FUZZ_CHECK(FormatSizeCatalogue(shape, back) == written);
    }
    return 0;
}
