// Size search: the catalogue scan and the stepping of the free side of a non-standard duct.
#pragma once

#include "catalogues/CatalogueFile.h"
#include "hydraulics/Formulas.h"

#include <cstddef>

namespace kalvor {

// The flow area of one row: the first number as A (or D), the second as B. Only the area is
// formed, so a flat-oval row whose area is zero or negative is compared like any other.
double CatalogueRowArea(const SizeCatalogue& rows, DuctShape shape, std::size_t row);

// The first row from startRow on whose area is at least Fneeded; the last row when none is.
// Throws Error when the catalogue has no row.
std::size_t ScanCatalogue(const SizeCatalogue& rows, DuctShape shape, std::size_t startRow,
                          double Fneeded);

// The most additions StepFreeSide makes before it gives up.
inline constexpr long long MaxSteps = 10'000'000;

// The free side grown from 0 by repeated addition of step until held * free reaches Fneeded.
// Throws Error when the step is 0 or less while Fneeded is above 0, or after MaxSteps additions.
double StepFreeSide(double held, double step, double Fneeded);

} // namespace kalvor
