// Sudden expansion and contraction, conical diffusers and confusers (Idelchik), with ζ put on
// the small or the large section of the transition.
#include "fittings/FittingCatalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kalvor::fittings {

namespace {

// Idelchik, conical diffuser: the expansion loss by the included angle α (columns) and
// n = F_small/F_large (rows), and the friction loss over the same kind of grid.
constexpr std::array DiffuserAngle{3.0,  6.0,  8.0,  10.0, 12.0, 14.0, 16.0,
                                   20.0, 24.0, 30.0, 40.0, 60.0, 90.0, 180.0};
constexpr std::array DiffuserRatio{0.0, 0.05, 0.075, 0.1, 0.15, 0.2, 0.25, 0.3, 0.4, 0.5, 0.6};
constexpr std::array DiffuserExpansion{
    0.03, 0.08, 0.11, 0.15, 0.19, 0.23, 0.27, 0.36, 0.47, 0.65, 0.92, 1.15, 1.10, 1.02, // 0
    0.03, 0.07, 0.10, 0.14, 0.16, 0.20, 0.24, 0.32, 0.42, 0.58, 0.83, 1.04, 0.99, 0.92, // 0.05
    0.03, 0.07, 0.09, 0.13, 0.16, 0.19, 0.23, 0.30, 0.40, 0.55, 0.79, 0.99, 0.95, 0.88, // 0.075
    0.03, 0.07, 0.09, 0.12, 0.15, 0.18, 0.22, 0.29, 0.38, 0.52, 0.75, 0.93, 0.89, 0.83, // 0.1
    0.02, 0.06, 0.08, 0.11, 0.14, 0.17, 0.20, 0.26, 0.34, 0.46, 0.67, 0.84, 0.79, 0.74, // 0.15
    0.02, 0.05, 0.07, 0.10, 0.12, 0.15, 0.17, 0.23, 0.30, 0.41, 0.59, 0.74, 0.70, 0.65, // 0.2
    0.02, 0.05, 0.06, 0.08, 0.10, 0.13, 0.15, 0.20, 0.26, 0.35, 0.47, 0.65, 0.62, 0.58, // 0.25
    0.02, 0.04, 0.05, 0.07, 0.09, 0.11, 0.13, 0.18, 0.23, 0.31, 0.40, 0.57, 0.54, 0.50, // 0.3
    0.01, 0.03, 0.04, 0.06, 0.07, 0.08, 0.10, 0.13, 0.17, 0.23, 0.33, 0.41, 0.39, 0.37, // 0.4
    0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.09, 0.12, 0.16, 0.23, 0.29, 0.28, 0.26, // 0.5
    0.01, 0.01, 0.02, 0.03, 0.03, 0.04, 0.05, 0.06, 0.08, 0.10, 0.15, 0.18, 0.17, 0.16, // 0.6
};
constexpr std::array FrictionAngle{2.0, 3.0, 6.0, 8.0, 10.0, 12.0, 14.0, 16.0, 20.0};
constexpr std::array FrictionRatio{0.05, 0.075, 0.1, 0.15, 0.2, 0.25, 0.3, 0.4, 0.5, 0.6};
constexpr std::array DiffuserFriction{
    0.14, 0.10, 0.05, 0.04, 0.03, 0.03, 0.02, 0.02, 0.01, // 0.05
    0.14, 0.10, 0.05, 0.04, 0.03, 0.02, 0.02, 0.02, 0.01, // 0.075
    0.14, 0.10, 0.05, 0.04, 0.03, 0.02, 0.02, 0.02, 0.01, // 0.1
    0.14, 0.10, 0.05, 0.04, 0.03, 0.02, 0.02, 0.02, 0.01, // 0.15
    0.14, 0.10, 0.05, 0.03, 0.03, 0.02, 0.02, 0.02, 0.01, // 0.2
    0.14, 0.10, 0.05, 0.03, 0.03, 0.02, 0.02, 0.02, 0.01, // 0.25
    0.13, 0.09, 0.04, 0.03, 0.03, 0.02, 0.02, 0.02, 0.01, // 0.3
    0.12, 0.08, 0.04, 0.03, 0.02, 0.02, 0.02, 0.02, 0.01, // 0.4
    0.11, 0.07, 0.04, 0.03, 0.02, 0.02, 0.02, 0.02, 0.01, // 0.5
    0.09, 0.06, 0.03, 0.02, 0.02, 0.02, 0.02, 0.02, 0.01, // 0.6
};

const char* const SmallOrLarge =
    "скорость в сечении участка: меньшем (side = 0; к нему относит ζ справочник) или большем "
    "(side = 1; ζ/n²)";

// ζ tabulated on the small section, put on the section the side parameter names.
double OnSide(const Arguments& a, double zetaSmall) {
    return a.Whole("side") == 0 ? zetaSmall : Rereferred(zetaSmall, 1.0 / a.Given("n"));
}

// Idelchik, Diagram 4-1 (Borda–Carnot): ζ = (1 − n)².
double Expansion(const Arguments& a) {
    const double n = a["n"];
    return OnSide(a, (1 - n) * (1 - n));
}

// Idelchik, Diagrams 4-9 and 4-10: ζ = 0.5·(1 − n)^0.75.
double Contraction(const Arguments& a) {
    return OnSide(a, 0.5 * std::pow(1 - a["n"], 0.75));
}

// The friction of a cone is proportional to its length: beyond the friction table's 20° it is
// scaled by tan 10°/tan(α/2), which vanishes at 180°.
double FrictionTaper(double angle) {
    if (angle <= 20) {
        return 1;
    }
    if (angle >= 180) {
        return 0;
    }
    return std::tan(10 * std::numbers::pi / 180) / std::tan(angle * std::numbers::pi / 360);
}

// Above the tables' last ratio 0.6 both parts are scaled from that row: the expansion as the
// Borda–Carnot loss, ((1 − n)/0.4)², the friction as (1 − n²)/0.64. At 180° the table's
// 0.16 = (1 − 0.6)², so there ζ = (1 − n)², the sudden expansion's.
double Diffuser(const Arguments& a) {
    const double angle = a["angle"], n = a["n"];
    const double tableRatio = std::min(n, 0.6);
    double expansion = Bilinear(angle, tableRatio, DiffuserAngle, DiffuserRatio, DiffuserExpansion);
    double friction = Bilinear(angle, tableRatio, FrictionAngle, FrictionRatio, DiffuserFriction) *
                      FrictionTaper(angle);
    if (n > 0.6) {
        expansion *= (1 - n) * (1 - n) / (0.4 * 0.4);
        friction *= (1 - n * n) / 0.64;
    }
    return OnSide(a, expansion + friction);
}

// Idelchik, Diagram 5-23: ζ = P(n)·(α³ − 2π·α² − 10·α), α in radians, plus the friction term
// λ·(1 − n²)/(8·sin(α/2)) when a friction factor is given.
double Confuser(const Arguments& a) {
    const double n = a["n"], alpha = a["angle"] * std::numbers::pi / 180.0, lambda = a["lambda"];
    const double p = (((-0.0125 * n + 0.0224) * n - 0.00723) * n + 0.00444) * n - 0.00745;
    const double local =
        p * (alpha * alpha * alpha - 2 * std::numbers::pi * alpha * alpha - 10 * alpha);
    const double friction = lambda * (1 - n * n) / (8 * std::sin(alpha / 2));
    return OnSide(a, local + friction);
}

Param AreaRatio(double defaultValue) {
    return Param("n", "Отношение площадей n = F меньшее / F большее", "", defaultValue)
        .Above(0)
        .Below(1);
}

Param Side() {
    return Param("side", "Сечение участка", "", 0)
        .From(0)
        .Choices({"меньшее", "большее"})
        .Optional();
}

Param IncludedAngle(const char* label, double defaultValue) {
    return Param("angle", label, "°", defaultValue).Above(0).To(180);
}

} // namespace

std::vector<FittingDefinition> TransitionFittings() {
    return {
        {{.id = "expansion",
          .name = "Внезапное расширение",
          .family = FittingFamily::SuddenChange,
          .source = "Идельчик, диаграмма 4-1 (формула Борда — Карно)",
          .note = "Re ≥ 3300, равномерный профиль на входе",
          .referenceVelocity = SmallOrLarge,
          .parameters = {AreaRatio(0.5), Side()}},
         Expansion},
        {{.id = "contraction",
          .name = "Внезапное сужение",
          .family = FittingFamily::SuddenChange,
          .source = "Идельчик, диаграммы 4-9 и 4-10: ζ = 0,5·(1 − n)^0,75",
          .note = "Re ≥ 10⁴",
          .referenceVelocity = SmallOrLarge,
          .parameters = {AreaRatio(0.5), Side()}},
         Contraction},
        {{.id = "diffuser",
          .name = "Диффузор",
          .family = FittingFamily::Transition,
          .source = "Идельчик, конический диффузор: таблицы потерь на расширение и на трение; "
                    "при n > 0,6 — пересчёт от строки 0,6 (при 180° — внезапное расширение)",
          .note = "Прямоугольный переход — по большему из углов раскрытия сторон",
          .referenceVelocity = SmallOrLarge,
          .parameters = {IncludedAngle("Угол раскрытия α (полный)", 20).Clamp(3, 180),
                         AreaRatio(0.5), Side()}},
         Diffuser},
        {{.id = "confuser",
          .name = "Конфузор",
          .family = FittingFamily::Transition,
          .source = "Идельчик, диаграмма 5-23",
          .note = "Прямоугольный переход — по большему из углов сужения сторон; трение — при "
                  "заданном λ",
          .referenceVelocity = SmallOrLarge,
          .parameters = {IncludedAngle("Угол сужения α (полный)", 30), AreaRatio(0.25), Side(),
                         Param("lambda", "Коэффициент трения λ стенок конфузора", "", 0)
                             .From(0)
                             .To(0.1)
                             .Optional()}},
         Confuser},
    };
}

} // namespace kalvor::fittings
