// Fuzzes the number text: the first byte picks the separator ("," or "."), the rest is typed text.
#include "FuzzCheck.h"

#include "common/Errors.h"
#include "common/NumberText.h"

#include <cmath>

using namespace kalvor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const char separator = fuzz::Separator(static_cast<char>(data[0]));
    const std::string_view text = fuzz::Bytes(data + 1, size - 1);

    try {
        const double value = ParseNumber(text, separator);
        FUZZ_CHECK(std::isfinite(value));
        // What a window shows for the value reads back as the value, to its 15 digits. Values
        // at the edges of the double range are left out: the 15-digit text of the largest
        // double lies above it, that of the smallest below the normal range.
        const double magnitude = std::fabs(value);
        if (value == 0.0 || (magnitude >= 1e-300 && magnitude <= 1e300)) {
            const double again = ParseNumber(FormatNumber(value, separator), separator);
            FUZZ_CHECK(std::fabs(again - value) <= 1e-14 * magnitude);
        }
    } catch (const ConversionError&) {
        // Not a number: the one failure the conversion may report.
    }

    try {
        const int whole = ParseInteger(text);
        // A whole number is a number as well, of the same value.
        FUZZ_CHECK(ParseNumber(text, separator) == static_cast<double>(whole));
    } catch (const ConversionError&) {
    }
    return 0;
}
