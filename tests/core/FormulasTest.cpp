// Air and friction formulas against worked examples, and the floating-point errors they raise.
#include "hydraulics/Formulas.h"
#include "common/Errors.h"
#include "hydraulics/AirRange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace kalvor {
namespace {

constexpr double Q = 3600.0, t = 0.0, PBar = 990.0, l = 10.0, KMS = 1.0, steel = 0.0001;

struct SectionCase {
    const char* name;
    double F, De;
    double V, Lyambda, Pd, R, P;
    double tolerance; // the last digit the worked example gives
};

TEST(Formulas, WorkedExamples) {
    const SectionCase cases[] = {
        {"rectangle 0.5 x 0.3", 0.15, 0.375, 6.6667, 0.017728, 28.0880, 1.32787, 41.3666, 1e-4},
        {"round 0.4", 0.12566370614359174, 0.4, 7.95775, 0.0170, 40.0206, 1.70086, 57.0292, 1e-4},
    };
    for (const auto& c : cases) {
        const SectionResults r = ComputeSection(Q, c.F, c.De, steel, t, PBar, l, KMS);
        EXPECT_NEAR(r.V, c.V, c.tolerance) << c.name;
        EXPECT_NEAR(r.Lyambda, c.Lyambda, 1e-4) << c.name;
        EXPECT_NEAR(r.Pd, c.Pd, c.tolerance) << c.name;
        EXPECT_NEAR(r.R, c.R, 1e-5) << c.name;
        EXPECT_NEAR(r.P, c.P, c.tolerance) << c.name;
        EXPECT_NEAR(r.Ro, 1.26396, 1e-5) << c.name;
    }
    const SectionResults rect = ComputeSection(Q, 0.15, 0.375, steel, t, PBar, l, KMS);
    EXPECT_NEAR(rect.Re, 166666.67, 0.01);
    EXPECT_NEAR(rect.Lyambda, 0.017728, 1e-6);
}

TEST(Formulas, AirDensityFollowsTheWrittenOrder) {
    EXPECT_DOUBLE_EQ(AirDensity(0.0, 990.0), 0.4643 * 990.0 / 1.33 / 273.0 - 0.002);
    EXPECT_LT(AirDensity(20.0, 990.0), AirDensity(0.0, 990.0));
    EXPECT_GT(AirDensity(0.0, 1013.0), AirDensity(0.0, 990.0));
}

TEST(Formulas, LossesAddUpFromTheirParts) {
    const SectionResults base = ComputeSection(Q, 0.15, 0.375, steel, t, PBar, l, KMS);
    const SectionResults twiceKms = ComputeSection(Q, 0.15, 0.375, steel, t, PBar, l, 2 * KMS);
    const SectionResults twiceLength = ComputeSection(Q, 0.15, 0.375, steel, t, PBar, 2 * l, KMS);
    EXPECT_NEAR(twiceKms.P - base.P, base.Pd, 1e-12);
    EXPECT_NEAR(twiceLength.P - base.P, base.R * l, 1e-12);
}

TEST(Formulas, WarmerAirScalesPressuresOnly) {
    const SectionResults cold = ComputeSection(Q, 0.15, 0.375, steel, 0.0, PBar, l, KMS);
    const SectionResults warm = ComputeSection(Q, 0.15, 0.375, steel, 30.0, PBar, l, KMS);
    EXPECT_LT(warm.Ro, cold.Ro);
    EXPECT_EQ(warm.V, cold.V);
    EXPECT_EQ(warm.Re, cold.Re);
    EXPECT_EQ(warm.Lyambda, cold.Lyambda);
    const double ratio = warm.Ro / cold.Ro;
    EXPECT_NEAR(warm.Pd, cold.Pd * ratio, 1e-12);
    EXPECT_NEAR(warm.R, cold.R * ratio, 1e-12);
    EXPECT_NEAR(warm.P, cold.P * ratio, 1e-12);
}

TEST(Formulas, WallRoughnessByShapeAndMaterial) {
    struct Case {
        DuctShape shape;
        int index;
        double k;
    } const cases[] = {
        {DuctShape::Rectangular, 0, 0.0001}, {DuctShape::Rectangular, 1, 0.0028},
        {DuctShape::Rectangular, 2, 0.004},  {DuctShape::Rectangular, 3, 0.01},
        {DuctShape::Rectangular, 4, 0.0015}, {DuctShape::Round, 1, 0.0028},
        {DuctShape::Round, 4, 0.0015},       {DuctShape::FlatOval, 0, 0.0001},
        {DuctShape::FlatOval, 1, 0.003},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WallRoughness(c.shape, c.index), c.k) << static_cast<int>(c.shape) << c.index;
    }
    const auto rough = ComputeSection(Q, 0.15, 0.375, 0.0028, t, PBar, l, KMS);
    const auto smooth = ComputeSection(Q, 0.15, 0.375, steel, t, PBar, l, KMS);
    EXPECT_GT(rough.R, smooth.R);
}

TEST(Formulas, ImpossibleInputsRaiseFloatingPointErrors) {
    struct Case {
        const char* name;
        double Q, F, De, k;
        const char* message;
    } const cases[] = {
        {"zero area", 3600, 0.0, 0.375, steel, "Floating point division by zero"},
        {"zero flow", 0, 0.15, 0.375, steel, "Floating point division by zero"},
        {"zero De", 3600, 0.15, 0.0, steel, "Floating point division by zero"},
        {"zero flow and area", 0, 0.0, 0.375, steel, "Invalid floating point operation"},
        {"negative base of the power", -3600, 0.15, 0.375, steel,
         "Invalid floating point operation"},
    };
    for (const auto& c : cases) {
        try {
            ComputeSection(c.Q, c.F, c.De, c.k, t, PBar, l, KMS);
            ADD_FAILURE() << c.name;
        } catch (const FloatError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
    }
    EXPECT_THROW(RequiredArea(3600, 0), FloatError);
    EXPECT_THROW(AirDensity(-273, 990), FloatError);
    EXPECT_THROW(ComputeSection(1e300, 1e-300, 0.375, steel, t, PBar, l, KMS), FloatError);
}

// The constant viscosity holds R to 5 % from −20 to +40 °C; outside, a warning says by how much.
TEST(Formulas, AirOutsideTheViscosityRangeIsWarned) {
    const std::pair<double, bool> cases[] = {
        {-40, true}, {-20.01, true}, {-20, false}, {0, false},
        {40, false}, {40.01, true},  {300, true},  {std::nan(""), true},
    };
    for (const auto& [t, outside] : cases) {
        EXPECT_EQ(AirOutsideViscosityRange(t), outside) << t;
        EXPECT_EQ(AirRangeWarning(t).empty(), !outside) << t;
    }
    const std::string hot = AirRangeWarning(300.5, ',');
    EXPECT_NE(hot.find("t = 300,5 °C вне −20…+40 °C"), std::string::npos) << hot;
    EXPECT_NE(hot.find("17–34 %"), std::string::npos) << hot;
    EXPECT_NE(AirRangeWarning(-40).find("5–8 %"), std::string::npos);
}

TEST(Formulas, RequiredAreaIsTheVelocityFormulaReversed) {
    EXPECT_DOUBLE_EQ(RequiredArea(1800, 5), 0.1);
    EXPECT_DOUBLE_EQ(RequiredArea(3600, 4), 0.25);
    EXPECT_DOUBLE_EQ(FlowVelocity(3600, 0.15), 3600 / (0.15 * 3600));
}

} // namespace
} // namespace kalvor
