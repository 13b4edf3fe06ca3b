// Size search: the catalogue scan, the row areas and the stepping of the free side.
#include "search/SizeSearch.h"
#include "common/Errors.h"
#include "hydraulics/Formulas.h"

#include <gtest/gtest.h>

namespace kalvor {
namespace {

SizeCatalogue Rows(std::vector<double> A, std::vector<double> B = {}) {
    return {A, B};
}

TEST(SizeSearch, ScanTakesTheFirstRowThatSuffices) {
    const SizeCatalogue rect = Rows({0.2, 0.3, 0.5, 0.5, 0.6}, {0.1, 0.2, 0.2, 0.2, 0.5});
    struct Case {
        double Fneeded;
        std::size_t start, row;
    } const cases[] = {
        {0.0, 0, 0},   {-1.0, 0, 0}, {0.02, 0, 0}, // exactly the area of row 0
        {0.021, 0, 1}, {0.06, 0, 1}, {0.1, 0, 2},  // equal areas: the earlier wins
        {0.3, 0, 4},   {5.0, 0, 4},                // none suffices: the last row
        {0.0, 1, 1},   {0.0, 9, 4},                // past the end: the last row
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScanCatalogue(rect, DuctShape::Rectangular, c.start, c.Fneeded), c.row)
            << c.Fneeded << " from " << c.start;
    }
}

TEST(SizeSearch, FlatOvalScanFromTheSecondRow) {
    const SizeCatalogue oval = Rows({0.3, 0.4, 0.5}, {0.1, 0.2, 0.25});
    EXPECT_EQ(ScanCatalogue(oval, DuctShape::FlatOval, 1, 0.0), 1u);
    const SizeCatalogue one = Rows({0.3}, {0.1});
    EXPECT_EQ(ScanCatalogue(one, DuctShape::FlatOval, 1, 0.05), 0u);
    // Height above width: the area is negative and simply compared.
    const SizeCatalogue odd = Rows({0.1, 0.1, 0.5}, {0.1, 1.0, 0.25});
    EXPECT_LT(CatalogueRowArea(odd, DuctShape::FlatOval, 1), 0.0);
    EXPECT_EQ(ScanCatalogue(odd, DuctShape::FlatOval, 1, 0.05), 2u);
}

TEST(SizeSearch, RowAreas) {
    EXPECT_NEAR(CatalogueRowArea(Rows({0.4}), DuctShape::Round, 0), 0.125664, 1e-6);
    EXPECT_DOUBLE_EQ(CatalogueRowArea(Rows({0.5}, {0.3}), DuctShape::Rectangular, 0), 0.15);
    EXPECT_NEAR(CatalogueRowArea(Rows({0.5}, {0.25}), DuctShape::FlatOval, 0), 0.111587, 1e-6);
}

TEST(SizeSearch, EmptyCatalogueIsAnError) {
    EXPECT_THROW(ScanCatalogue(SizeCatalogue{}, DuctShape::Round, 0, 0.1), Error);
}

TEST(SizeSearch, FreeSideGrowsByRepeatedAddition) {
    struct Case {
        double held, step, Fneeded, side;
    } const cases[] = {
        // Eight additions of 0.05 fall just short of 0.4: a ninth step is taken.
        {0.25, 0.05, RequiredArea(1800, 5),
         0.05 + 0.05 + 0.05 + 0.05 + 0.05 + 0.05 + 0.05 + 0.05 + 0.05},
        {0.5, 0.1, RequiredArea(3600, 4), 0.1 + 0.1 + 0.1 + 0.1 + 0.1},
        {0.5, 0.1, 0.0, 0.0},
        {0.5, 0.1, -1.0, 0.0},
        {0.5, 0.0, 0.0, 0.0}, // nothing to reach: no step taken
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StepFreeSide(c.held, c.step, c.Fneeded), c.side) << c.held << " " << c.step;
    }
    EXPECT_NEAR(StepFreeSide(0.25, 0.05, 0.1), 0.45, 1e-12);
    EXPECT_NEAR(StepFreeSide(0.5, 0.1, 0.25), 0.5, 1e-12);
}

TEST(SizeSearch, SteppingEndsWhereItCouldNot) {
    EXPECT_THROW(StepFreeSide(0.5, 0.0, 0.1), Error);
    EXPECT_THROW(StepFreeSide(0.5, -0.05, 0.1), Error);
    EXPECT_THROW(StepFreeSide(0.0, 0.05, 0.1), Error);   // held side 0: never reaches
    EXPECT_THROW(StepFreeSide(1e-9, 0.001, 1e6), Error); // more than MaxSteps additions
}

} // namespace
} // namespace kalvor
