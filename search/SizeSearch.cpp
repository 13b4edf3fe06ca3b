// Size search: the first catalogue row that carries the flow, and the stepped free side.
#include "search/SizeSearch.h"

#include "common/Errors.h"
#include "hydraulics/Sections.h"

namespace kalvor {

double CatalogueRowArea(const SizeCatalogue& rows, DuctShape shape, std::size_t row) {
    switch (shape) {
    case DuctShape::Round:
        return RoundArea(rows.A.at(row));
    case DuctShape::Rectangular:
        return rows.A.at(row) * rows.B.at(row);
    case DuctShape::FlatOval:
        return FlatOvalArea(rows.A.at(row), rows.B.at(row));
    }
    return 0.0;
}

std::size_t ScanCatalogue(const SizeCatalogue& rows, DuctShape shape, std::size_t startRow,
                          double Fneeded) {
    const std::size_t count = rows.A.size();
    if (count == 0) {
        throw Error("The catalogue holds no sizes");
    }
    // Past the end (a one-row flat-oval catalogue scanned from its second row): the last row.
    std::size_t row = startRow < count ? startRow : count - 1;
    while (Fneeded > CatalogueRowArea(rows, shape, row)) {
        if (row + 1 == count) {
            break;
        }
        ++row;
    }
    return row;
}

double StepFreeSide(double held, double step, double Fneeded) {
    double side = 0.0;
    double area = 0.0;
    long long additions = 0;
    while (Fneeded > area) {
        if (!(step > 0.0)) {
            throw Error("The step of the free side must be greater than 0");
        }
        if (++additions > MaxSteps) {
            throw Error("The free side needs too many steps");
        }
        side = side + step;
        area = held * side;
    }
    return side;
}

} // namespace kalvor
