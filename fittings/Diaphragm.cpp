// The diaphragm's ζ (Idelchik's thick-edged orifice, thin plate as its limit), the inverse from a
// required ζ to the opening, and the fitting type "diaphragm".
#include "fittings/Diaphragm.h"

#include "common/Errors.h"
#include "fittings/FittingCatalogue.h"

#include <cmath>

namespace kalvor {

namespace {

constexpr double Friction = 0.02; // λ of the opening's wall

// The jet's contraction against the plate's thickness: 1.414 for a thin plate; from 0.1 on the
// fit of the thick orifice, (2.4 − l)·10^(−φ); linear in between, where the two diagrams meet.
double Contraction(double l) {
    const auto thick = [](double x) {
        const double x8 = std::pow(x, 8);
        const double phi = 0.25 + 0.535 * x8 / (0.05 + x8);
        return (2.4 - x) * std::pow(10.0, -phi);
    };
    if (l >= 0.1) {
        return thick(l);
    }
    return 1.414 + (thick(0.1) - 1.414) * l / 0.1;
}

// The hydraulic diameter of the opening for the area ratio n, mm.
double OpeningDiameter(double n, const DiaphragmRequest& r) {
    if (r.duct == DiaphragmDuct::Round) {
        return r.width * std::sqrt(n);
    }
    const double h0 = n * r.height;
    return 2 * r.width * h0 / (r.width + h0);
}

double ZetaOf(double n, const DiaphragmRequest& r) {
    return DiaphragmZeta(n, r.thickness / OpeningDiameter(n, r));
}

std::string Number(double value) {
    return fittings::MessageNumber(value);
}

} // namespace

double DiaphragmZeta(double n, double l) {
    const double closed = 1 - n;
    return (0.5 * std::pow(closed, 0.75) + Contraction(l) * std::pow(closed, 1.375) +
            closed * closed + Friction * l) /
           (n * n);
}

DiaphragmOpening DiaphragmForZeta(double zeta, const DiaphragmRequest& r) {
    const bool slot = r.duct == DiaphragmDuct::Rectangular;
    if (!(r.width > 0) || (slot && !(r.height > 0)) || !(r.thickness >= 0) ||
        !std::isfinite(r.width + r.height + r.thickness)) {
        throw Error("Диафрагма: размеры воздуховода и толщина пластины должны быть положительными");
    }
    if (!std::isfinite(zeta) || zeta <= 0) {
        throw Error("Диафрагма: требуемый ζ = " + Number(zeta) +
                    " должен быть положительным числом");
    }
    // ζ falls strictly as the opening grows.
    double low = 0.001, high = 1.0;
    for (int i = 0; i < 200 && high - low > 1e-15; ++i) {
        const double middle = (low + high) / 2;
        (ZetaOf(middle, r) > zeta ? low : high) = middle;
    }
    const double n = (low + high) / 2;
    const double smallest = ZetaOf(DiaphragmLargestRatio, r);
    const double largest = ZetaOf(DiaphragmSmallestRatio, r);
    if (n > DiaphragmLargestRatio * (1 + 1e-12)) {
        throw Error("Диафрагма не нужна: ζ = " + Number(zeta) + " меньше " + Number(smallest) +
                    ", которое даёт отверстие в 0,9 сечения; кольцо было бы уже допуска самого "
                    "воздуховода. Проверьте, укладывается ли избыток давления в допустимую "
                    "невязку, или отрегулируйте ответвление клапаном");
    }
    if (n < DiaphragmSmallestRatio * (1 - 1e-12)) {
        throw Error("Диафрагма не подходит: ζ = " + Number(zeta) + " больше " + Number(largest) +
                    ", которое даёт отверстие в 0,3 сечения; струя в отверстии шумит, а "
                    "округление на 1 мм заметно меняет ζ. Уменьшите сечение ответвления или "
                    "поставьте регулирующий клапан");
    }
    DiaphragmOpening result;
    result.ratio = n;
    result.opening = slot ? n * r.height : r.width * std::sqrt(n);
    result.openingMm = static_cast<int>(std::floor(result.opening + 0.5));
    const double side = slot ? r.height : r.width;
    result.roundedRatio =
        slot ? result.openingMm / side : (result.openingMm / side) * (result.openingMm / side);
    result.zeta = ZetaOf(result.roundedRatio, r);
    return result;
}

namespace fittings {

std::vector<FittingDefinition> DiaphragmFittings() {
    return {
        {{.id = "diaphragm",
          .name = "Диафрагма (шайба)",
          .family = FittingFamily::Damper,
          .source = "Идельчик, диаграммы 4-14 (тонкая пластина) и 4-15 (толстая)",
          .note = "Разумна при 0,3 ≤ n ≤ 0,9; в прямоугольном воздуховоде — щель на всю ширину",
          .referenceVelocity = "скорость в воздуховоде, где стоит диафрагма (не в отверстии)",
          .parameters = {Param("n", "Отношение площадей n = F отверстия / F воздуховода", "", 0.5)
                             .Above(0)
                             .To(1),
                         Param("t_dh",
                               "Относительная толщина t/d₀ (к гидравлическому диаметру "
                               "отверстия)",
                               "", 0)
                             .From(0)
                             .To(2.4)
                             .Optional()}},
         [](const Arguments& a) { return DiaphragmZeta(a["n"], a["t_dh"]); }},
    };
}

} // namespace fittings
} // namespace kalvor
