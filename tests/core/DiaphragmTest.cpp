// The diaphragm: its ζ by the open area and the plate's thickness, the opening for a required ζ
// and the refusals outside the area ratios where a diaphragm is reasonable.
#include "fittings/Diaphragm.h"
#include "common/Errors.h"
#include "fittings/Fittings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kalvor {
namespace {

void ExpectFourDigits(double actual, double expected, const std::string& what) {
    EXPECT_NEAR(actual, expected, 5e-4 * std::fabs(expected)) << what;
}

TEST(Diaphragm, ZetaOnTheDuctVelocity) {
    struct Case {
        double n, thickness, zeta;
    } const cases[] = {
        {0.3, 0, 19.32},    {0.5, 0, 4.370},   {0.7, 0, 1.148},   {0.9, 0, 0.1957},
        {0.5, 0.05, 4.281}, {0.5, 0.2, 4.113}, {0.5, 1.0, 2.645}, {1.0, 0, 0.0},
    };
    for (const auto& c : cases) {
        const std::string what =
            "n " + std::to_string(c.n) + ", t/d0 " + std::to_string(c.thickness);
        const double zeta = FittingZeta("diaphragm", {{"n", c.n}, {"t_dh", c.thickness}});
        if (c.zeta == 0) {
            EXPECT_NEAR(zeta, 0.0, 1e-12) << what;
        } else {
            ExpectFourDigits(zeta, c.zeta, what);
        }
        EXPECT_DOUBLE_EQ(DiaphragmZeta(c.n, c.thickness), zeta) << what;
    }
    // A thin plate is the thin grille of the same open area, whose diagram it shares.
    for (double n : {0.3, 0.45, 0.6, 0.75, 0.9}) {
        EXPECT_NEAR(DiaphragmZeta(n, 0), FittingZeta("grille", {{"f", n}}),
                    5e-4 * FittingZeta("grille", {{"f", n}}))
            << n;
    }
    // Without t_dh the plate is thin; ζ falls as the opening grows.
    EXPECT_DOUBLE_EQ(FittingZeta("diaphragm", {{"n", 0.5}}), DiaphragmZeta(0.5, 0));
    double previous = DiaphragmZeta(0.05, 0.01);
    for (double n = 0.06; n < 1; n += 0.01) {
        const double zeta = DiaphragmZeta(n, 0.01);
        EXPECT_LT(zeta, previous) << n;
        previous = zeta;
    }
}

// The example network's three branches above the tolerance and two round ducts, with a 1 mm
// plate: the area ratio, the opening unrounded and in whole millimetres, ζ of that opening.
TEST(Diaphragm, OpeningForARequiredZeta) {
    struct Case {
        DiaphragmRequest duct;
        double zeta, ratio, opening;
        int openingMm;
        double roundedZeta;
    } const cases[] = {
        {{DiaphragmDuct::Rectangular, 400, 250, 1}, 5.28, 0.4716, 117.91, 118, 5.267},
        {{DiaphragmDuct::Round, 355, 0, 1}, 2.22, 0.6023, 275.51, 276, 2.189},
        {{DiaphragmDuct::Round, 250, 0, 1}, 0.80, 0.7496, 216.45, 216, 0.8190},
        {{DiaphragmDuct::Round, 160, 0, 1}, 8, 0.4119, 102.69, 103, 7.859},
    };
    for (const auto& c : cases) {
        const std::string what = "ζ " + std::to_string(c.zeta);
        const DiaphragmOpening found = DiaphragmForZeta(c.zeta, c.duct);
        ExpectFourDigits(found.ratio, c.ratio, what);
        EXPECT_NEAR(found.opening, c.opening, 0.005) << what;
        EXPECT_EQ(found.openingMm, c.openingMm) << what;
        ExpectFourDigits(found.zeta, c.roundedZeta, what);
    }
}

// ζ of an opening solved back to the same opening, across the reasonable range and at its ends.
TEST(Diaphragm, RoundTrip) {
    const DiaphragmRequest ducts[] = {
        {DiaphragmDuct::Round, 200, 0, 1},
        {DiaphragmDuct::Round, 800, 0, 2},
        {DiaphragmDuct::Rectangular, 400, 250, 1},
        {DiaphragmDuct::Rectangular, 300, 1000, 0},
    };
    for (const DiaphragmRequest& duct : ducts) {
        for (double n : {DiaphragmSmallestRatio, 0.4, 0.55, 0.7, 0.85, DiaphragmLargestRatio}) {
            const bool round = duct.duct == DiaphragmDuct::Round;
            const double h0 = n * duct.height;
            const double hydraulic =
                round ? duct.width * std::sqrt(n) : 2 * duct.width * h0 / (duct.width + h0);
            const double zeta = DiaphragmZeta(n, duct.thickness / hydraulic);
            const DiaphragmOpening found = DiaphragmForZeta(zeta, duct);
            EXPECT_NEAR(found.ratio, n, 1e-9 * n) << duct.width << " n " << n;
            EXPECT_NEAR(found.opening, round ? duct.width * std::sqrt(n) : h0, 1e-6)
                << duct.width << " n " << n;
        }
    }
}

// Outside the reasonable ratios the message says what to use instead.
TEST(Diaphragm, RefusalsSayWhatToUseInstead) {
    const DiaphragmRequest round200{DiaphragmDuct::Round, 200, 0, 1};
    const double atLargest = DiaphragmZeta(0.9, 1 / (200 * std::sqrt(0.9)));
    const double atSmallest = DiaphragmZeta(0.3, 1 / (200 * std::sqrt(0.3)));
    struct Case {
        double zeta;
        DiaphragmRequest duct;
        const char* says;
    } const cases[] = {
        {0.1, round200, "Диафрагма не нужна"},
        {atLargest * (1 - 1e-6), round200, "отрегулируйте ответвление клапаном"},
        {40, round200, "Уменьшите сечение ответвления или поставьте регулирующий клапан"},
        {atSmallest * (1 + 1e-6), round200, "Диафрагма не подходит"},
        {0, round200, "должен быть положительным"},
        {std::nan(""), round200, "должен быть положительным"},
        {2, {DiaphragmDuct::Rectangular, 400, 0, 1}, "размеры воздуховода"},
        {2, {DiaphragmDuct::Round, -200, 0, 1}, "размеры воздуховода"},
    };
    for (const auto& c : cases) {
        try {
            DiaphragmForZeta(c.zeta, c.duct);
            ADD_FAILURE() << "accepted ζ " << c.zeta;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
    EXPECT_NO_THROW(DiaphragmForZeta(atLargest, round200));
    EXPECT_NO_THROW(DiaphragmForZeta(atSmallest, round200));
}

} // namespace
} // namespace kalvor
