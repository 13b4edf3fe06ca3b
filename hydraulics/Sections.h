// Geometry of the three duct shapes and the size texts through which sizes are shown and typed.
#pragma once

#include "settings/SettingsStore.h"

#include <optional>
#include <string_view>

namespace kalvor {

struct SectionGeometry {
    double F, De;
};

SectionGeometry RectangularSection(double A, double B);
SectionGeometry FlatOvalSection(double A, double B); // A the overall width, B the height
SectionGeometry RoundSection(double D);

// The flow areas alone, unchecked: the size search compares them, whatever their sign.
double FlatOvalArea(double A, double B);
double RoundArea(double D);

// True when the text compares greater than "0" byte by byte.
bool TextAboveZero(std::string_view text);

// Sets SizeA and SizeB in metres from a size text such as 500*300; both 0 when there is no size.
// Reads "mm" from the store only when both parts pass; a failing second part leaves the new SizeA
// beside the old SizeB. Throws ConversionError or RegistryError.
void ParseSizeText(std::string_view text, SettingsStore& store, char decimalSeparator,
                   double& SizeA, double& SizeB);

// The diameter in metres, or nullopt when the text holds no diameter.
std::optional<double> ParseDiameterText(std::string_view text, SettingsStore& store,
                                        char decimalSeparator);

} // namespace kalvor
