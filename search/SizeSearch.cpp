// Size search: the first catalogue row that carries the flow, and the stepped free side.
#include "search/SizeSearch.h"

#include "common/Errors.h"
#include "hydraulics/Sections.h"
#include "hydraulics/SizeText.h"

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

namespace {

bool Millimetres(SettingsStore& store) {
    return store.ReadInteger("mm") != 0;
}

// The search until it ends; throws what it meets. Each setting is read at the moment it is used.
SizeSearchResult Search(const SizeSearchInputs& in, SettingsStore& store, double& SizeA,
                        double& SizeB) {
    SizeSearchResult result;
    const char separator = in.decimalSeparator;
    const SizeCatalogue round = ReadSizeCatalogue(DuctShape::Round, "Roundduct.txt");
    const double Fneeded = RequiredArea(in.Q, in.Vmax);
    std::size_t row = ScanCatalogue(round, DuctShape::Round, 0, Fneeded);
    result.round = SizeNumberText(round.A[row], Millimetres(store), separator);

    const SizeCatalogue rectangular = ReadSizeCatalogue(DuctShape::Rectangular);
    if (in.method == 0) {
        row = ScanCatalogue(rectangular, DuctShape::Rectangular, 0, Fneeded);
        const bool millimetres = Millimetres(store);
        result.rectangular =
            CatalogueSizeText(rectangular.A[row], rectangular.B[row], store.ReadInteger("ab") != 0,
                              millimetres, separator);
    } else if (in.method == 1 || in.method == 2) {
        if (!store.KeyExists(SettingsKey)) {
            result.end = SizeSearchEnd::NoStep;
            return result;
        }
        const int shag = store.ReadInteger("Shag");
        if (shag <= 0) {
            // A step of zero or less could never reach the area: refused like a missing one.
            result.end = SizeSearchEnd::NoStep;
            return result;
        }
        const double step = shag / 1000.0;
        ParseSizeText(in.rectangularText, store, separator, SizeA, SizeB);
        if (in.method == 1) {
            if (SizeA == 0.0) {
                result.end = SizeSearchEnd::CheckSizeA;
                return result;
            }
            SizeB = StepFreeSide(SizeA, step, Fneeded);
        } else {
            if (SizeB == 0.0) {
                result.end = SizeSearchEnd::CheckSizeB;
                return result;
            }
            SizeA = StepFreeSide(SizeB, step, Fneeded);
        }
        // The held side first, whatever the stored order.
        result.rectangular = SizePairText(SizeA, SizeB, Millimetres(store), separator);
    }

    const SizeCatalogue oval = ReadSizeCatalogue(DuctShape::FlatOval);
    row = ScanCatalogue(oval, DuctShape::FlatOval, 1, Fneeded);
    const bool millimetres = Millimetres(store);
    result.flatOval = CatalogueSizeText(oval.A[row], oval.B[row], store.ReadInteger("AB") != 0,
                                        millimetres, separator);
    return result;
}

} // namespace

SizeSearchResult RunSizeSearch(const SizeSearchInputs& inputs, SettingsStore& store, double& SizeA,
                               double& SizeB) {
    try {
        return Search(inputs, store, SizeA, SizeB);
    } catch (const Error&) {
    } catch (const std::exception&) {
        // A catalogue that cannot be read, no row to choose, no velocity limit, a setting that
        // cannot be read, a held size that is not a number: the failure texts, no message.
    }
    SizeSearchResult failed;
    failed.end = SizeSearchEnd::Failed;
    failed.round = "0";
    failed.rectangular = "0*0";
    failed.flatOval = "0*0";
    return failed;
}

} // namespace kalvor
