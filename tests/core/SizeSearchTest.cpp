// Size search: the catalogue scan, the row areas, the stepping of the free side and the whole run
// of the search button.
#include "search/SizeSearch.h"
#include "TestFiles.h"
#include "common/Errors.h"
#include "hydraulics/Formulas.h"

#include <gtest/gtest.h>

#include <cstdio>

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

// The whole run over small catalogues whose areas are easy to follow: round 0.1 and 0.4 m;
// rectangular 0.02, 0.1 (exactly 1800 m3/h at 5 m/s) and 0.15 m2; flat-oval rows of about
// 0.0279, 0.1116 and 0.2207 m2.
struct RunCase {
    const char* name;
    int mm, AB, Shag;
    double Q, Vmax;
    int method;
    const char* rectangularText;
    char separator;
    const char* removed; // a catalogue taken away first, or nullptr
    SizeSearchEnd end;
    std::optional<std::string> round, rectangular, flatOval;
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.name;
}

class SizeSearchRun : public test::TempUserTest, public testing::WithParamInterface<RunCase> {};

TEST_P(SizeSearchRun, WritesTheSizesInTheStoredUnitsAndOrder) {
    const RunCase& c = GetParam();
    WriteSizeCatalogue(DuctShape::Round, {{0.1, 0.4}, {}});
    WriteSizeCatalogue(DuctShape::Rectangular, {{0.2, 0.5, 0.5}, {0.1, 0.2, 0.3}});
    WriteSizeCatalogue(DuctShape::FlatOval, {{0.3, 0.5, 0.8}, {0.1, 0.25, 0.3}});
    if (c.removed != nullptr) {
        ASSERT_EQ(std::remove(c.removed), 0);
    }
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    store.WriteInteger("mm", c.mm);
    store.WriteInteger("AB", c.AB);
    store.WriteInteger("Shag", c.Shag);
    SizeSearchInputs inputs;
    inputs.Q = c.Q;
    inputs.Vmax = c.Vmax;
    inputs.method = c.method;
    inputs.rectangularText = c.rectangularText;
    inputs.decimalSeparator = c.separator;
    double SizeA = 7.0, SizeB = 7.0;
    const SizeSearchResult result = RunSizeSearch(inputs, store, SizeA, SizeB);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(result.round, c.round);
    EXPECT_EQ(result.rectangular, c.rectangular);
    EXPECT_EQ(result.flatOval, c.flatOval);
}

using End = SizeSearchEnd;
const std::nullopt_t Kept = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Runs, SizeSearchRun,
    testing::Values(
        // 3600 m3/h at 5 m/s needs 0.2 m2: the last round and rectangular rows, flat-oval row 3.
        RunCase{"Millimetres", 1, 0, 50, 3600, 5, 0, "", ',', nullptr, End::Completed, "400",
                "500*300", "800*300"},
        RunCase{"SecondSideFirst", 1, 1, 50, 3600, 5, 0, "", ',', nullptr, End::Completed, "400",
                "300*500", "300*800"},
        RunCase{"Metres", 0, 0, 50, 3600, 5, 0, "", ',', nullptr, End::Completed, "0,4", "0,5*0,3",
                "0,8*0,3"},
        RunCase{"MetresPoint", 0, 1, 50, 3600, 5, 0, "", '.', nullptr, End::Completed, "0.4",
                "0.3*0.5", "0.3*0.8"},
        RunCase{"ExactArea", 1, 0, 50, 1800, 5, 0, "", ',', nullptr, End::Completed, "400",
                "500*200", "500*250"},
        RunCase{"NoFlowStartRows", 1, 0, 50, 0, 5, 0, "", ',', nullptr, End::Completed, "100",
                "200*100", "500*250"},
        // Eight additions of 0.05 fall just short of 0.4 m: a ninth is taken; the held side is
        // written first whatever the order.
        RunCase{"HoldFirst", 1, 1, 50, 1800, 5, 1, "250*300", ',', nullptr, End::Completed, "400",
                "250*450", "250*500"},
        RunCase{"HoldSecond", 1, 0, 50, 1800, 5, 2, "300*250", ',', nullptr, End::Completed, "400",
                "450*250", "500*250"},
        RunCase{"NoMethod", 1, 0, 50, 1800, 5, -1, "250*300", ',', nullptr, End::Completed, "400",
                Kept, "500*250"},
        RunCase{"NoFirstSide", 1, 0, 50, 1800, 5, 1, "0*300", ',', nullptr, End::CheckSizeA, "400",
                Kept, Kept},
        RunCase{"NoSecondSide", 1, 0, 50, 1800, 5, 2, "300*0", ',', nullptr, End::CheckSizeB, "400",
                Kept, Kept},
        RunCase{"ZeroStep", 1, 0, 0, 1800, 5, 1, "250*300", ',', nullptr, End::NoStep, "400", Kept,
                Kept},
        RunCase{"NoVelocityLimit", 1, 0, 50, 1800, 0, 0, "", ',', nullptr, End::Failed, "0", "0*0",
                "0*0"},
        RunCase{"FlatOvalMissing", 1, 0, 50, 1800, 5, 0, "", ',', "OvalDuct.txt", End::Failed, "0",
                "0*0", "0*0"},
        RunCase{"RectangularMissingWhileHeld", 1, 0, 50, 1800, 5, 1, "250*300", ',', "Duct.txt",
                End::Failed, "0", "0*0", "0*0"},
        RunCase{"HeldSizeNotANumber", 1, 0, 50, 1800, 5, 1, "250*3-0", ',', nullptr, End::Failed,
                "0", "0*0", "0*0"}),
    [](const testing::TestParamInfo<RunCase>& info) { return info.param.name; });

// The stepped search leaves the shared sizes as it grew them; a failed read of the settings ends
// the run in the failure texts.
class SizeSearchSettings : public test::TempUserTest {};

TEST_F(SizeSearchSettings, SharesItsSizesAndFailsWithoutSettings) {
    WriteSizeCatalogue(DuctShape::Round, {{0.1, 0.4}, {}});
    WriteSizeCatalogue(DuctShape::Rectangular, {{0.5}, {0.3}});
    WriteSizeCatalogue(DuctShape::FlatOval, {{0.5}, {0.25}});
    SettingsStore store;
    SizeSearchInputs inputs;
    inputs.Q = 1800;
    inputs.Vmax = 5;
    inputs.method = 1;
    inputs.rectangularText = "250*300";
    double SizeA = 0.0, SizeB = 0.0;
    EXPECT_EQ(RunSizeSearch(inputs, store, SizeA, SizeB).end, SizeSearchEnd::Failed); // no "mm"
    store.OpenKey(SettingsKey, true);
    store.WriteInteger("mm", 1);
    store.WriteInteger("AB", 0);
    store.WriteInteger("Shag", 50);
    EXPECT_EQ(RunSizeSearch(inputs, store, SizeA, SizeB).end, SizeSearchEnd::Completed);
    EXPECT_EQ(SizeA, 0.25);
    EXPECT_NEAR(SizeB, 0.45, 1e-12);
}

} // namespace
} // namespace kalvor
