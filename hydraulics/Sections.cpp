// Section geometry of the three duct shapes and the parsing of size texts.
#include "hydraulics/Sections.h"

#include "common/Checked.h"
#include "common/Errors.h"
#include "common/NumberText.h"
#include "hydraulics/SizeText.h"

#include <numbers>

namespace kalvor {

using std::numbers::pi;

SectionGeometry RectangularSection(double A, double B) {
    return {Finite(A * B), Divide(2.0 * A * B, A + B)};
}

double FlatOvalArea(double A, double B) {
    return (A - B) * B + pi * B * B / 4.0;
}

double RoundArea(double D) {
    return pi * D * D / 4.0;
}

// The velocity-equivalent (hydraulic) diameter 4F/Per, as for the rectangle, whose 2AB/(A + B)
// is the same quotient: used with the duct's own velocity it gives the friction of the duct. A
// flat oval whose width equals its height is the round duct of that diameter.
SectionGeometry FlatOvalSection(double A, double B) {
    const double F = Finite(FlatOvalArea(A, B));
    if (F < 0.0) {
        throw FloatError::InvalidOperation(); // a height far above the width: no section
    }
    const double Per = Finite(pi * B + (A - B) * 2.0);
    return {F, Divide(4.0 * F, Per)};
}

SectionGeometry RoundSection(double D) {
    return {Finite(RoundArea(D)), D};
}

bool TextAboveZero(std::string_view text) {
    return text > std::string_view("0");
}

void ParseSizeText(std::string_view text, SettingsStore& store, char decimalSeparator,
                   double& SizeA, double& SizeB) {
    if (text.empty()) {
        SizeA = 0.0;
        SizeB = 0.0;
        return;
    }
    // The first character always belongs to the first part, even when it is a "*".
    const std::size_t star = text.find('*', 1);
    const std::string_view first = text.substr(0, star);
    const std::string_view second =
        star == std::string_view::npos ? std::string_view() : text.substr(star + 1);
    if (first.empty() || !TextAboveZero(first) || second.empty() || !TextAboveZero(second)) {
        SizeA = 0.0;
        SizeB = 0.0;
        return;
    }
    const bool millimetres = store.ReadInteger("mm") != 0;
    SizeA = SizeInMetres(ParseNumber(first, decimalSeparator), millimetres);
    SizeB = SizeInMetres(ParseNumber(second, decimalSeparator), millimetres);
}

std::optional<double> ParseDiameterText(std::string_view text, SettingsStore& store,
                                        char decimalSeparator) {
    if (text.empty() || !TextAboveZero(text) || text == "0,") {
        return std::nullopt;
    }
    const bool millimetres = store.ReadInteger("mm") != 0;
    return SizeInMetres(ParseNumber(text, decimalSeparator), millimetres);
}

} // namespace kalvor
