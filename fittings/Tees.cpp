// Tees and wyes, supply (diverging) and exhaust (converging), branch and straight passage
// (Idelchik, 3rd edition), each put on the velocity of its own leg.
#include "fittings/FittingCatalogue.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kalvor::fittings {

namespace {

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

double Cosine(double degrees) {
    return std::cos(degrees * std::numbers::pi / 180.0);
}

// The handbook's tables switch from the small-branch to the large-branch family at f_b = 0.35;
// the two are joined linearly over 0.30…0.40, so that no size of branch makes ζ jump.
double LargeBranchShare(double fb) {
    return std::clamp((fb - 0.30) / 0.10, 0.0, 1.0);
}

// ζ_cb = A′·[1 + w² − 2·w·cos α], w = v_b/v_c = q/f_b; A′ of table 7-4 in its min/max form.
double SupplyBranch(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"];
    const double small = std::clamp(1.1 - 0.7 * q, 0.85, 1.1);
    const double large = std::clamp(1.0 - 0.6 * q, 0.6, 1.0);
    const double factor = small + (large - small) * LargeBranchShare(fb);
    const double w = q / fb;
    return OnBranchLeg(a, factor * (1 + w * w - 2 * w * Cosine(a["angle"])));
}

// ζ_cs = 0.4·(1 − v_s/v_c)², v_s/v_c = (1 − q)/f_s; the branch's size does not enter.
double SupplyStraight(const Arguments& a) {
    const double slower = 1 - (1 - a["q"]) / a["f_s"];
    return OnStraightLeg(a, 0.4 * slower * slower);
}

// ζ_cb = A·[1 + (q/f_b)² − 2·(1 − q)²/f_s − 2·q²·cos α/f_b], A = 1 for small branches and
// max(0.55, 0.9·(1 − q)) for large ones.
double ExhaustBranch(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"], fs = a["f_s"];
    const double large = std::max(0.55, 0.9 * (1 - q));
    const double factor = 1 + (large - 1) * LargeBranchShare(fb);
    const double w = q / fb;
    return OnBranchLeg(
        a, factor * (1 + w * w - 2 * (1 - q) * (1 - q) / fs - 2 * q * q * Cosine(a["angle"]) / fb));
}

// Momentum form up to 60°; at 90° 1.55·q − q² with the widening of the straight stream from F_s
// to F_c, (1 − q)²·(1/f_s − 1)²; linear in α between the two.
double ExhaustStraight(const Arguments& a) {
    const double q = a["q"], fb = a["f_b"], fs = a["f_s"], angle = a["angle"];
    const auto momentum = [&](double degrees) {
        const double straight = (1 - q) / fs;
        return 1 + straight * straight - 2 * (1 - q) * (1 - q) / fs -
               2 * q * q * Cosine(degrees) / fb;
    };
    if (angle <= 60) {
        return OnStraightLeg(a, momentum(angle));
    }
    const double widening = (1 - q) * (1 / fs - 1);
    const double at90 = 1.55 * q - q * q + widening * widening;
    const double t = (angle - 60) / 30;
    return OnStraightLeg(a, momentum(60) + (at90 - momentum(60)) * t);
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
    "Идельчик (3-е изд.), диаграмма 7-20 и таблица 7-4; проход — Идельчик (1960); с таблицами "
    "SMACNA A11A согласуется в пределах 0,1";
const char* const ExhaustSource =
    "Идельчик (3-е изд.), формула 7-1 и таблица 7-1; проход при 90° — 1,55q − q² с потерей на "
    "расширение прохода; та же форма — Crane TP-410";

} // namespace

std::vector<FittingDefinition> TeeFittings() {
    return {
        {{.id = "tee-supply-branch",
          .name = "Тройник приточный, ответвление",
          .family = FittingFamily::Tee,
          .source = SupplySource,
          .note = "Разделение потока; при α < 90° — косой тройник; семейства малых и больших "
                  "ответвлений сопряжены при 0,3 ≤ f_b ≤ 0,4",
          .referenceVelocity = OnBranch,
          .parameters = {BranchAngleParameter(), BranchShare(true), BranchArea()}},
         SupplyBranch},
        {{.id = "tee-supply-straight",
          .name = "Тройник приточный, проход",
          .family = FittingFamily::Tee,
          .source = SupplySource,
          .note = "ζ от f_b не зависит; при скорости в проходе выше, чем в общем канале, данных "
                  "нет — формула продолжена",
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
