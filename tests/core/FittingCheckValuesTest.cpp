// ζ of every fitting type against the handbooks' worked figures, to 4 significant digits.
#include "fittings/Fittings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalvor {
namespace {

struct CheckValue {
    const char* type;
    FittingParameters parameters;
    double expected; // to 4 significant digits, referred to the velocity the type states
};

void ExpectFourDigits(double actual, double expected, const std::string& what) {
    if (expected == 0) {
        EXPECT_NEAR(actual, 0.0, 1e-12) << what;
    } else {
        EXPECT_NEAR(actual, expected, 5e-4 * std::fabs(expected)) << what;
    }
}

void ExpectAll(const std::vector<CheckValue>& cases) {
    for (const auto& c : cases) {
        std::string what = c.type;
        for (const auto& [id, value] : c.parameters) {
            what += " " + id + "=" + std::to_string(value);
        }
        ExpectFourDigits(FittingZeta(c.type, c.parameters), c.expected, what);
    }
}

// Coefficients of a tee referred to the common leg, put on the branch (v_c/v_b = f_b/q) or on
// the straight passage (v_c/v_s = f_s/(1 − q)).
double OnBranch(double zetaCommon, double fb, double q) {
    return zetaCommon * (fb / q) * (fb / q);
}
double OnStraight(double zetaCommon, double fs, double q) {
    return zetaCommon * (fs / (1 - q)) * (fs / (1 - q));
}

TEST(FittingCheckValues, Elbows) {
    ExpectAll({
        {"elbow-round", {{"angle", 90}, {"r_d", 1.0}}, 0.2100},
        {"elbow-round", {{"angle", 45}, {"r_d", 1.5}}, 0.1020},
        {"elbow-round", {{"angle", 30}, {"r_d", 2.0}}, 0.06750},
        {"elbow-round", {{"angle", 180}, {"r_d", 2.5}}, 0.1960},
        {"elbow-round", {{"angle", 90}, {"r_d", 0.5}}, 1.180},
        {"elbow-round", {{"angle", 90}, {"r_d", 0.75}}, 0.4400},
        {"elbow-round-segmented", {{"angle", 90}, {"pieces", 5}, {"r_d", 1.5}}, 0.2400},
        {"elbow-round-segmented", {{"angle", 90}, {"pieces", 3}, {"r_d", 1.0}}, 0.4200},
        {"elbow-round-segmented", {{"angle", 90}, {"pieces", 4}, {"r_d", 1.25}}, 0.3200},
        // other angles: ζ90·A1(δ), A1(45°) = 0.60
        {"elbow-round-segmented", {{"angle", 45}, {"pieces", 5}, {"r_d", 1.5}}, 0.1440},
        // Idelchik's A(δ) table of sharp elbows times 0.95·sin²(δ/2) + 2.05·sin⁴(δ/2)
        {"elbow-round-mitred", {{"angle", 20}}, 0.07627},
        {"elbow-round-mitred", {{"angle", 30}}, 0.1617},
        {"elbow-round-mitred", {{"angle", 45}}, 0.3424},
        {"elbow-round-mitred", {{"angle", 60}}, 0.5484},
        {"elbow-round-mitred", {{"angle", 75}}, 0.8110},
        {"elbow-round-mitred", {{"angle", 90}}, 1.185},
        {"elbow-round-mitred", {{"angle", 120}}, 2.239},
        {"elbow-rect", {{"angle", 90}, {"r_b", 1.0}, {"h_b", 0.5}}, 0.2457},
        {"elbow-rect", {{"angle", 90}, {"r_b", 1.5}, {"h_b", 2.0}}, 0.1445},
        {"elbow-rect", {{"angle", 45}, {"r_b", 1.0}, {"h_b", 1.0}}, 0.1260},
        // the mitred form times C1 of sharp elbows: C1(1) = 1, C1(0.5) = 1.07
        {"elbow-rect-mitred", {{"angle", 45}, {"h_b", 1.0}}, 0.3424},
        {"elbow-rect-mitred", {{"angle", 90}, {"h_b", 0.25}}, 1.303},
        {"elbow-rect-mitred", {{"angle", 90}, {"h_b", 0.5}}, 1.268},
        {"elbow-rect-mitred", {{"angle", 90}, {"h_b", 4}}, 0.9243},
        {"elbow-rect-mitred", {{"angle", 90}, {"h_b", 8}}, 0.8295},
        {"elbow-rect-mitred", {{"angle", 45}, {"h_b", 2}}, 0.3081},
        {"elbow-rect-mitred", {{"angle", 60}, {"h_b", 0.5}}, 0.5868},
        {"elbow-rect-vanes", {{"vanes", 0}, {"velocity", 6}}, 0.2360},
        {"elbow-rect-vanes", {{"vanes", 4}, {"velocity", 10}}, 0.2400},
        {"elbow-rect-vanes", {{"vanes", 1}, {"velocity", 12.5}}, 0.2200},
    });
}

TEST(FittingCheckValues, SuddenChangesAndTransitions) {
    ExpectAll({
        {"expansion", {{"n", 0.25}}, 0.5625},
        {"expansion", {{"n", 0.25}, {"side", 1}}, 9.000},
        {"expansion", {{"n", 0.5}}, 0.2500},
        {"expansion", {{"n", 0.5}, {"side", 1}}, 1.000},
        {"expansion", {{"n", 0.1}}, 0.8100},
        {"contraction", {{"n", 0.1}}, 0.4620},
        {"contraction", {{"n", 0.25}}, 0.4030},
        {"contraction", {{"n", 0.5}}, 0.2973},
        {"diffuser", {{"angle", 10}, {"n", 0.25}}, 0.1100},
        {"diffuser", {{"angle", 20}, {"n", 0.5}}, 0.1000},
        // beyond 20° the friction part shrinks with the cone's length, tan 10°/tan(α/2)
        {"diffuser", {{"angle", 30}, {"n", 0.3}}, 0.3166},
        {"diffuser", {{"angle", 60}, {"n", 0.25}}, 0.6531},
        {"diffuser", {{"angle", 180}, {"n", 0.5}}, 0.2600},
        // above n 0.6 scaled from the 0.6 row; at 180° the sudden expansion (1 − n)²
        {"diffuser", {{"angle", 180}, {"n", 0.6}}, 0.1600},
        {"diffuser", {{"angle", 180}, {"n", 0.8}}, 0.04000},
        {"diffuser", {{"angle", 180}, {"n", 0.9}}, 0.01000},
        {"diffuser", {{"angle", 30}, {"n", 0.8}}, 0.02870},
        {"diffuser", {{"angle", 10}, {"n", 0.8}}, 0.01875},
        {"diffuser", {{"angle", 60}, {"n", 0.7}}, 0.1037},
        {"confuser", {{"angle", 30}, {"n", 0.25}}, 0.04423},
        {"confuser", {{"angle", 30}, {"n", 0.25}, {"lambda", 0.02}}, 0.05329},
        {"confuser", {{"angle", 60}, {"n", 0.5}}, 0.08137},
        {"confuser", {{"angle", 180}, {"n", 0.25}}, 0.4052},
    });
}

TEST(FittingCheckValues, TeesOnTheirOwnLegs) {
    ExpectAll({
        {"tee-exhaust-branch", {{"angle", 90}, {"f_b", 1}, {"q", 0.5}}, OnBranch(0.4125, 1, 0.5)},
        {"tee-exhaust-straight",
         {{"angle", 90}, {"f_b", 1}, {"q", 0.5}},
         OnStraight(0.5250, 1, 0.5)},
        {"tee-exhaust-branch", {{"angle", 90}, {"f_b", 0.25}, {"q", 0.3}}, 1.014},
        {"tee-exhaust-branch",
         {{"angle", 45}, {"f_b", 0.5}, {"q", 0.4}},
         OnBranch(0.2571, 0.5, 0.4)},
        {"tee-exhaust-branch",
         {{"angle", 90}, {"f_b", 0.35}, {"q", 0.5}},
         OnBranch(1.969, 0.35, 0.5)},
        // a narrower passage raises the ejection of the branch: ζ below 0
        {"tee-exhaust-branch",
         {{"angle", 90}, {"f_b", 0.5}, {"q", 0.3}, {"f_s", 0.7}},
         OnBranch(-0.0252, 0.5, 0.3)},
        {"tee-exhaust-straight",
         {{"angle", 45}, {"f_b", 0.5}, {"q", 0.4}},
         OnStraight(0.1875, 1, 0.4)},
        {"tee-exhaust-straight",
         {{"angle", 90}, {"f_b", 0.5}, {"q", 0.3}, {"f_s", 0.5}},
         OnStraight(0.8650, 0.5, 0.3)},
        {"tee-exhaust-straight",
         {{"angle", 90}, {"f_b", 0.5}, {"q", 0.3}, {"f_s", 0.7}},
         OnStraight(0.4650, 0.7, 0.3)},
        {"tee-exhaust-straight", {{"angle", 90}, {"f_b", 0.5}, {"q", 0.3}, {"f_s", 0.6}}, 0.4355},
        // between 60° and 90° linear in α: −0.36 at 60°, 0.57 at 90°
        {"tee-exhaust-straight",
         {{"angle", 75}, {"f_b", 0.3}, {"q", 0.6}},
         OnStraight(0.1050, 1, 0.6)},
        {"tee-supply-branch",
         {{"angle", 90}, {"f_b", 0.8}, {"q", 0.5}},
         OnBranch(0.9734, 0.8, 0.5)},
        {"tee-supply-branch",
         {{"angle", 90}, {"f_b", 0.25}, {"q", 0.2}},
         OnBranch(1.574, 0.25, 0.2)},
        {"tee-supply-branch", {{"angle", 90}, {"f_b", 0.5}, {"q", 0.5}}, OnBranch(1.4, 0.5, 0.5)},
        {"tee-supply-branch",
         {{"angle", 45}, {"f_b", 0.5}, {"q", 0.3}},
         OnBranch(0.4194, 0.5, 0.3)},
        {"tee-supply-branch",
         {{"angle", 60}, {"f_b", 0.6}, {"q", 0.5}},
         OnBranch(0.6028, 0.6, 0.5)},
        // inside the band 0.30…0.40 that joins the small- and the large-branch families
        {"tee-supply-branch", {{"angle", 90}, {"f_b", 0.35}, {"q", 0.5}}, 1.155},
        // 0.4·(1 − v_s/v_c)²
        {"tee-supply-straight", {{"f_b", 0.5}, {"q", 0.3}}, OnStraight(0.036, 1, 0.3)},
        {"tee-supply-straight", {{"f_b", 0.5}, {"q", 0.5}, {"f_s", 0.5}}, 0.0},
        {"tee-supply-straight", {{"f_b", 0.5}, {"q", 0.3}, {"f_s", 0.8}}, 0.008163},
    });
}

TEST(FittingCheckValues, EntriesExitsAndGrilles) {
    ExpectAll({
        {"entry-sharp", {}, 0.5000},
        {"exit-free", {}, 1.000},
        {"entry-bellmouth", {{"r_d", 0.05}}, 0.2200},
        {"entry-bellmouth", {{"r_d", 0.10}}, 0.1200},
        {"entry-bellmouth-free", {{"r_d", 0.05}}, 0.4000},
        {"entry-bellmouth-free", {{"r_d", 0.15}}, 0.07000},
        {"entry-conical", {{"angle", 60}, {"l_d", 0.15}}, 0.1500},
        {"entry-conical", {{"angle", 30}, {"l_d", 0.10}}, 0.2500},
        {"entry-conical", {{"angle", 45}, {"l_d", 0.2}}, 0.1525},
        // the protruding duct end, bilinear in protrusion and wall thickness
        {"entry-protruding", {{"l_d", 0.5}, {"t_d", 0}}, 1.000},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0}}, 1.000},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0.001}}, 0.9850},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0.004}}, 0.9400},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0.005}}, 0.9250},
        {"entry-protruding", {{"l_d", 0.2}, {"t_d", 0.005}}, 0.8475},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0.008}}, 0.8800},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0.04}}, 0.5400},
        {"entry-protruding", {{"l_d", 1}, {"t_d", 0.049}}, 0.5040},
        {"entry-protruding", {{"l_d", 0.5}, {"t_d", 0.0035}}, 0.9475},
        {"entry-protruding", {{"l_d", 0.2}, {"t_d", 0.0014}}, 0.8990},
        {"entry-protruding", {{"l_d", 0.05}, {"t_d", 0.01}}, 0.6550},
        {"entry-protruding", {{"l_d", 0.2}, {"t_d", 0.01}}, 0.7800},
        {"entry-protruding", {{"l_d", 0.2}, {"t_d", 0.05}}, 0.5000},
        // without t_d: a sheet-metal end, t/D 0.004
        {"entry-protruding", {{"l_d", 1}}, 0.9400},
        {"exit-grille", {{"f", 0.5}}, 9.550},
        {"exit-grille", {{"f", 0.7}}, 4.292},
        {"exit-grille", {{"f", 0.8}}, 3.004},
        {"grille", {{"f", 0.3}}, 19.32},
        {"grille", {{"f", 0.5}}, 4.370},
        {"grille", {{"f", 0.7}}, 1.148},
        {"louvre", {{"f", 0.7}}, 1.148},
    });
}

TEST(FittingCheckValues, DampersAndCaps) {
    ExpectAll({
        // ln ζ interpolated between the table's points
        {"damper-butterfly", {{"angle", 0}}, 0.05000},
        {"damper-butterfly", {{"angle", 5}}, 0.2400},
        {"damper-butterfly", {{"angle", 12.5}}, 0.6841},
        {"damper-butterfly", {{"angle", 15}}, 0.9000},
        {"damper-butterfly", {{"angle", 25}}, 2.510},
        {"damper-butterfly", {{"angle", 30}}, 3.910},
        {"damper-butterfly", {{"angle", 35}}, 6.220},
        {"damper-butterfly", {{"angle", 45}}, 18.70},
        {"damper-butterfly", {{"angle", 55}}, 58.80},
        {"damper-butterfly", {{"angle", 65}}, 256.0},
        {"damper-butterfly", {{"angle", 70}}, 751.0},
        // a catalogue's open value at 0°
        {"damper-butterfly", {{"angle", 2.5}, {"zeta_open", 0.2}}, 0.2191},
        {"damper-butterfly", {{"angle", 0}, {"zeta_open", 0.2}}, 0.2000},
        {"damper-opposed", {{"angle", 15}}, 1.067},
        {"damper-opposed", {{"angle", 30}}, 5.155},
        {"damper-opposed", {{"angle", 45}}, 24.90},
        {"damper-parallel", {{"angle", 15}}, 0.7811},
        {"damper-parallel", {{"angle", 30}}, 2.762},
        {"damper-parallel", {{"angle", 45}}, 9.767},
        // below 15° ln ζ runs from the open damper's ζ: halfway is the geometric mean
        {"damper-opposed", {{"angle", 0}}, 0.3000},
        {"damper-opposed", {{"angle", 7.5}, {"zeta_open", 0.3}}, std::sqrt(0.3 * 1.067)},
        {"damper-parallel", {{"angle", 0}, {"zeta_open", 0.5}}, 0.5000},
        {"cap-umbrella", {{"h_d", 0.15}}, 3.150},
        {"cap-umbrella", {{"h_d", 0.30}}, 1.600},
        {"cap-umbrella", {{"h_d", 0.45}}, 1.225},
        {"cap-umbrella", {{"h_d", 0.70}}, 1.050},
        {"cap-screen", {{"h_d", 0.45}}, 1.550},
    });
}

// A section's velocity other than the handbook's reference velocity: ζ·(v_reference/v_section)².
TEST(FittingCheckValues, ConversionToTheSectionsVelocity) {
    ExpectAll({
        // exhaust tee branch: 1.460 on the common leg is 1.014 on the branch
        {"tee-exhaust-branch",
         {{"angle", 90}, {"f_b", 0.25}, {"q", 0.3}},
         1.460 * 0.25 / 0.3 * 0.25 / 0.3},
        // supply tee branch: 1.574 on the common leg, v_c/v_b = 0.25/0.2
        {"tee-supply-branch", {{"angle", 90}, {"f_b", 0.25}, {"q", 0.2}}, 2.459},
        // a straight passage narrower than the common leg, f_s = 0.8: 0.525 + 0.25·0.25²
        {"tee-exhaust-straight",
         {{"angle", 90}, {"f_b", 1}, {"q", 0.5}, {"f_s", 0.8}},
         OnStraight(0.540625, 0.8, 0.5)},
        // diffuser: 0.1000 on the small section is 0.1000/0.5² on the large one
        {"diffuser", {{"angle", 20}, {"n", 0.5}, {"side", 0}}, 0.1000},
        {"diffuser", {{"angle", 20}, {"n", 0.5}, {"side", 1}}, 0.4000},
        // above n 0.6: 0.06·(0.2/0.4)² + 0.01·(1 − 0.8²)/0.64 on the small section
        {"diffuser",
         {{"angle", 20}, {"n", 0.8}, {"side", 1}},
         (0.06 * 0.25 + 0.01 * 0.36 / 0.64) / (0.8 * 0.8)},
        {"contraction", {{"n", 0.25}, {"side", 1}}, 6.447},
        {"confuser", {{"angle", 180}, {"n", 0.25}, {"side", 1}}, 6.483},
        // grille f 0.7 on its 0.2 m² duct in a section of 0.1 m², and referred to its free area
        {"grille", {{"f", 0.7}, {"f_sec", 0.5}}, 0.2871},
        {"grille", {{"f", 0.7}, {"f_sec", 0.7}}, 0.5627},
    });
}

// The ends of the tables: a value beyond a clamped end gives the table's end value.
TEST(FittingCheckValues, TableEndsHoldTheEndValues) {
    ExpectAll({
        {"elbow-round", {{"angle", 90}, {"r_d", 40}}, 0.03},
        {"elbow-round", {{"angle", 90}, {"r_d", 100}}, 0.03},
        {"elbow-round", {{"angle", 180}, {"r_d", 1}}, 0.294},
        {"elbow-rect", {{"angle", 90}, {"r_b", 1}, {"h_b", 0.1}}, 0.273},
        {"elbow-rect", {{"angle", 90}, {"r_b", 1}, {"h_b", 20}}, 0.21},
        {"elbow-round-segmented", {{"angle", 90}, {"pieces", 3}, {"r_d", 3}}, 0.33},
        {"elbow-rect-vanes", {{"vanes", 0}, {"velocity", 2}}, 0.24},
        {"elbow-rect-vanes", {{"vanes", 0}, {"velocity", 20}}, 0.20},
        {"diffuser", {{"angle", 1}, {"n", 0.5}}, 0.08},
        {"diffuser", {{"angle", 180}, {"n", 0.5}}, 0.26},
        {"diffuser", {{"angle", 20}, {"n", 0.9}}, 0.06 / 16 + 0.01 * 0.19 / 0.64},
        {"entry-bellmouth", {{"r_d", 0.5}}, 0.03},
        {"entry-bellmouth-free", {{"r_d", 0}}, 1.0},
        {"entry-conical", {{"angle", 60}, {"l_d", 0.01}}, 0.40},
        {"entry-conical", {{"angle", 60}, {"l_d", 1.0}}, 0.12},
        {"entry-conical-free", {{"angle", 60}, {"l_d", 2.0}}, 0.10},
        {"entry-protruding", {{"l_d", 30}, {"t_d", 0}}, 1.0},
        {"entry-protruding", {{"l_d", 30}, {"t_d", 0.004}}, 0.94},
        {"entry-protruding", {{"l_d", 0.2}, {"t_d", 0.2}}, 0.5},
        {"grille", {{"f", 1}}, 0.0},
        {"grille", {{"f", 0.05}}, 1080},
        {"exit-grille", {{"f", 1}}, 1.0},
        {"damper-butterfly", {{"angle", 60}}, 118},
        {"damper-opposed", {{"angle", 55}}, 71.16},
        {"damper-parallel", {{"angle", 65}}, 52.61},
        {"cap-umbrella", {{"h_d", 0.1}}, 4.0},
        {"cap-umbrella", {{"h_d", 2.0}}, 1.0},
        {"cap-screen", {{"h_d", 0.25}}, 3.4},
    });
}

// The suggested default geometry of each kind, with the reference's ζ at it.
TEST(FittingCheckValues, DefaultGeometry) {
    const std::pair<const char*, double> cases[] = {
        {"elbow-round", 0.21},
        {"elbow-round-segmented", 0.24},
        {"elbow-round-mitred", 1.185},
        {"elbow-rect", 0.21},
        {"elbow-rect-vanes", 0.22},
        {"diffuser", 0.10},
        {"confuser", 0.04423},
        {"entry-sharp", 0.5},
        {"entry-bellmouth", 0.12},
        {"exit-free", 1.0},
        {"grille", 1.148},
        {"damper-butterfly", 0.05},
        {"damper-opposed", 0.3},
        {"damper-parallel", 0.3},
        {"cap-umbrella", 1.3},
    };
    for (const auto& [id, expected] : cases) {
        const FittingType* type = FindFittingType(id);
        ASSERT_NE(type, nullptr) << id;
        ExpectFourDigits(FittingZeta(id, DefaultFittingParameters(*type)), expected, id);
    }
}

} // namespace
} // namespace kalvor
