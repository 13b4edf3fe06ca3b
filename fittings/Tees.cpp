// Tees and wyes, supply (diverging) and exhaust (converging), branch and straight passage
// (Idelchik, 3rd edition), each put on the velocity of its own leg.
#include "fittings/FittingCatalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kalvor::fittings {

namespace {

// Idelchik, tables 7-1…7-3: the angle factor F of a converging tee or wye.
constexpr std::array BranchAngle{30.0, 45.0, 60.0, 90.0};
constexpr std::array BranchAngleFactor{1.74, 1.41, 1.00, 0.0};

const char* const OnBranch = "скорость в ответвлении; справочник относит ζ к скорости в общем "
                             "канале v_c, пересчёт ζ·(f_b/q)²";
const char* const OnStraight = "скорость в проходе; справочник относит ζ к скорости в общем "
                               "канале v_c, пересчёт ζ·(f_s/(1 − q))²";

// A coefficient referred to the common leg, put on the branch: v_c/v_b = f_b/q.
double OnBranchLeg(const Arguments& a, double zetaCommon) {
    return Rereferred(zetaCommon, a["f_b"] / a["q"]);
}

// A coefficient referred to the common leg, put on the straight passage: v_c/v_s = f_s/(1 − q).
double OnStraightLeg(const Arguments& a, double zetaCommon) {
    return Rereferred(zetaCommon, a["f_s"] / (1 - a["q"]));
}

double SupplyBranch(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"], angle = a["angle"];
    const bool largeBranchTee = angle >= 60 && std::sqrt(fb) > 2.0 / 3.0;
    const double h = largeBranchTee ? 0.3 : 1.0;
    const double j = largeBranchTee ? 0.0 : 2.0;
    double g = 1;
    if (angle < 75) {
        if (fb <= 0.35) {
            g = q <= 0.4 ? 1.1 - 0.7 * q : 0.85;
        } else {
            g = q <= 0.6 ? 1.0 - 0.6 * q : 0.6;
        }
    } else if (fb > 2.0 / 3.0) {
        g = 1 + 0.3 * q * q;
    }
    const double w = q / fb;
    const double cosine = std::cos(angle * std::numbers::pi / 180.0);
    return OnBranchLeg(a, g * (1 + h * w * w - j * w * cosine));
}

// ζ = M·q², held at 0 where the formula turns negative (a large branch at a small share).
double SupplyStraight(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"];
    double m = 0.4;
    if (fb > 0.4) {
        m = q <= 0.5 ? 2 * (2 * q - 1) : 0.3 * (2 * q - 1);
    }
    return OnStraightLeg(a, std::max(0.0, m * q * q));
}

double ExhaustBranch(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"], fs = a["f_s"];
    double factor = 1;
    if (fb > 0.35) {
        factor = q <= 0.4 ? 0.9 * (1 - q) : 0.55;
    }
    const double f = Linear(a["angle"], BranchAngle, BranchAngleFactor);
    const double w = q / fb;
    return OnBranchLeg(a, factor * (1 + w * w - 2 * (1 - q) * (1 - q) / fs - f * q * q / fb));
}

double ExhaustStraight(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"], angle = a["angle"];
    if (angle >= 75) {
        return OnStraightLeg(a, 1.55 * q - q * q);
    }
    const double f = Linear(angle, BranchAngle, BranchAngleFactor);
    return OnStraightLeg(a, 1 - (1 - q) * (1 - q) - f * q * q / fb);
}

Param BranchAngleParameter() {
    return Param("angle", "Угол между ответвлением и проходом α", "°", 90).From(30).To(90);
}

Param BranchShare(bool onBranch) {
    Param share("q", "Доля расхода ответвления q = Q ответвления / Q общего канала", "", 0.5);
    if (onBranch) {
        share.Above(0).To(1);
    } else {
        share.From(0).Below(1);
    }
    return share;
}

Param BranchArea() {
    return Param("f_b", "Отношение площадей f_b = F ответвления / F общего канала", "", 0.5)
        .From(0.1)
        .To(1);
}

Param StraightArea() {
    return Param("f_s", "Отношение площадей f_s = F прохода / F общего канала", "", 1)
        .From(0.1)
        .To(1)
        .Optional();
}

const char* const SupplySource =
    "Идельчик (3-е изд.), диаграмма 7-20, таблицы 7-4 и 7-5; та же форма — Crane TP-410";
const char* const ExhaustSource =
    "Идельчик (3-е изд.), таблицы 7-1…7-3; та же форма — Crane TP-410";

} // namespace

std::vector<FittingDefinition> TeeFittings() {
    return {
        {{.id = "tee-supply-branch",
          .name = "Тройник приточный, ответвление",
          .family = FittingFamily::Tee,
          .source = SupplySource,
          .note = "Разделение потока; при α < 90° — косой тройник",
          .referenceVelocity = OnBranch,
          .parameters = {BranchAngleParameter(), BranchShare(true), BranchArea()}},
         SupplyBranch},
        {{.id = "tee-supply-straight",
          .name = "Тройник приточный, проход",
          .family = FittingFamily::Tee,
          .source = SupplySource,
          .note = "Отрицательные значения формулы (f_b > 0,4 и q < 0,5) приняты равными 0",
          .referenceVelocity = OnStraight,
          .parameters = {BranchShare(false), BranchArea(), StraightArea()}},
         SupplyStraight},
        {{.id = "tee-exhaust-branch",
          .name = "Тройник вытяжной, ответвление",
          .family = FittingFamily::Tee,
          .source = ExhaustSource,
          .note =
              "Слияние потоков; при α < 90° — косой тройник; ζ может быть отрицательным (эжекция)",
          .referenceVelocity = OnBranch,
          .parameters = {BranchAngleParameter(), BranchShare(true), BranchArea(), StraightArea()}},
         ExhaustBranch},
        {{.id = "tee-exhaust-straight",
          .name = "Тройник вытяжной, проход",
          .family = FittingFamily::Tee,
          .source = ExhaustSource,
          .note = "Слияние потоков; ζ может быть отрицательным (эжекция)",
          .referenceVelocity = OnStraight,
          .parameters = {BranchAngleParameter(), BranchShare(false), BranchArea(), StraightArea()}},
         ExhaustStraight},
    };
}

} // namespace kalvor::fittings
