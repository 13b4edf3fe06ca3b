// Catalogue files: the standard sizes of one duct shape, in metres, one entry per line.
#pragma once

#include "hydraulics/Formulas.h"

#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

struct SizeCatalogue {
    std::vector<double> A, B; // B stays empty for Round
};

// "Duct.txt", "OvalDuct.txt", "RoundDuct.txt"
std::string CatalogueFileName(DuctShape shape);

// Reads the shape's file (or fileName) from the current directory; names match without case.
// Throws InOutError.
SizeCatalogue ReadSizeCatalogue(DuctShape shape, std::string_view fileName = {});

// Replaces the shape's file with the entries, each size rounded to 0.001 m. The previous file is
// kept whole until the new one is complete. Throws InOutError.
void WriteSizeCatalogue(DuctShape shape, const SizeCatalogue& entries);

} // namespace kalvor
