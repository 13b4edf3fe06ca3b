// Size search: the catalogue scan and the stepping of the free side of a non-standard duct.
#pragma once

#include "catalogues/CatalogueFile.h"
#include "hydraulics/Formulas.h"
#include "settings/SettingsStore.h"

#include <cstddef>
#include <optional>
#include <string>

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

// What the size search of the main window reads: the flow and the velocity limit as numbers, the
// search method (0 standard, 1 hold the first side, 2 hold the second, anything else leaves the
// rectangular size alone) and the rectangular size text, for the held side.
struct SizeSearchInputs {
    double Q = 0.0;    // m3/h
    double Vmax = 0.0; // m/s
    int method = 0;
    std::string rectangularText;
    char decimalSeparator = ',';
};

// How a run ended: all three sizes found, stopped by one of the three messages of the stepped
// search (no step; check the held first or second side), or failed.
enum class SizeSearchEnd { Completed, NoStep, CheckSizeA, CheckSizeB, Failed };

// What to write into the three size boxes: a text for each box the run writes, nothing for a
// box that keeps its text. A failed run writes "0", "0*0" and "0*0".
struct SizeSearchResult {
    SizeSearchEnd end = SizeSearchEnd::Completed;
    std::optional<std::string> round, rectangular, flatOval;
};

// The size search: reads the three catalogues of the current directory afresh, forms the area
// that carries the flow within the limit, scans each catalogue (the flat-oval one from its second
// row) or steps the free side of the held rectangular size, and gives the texts in the units and
// side order stored now. SizeA and SizeB are the shared sizes of the last parsed size text: the
// stepped search parses the rectangular text into them and grows the free one. Never throws.
SizeSearchResult RunSizeSearch(const SizeSearchInputs& inputs, SettingsStore& store, double& SizeA,
                               double& SizeB);

} // namespace kalvor
