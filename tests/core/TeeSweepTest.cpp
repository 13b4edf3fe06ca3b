// The tees have no jumps: each input swept over its range, the others over a grid of cases.
#include "fittings/Fittings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace kalvor {
namespace {

struct Inputs {
    double q, f_b, f_s, angle;
};

bool IsBranch(const std::string& type) {
    return type.ends_with("-branch");
}

// ζ of the tee referred to the common leg's velocity, whatever leg the library puts it on.
double OnCommonLeg(const std::string& type, const Inputs& in) {
    const FittingType& tee = *FindFittingType(type);
    FittingParameters parameters{{"q", in.q}};
    const std::pair<const char*, double> optional[] = {
        {"f_b", in.f_b}, {"f_s", in.f_s}, {"angle", in.angle}};
    for (const auto& [id, value] : optional) {
        if (tee.Find(id) != nullptr) {
            parameters[id] = value;
        }
    }
    const double zeta = FittingZeta(type, parameters);
    const double ratio = IsBranch(type) ? in.q / in.f_b : (1 - in.q) / in.f_s;
    return zeta * ratio * ratio;
}

struct Sweep {
    const char* input; // the parameter swept
    double from, to, step;
};

double& Swept(Inputs& in, const std::string& input) {
    return input == "q" ? in.q : input == "f_b" ? in.f_b : input == "f_s" ? in.f_s : in.angle;
}

// The largest change between neighbours at the fine step divides into that at ten fine steps:
// about 10 where ζ is continuous (a kink gives somewhat less), about 1 across a jump, since both
// steps then hold the jump. 0 when ζ does not depend on the input at all.
double WorstRatio(const std::string& type, const Sweep& sweep, std::string& where) {
    const double qs[] = {0.1, 0.3, 0.5, 0.7, 0.9};
    const double fbs[] = {0.1, 0.2, 0.3, 0.35, 0.4, 0.5, 0.7, 1.0};
    const double fss[] = {0.5, 0.75, 1.0};
    const double angles[] = {30, 45, 60, 75, 90};
    const auto points = static_cast<int>(std::lround((sweep.to - sweep.from) / sweep.step));
    double worst = 0;
    bool any = false;
    for (double q : qs) {
        for (double fb : fbs) {
            for (double fs : fss) {
                for (double angle : angles) {
                    Inputs in{q, fb, fs, angle};
                    std::vector<double> zetas;
                    for (int i = 0; i <= points; ++i) {
                        Swept(in, sweep.input) = sweep.from + i * sweep.step;
                        zetas.push_back(OnCommonLeg(type, in));
                    }
                    double fine = 0, coarse = 0;
                    for (std::size_t i = 1; i < zetas.size(); ++i) {
                        fine = std::max(fine, std::fabs(zetas[i] - zetas[i - 1]));
                    }
                    for (std::size_t i = 10; i < zetas.size(); i += 10) {
                        coarse = std::max(coarse, std::fabs(zetas[i] - zetas[i - 10]));
                    }
                    if (fine < 1e-12) {
                        continue; // no dependence on this line
                    }
                    const double ratio = coarse / fine;
                    if (!any || ratio < worst) {
                        worst = ratio;
                        std::ostringstream line;
                        line << "q " << q << ", f_b " << fb << ", f_s " << fs << ", α " << angle;
                        where = line.str();
                    }
                    any = true;
                }
            }
        }
    }
    return worst;
}

TEST(TeeSweep, NoStepAboveWhatTheInputsWarrant) {
    const Sweep sweeps[] = {
        {"q", 0.05, 0.95, 0.002},
        {"f_b", 0.10, 1.00, 0.002},
        {"f_s", 0.40, 1.00, 0.002},
        {"angle", 30, 90, 0.1},
    };
    const char* const tees[] = {"tee-supply-branch", "tee-supply-straight", "tee-exhaust-branch",
                                "tee-exhaust-straight"};
    for (const char* tee : tees) {
        const FittingType& type = *FindFittingType(tee);
        for (const Sweep& sweep : sweeps) {
            if (type.Find(sweep.input) == nullptr) {
                continue;
            }
            std::string where;
            const double ratio = WorstRatio(tee, sweep, where);
            const bool independent = where.empty();
            EXPECT_TRUE(independent || ratio >= 5)
                << tee << " over " << sweep.input << ": ratio " << ratio << " at " << where;
        }
    }
}

// Where the former formulas switched regime, ζ just below and just above the switch.
TEST(TeeSweep, NoStepAtTheFormerSwitches) {
    struct Case {
        const char* type;
        const char* swept;
        double at;
        FittingParameters others;
        double expected; // on the leg's own velocity, to 4 significant digits
    } const cases[] = {
        {"tee-supply-branch", "f_b", 4.0 / 9.0, {{"angle", 90}, {"q", 0.5}}, 1.253},
        {"tee-supply-branch", "angle", 75, {{"f_b", 0.5}, {"q", 0.5}}, 1.038},
        {"tee-supply-branch", "angle", 60, {{"f_b", 0.5}, {"q", 0.5}}, 0.7},
        {"tee-exhaust-branch", "f_b", 0.35, {{"angle", 90}, {"q", 0.5}}, 0.9649},
        {"tee-exhaust-straight", "angle", 75, {{"f_b", 0.3}, {"q", 0.6}}, 0.65625},
        {"tee-supply-straight", "f_b", 0.4, {{"q", 0.6}}, 0.9},
    };
    for (const auto& c : cases) {
        for (double side : {-1e-7, 1e-7}) {
            FittingParameters parameters = c.others;
            parameters[c.swept] = c.at + side;
            EXPECT_NEAR(FittingZeta(c.type, parameters), c.expected, 5e-4 * c.expected)
                << c.type << " " << c.swept << " " << c.at + side;
        }
    }
}

} // namespace
} // namespace kalvor
