// Dampers (round butterfly, rectangular multi-blade) and the caps over exhaust shafts.
#include "fittings/FittingCatalogue.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kalvor::fittings {

namespace {

// Idelchik: a round butterfly damper by the blade angle from open, every 5° from 5° to 70°; at 0°
// the open damper's own ζ (0.05 for a thin disc, more with a shaft and a profiled blade).
constexpr std::array ButterflyAngle{5.0,  10.0, 15.0, 20.0, 25.0, 30.0, 35.0,
                                    40.0, 45.0, 50.0, 55.0, 60.0, 65.0, 70.0};
constexpr std::array Butterfly{0.24, 0.52, 0.90, 1.54, 2.51,  3.91,  6.22,
                               10.8, 18.7, 32.6, 58.8, 118.0, 256.0, 751.0};

// Caps by h/D0: an umbrella (зонт) and a flat screen (плоский экран).
constexpr std::array UmbrellaHeight{0.10, 0.20, 0.25, 0.30, 0.35, 0.40, 0.50, 0.60, 0.80, 1.00};
constexpr std::array Umbrella{4.00, 2.30, 1.90, 1.60, 1.40, 1.30, 1.15, 1.10, 1.00, 1.00};
constexpr std::array ScreenHeight{0.25, 0.30, 0.35, 0.40, 0.50, 0.60, 0.80, 1.00};
constexpr std::array Screen{3.40, 2.60, 2.10, 1.70, 1.40, 1.20, 1.10, 1.00};

// ASHRAE 825-RP: ζ = exp(a + b·θ) from θ = 15° on; below it ln ζ runs linearly from the
// open damper's ζ at 0° to ζ(15°).
constexpr double FitStart = 15.0;
constexpr double FitIntercept = -1.51;
constexpr double OpposedSlope = 0.105;
constexpr double ParallelSlope = 0.0842;

double MultiBlade(const Arguments& a, double slope) {
    const double angle = a["angle"];
    const double logAtStart = FitIntercept + slope * FitStart;
    if (angle >= FitStart) {
        return std::exp(FitIntercept + slope * angle);
    }
    const double logOpen = std::log(a["zeta_open"]);
    return std::exp(logOpen + angle / FitStart * (logAtStart - logOpen));
}

double Opposed(const Arguments& a) {
    return MultiBlade(a, OpposedSlope);
}
double Parallel(const Arguments& a) {
    return MultiBlade(a, ParallelSlope);
}

// ζ grows nearly exponentially with the angle: ln ζ is interpolated linearly between the points.
double ButterflyDamper(const Arguments& a) {
    const double angle = a["angle"];
    if (angle < ButterflyAngle.front()) {
        const double logOpen = std::log(a["zeta_open"]);
        const double logFirst = std::log(Butterfly.front());
        return std::exp(logOpen + angle / ButterflyAngle.front() * (logFirst - logOpen));
    }
    std::array<double, Butterfly.size()> logs{};
    std::transform(Butterfly.begin(), Butterfly.end(), logs.begin(),
                   [](double zeta) { return std::log(zeta); });
    return std::exp(Linear(angle, ButterflyAngle, logs));
}
double UmbrellaCap(const Arguments& a) {
    return Linear(a["h_d"], UmbrellaHeight, Umbrella);
}
double ScreenCap(const Arguments& a) {
    return Linear(a["h_d"], ScreenHeight, Screen);
}

const char* const AtDamper = "скорость в воздуховоде у клапана";
const char* const InShaft = "скорость в шахте под зонтом";

Param BladeAngle(double max) {
    return Param("angle", "Угол поворота створок θ от открытого положения", "°", 0).From(0).To(max);
}

Param OpenZeta() {
    return Param("zeta_open", "ζ полностью открытого клапана", "", 0.3)
        .From(0.2)
        .To(0.5)
        .Optional();
}

Param CapHeight(double tableMin) {
    return Param("h_d", "Относительная высота h/D0 (от устья шахты до низа зонта)", "", 0.4)
        .From(tableMin)
        .Clamp(tableMin, 1);
}

const char* const MultiBladeSource = "ASHRAE 825-RP: ζ = exp(−1,51 + b·θ) при θ ≥ 15°; ниже — "
                                     "интерполяция ln ζ от открытого клапана";

} // namespace

std::vector<FittingDefinition> DamperAndCapFittings() {
    return {
        {{.id = "damper-butterfly",
          .name = "Дроссель-клапан круглый",
          .family = FittingFamily::Damper,
          .source = "Идельчик, дроссель-клапан в круглой трубе; интерполяция ln ζ; с таблицей "
                    "SMACNA A15A согласуется в пределах 15 % при 10…60°",
          .note = "0° — клапан открыт: 0,05 у тонкого диска; известен ζ открытого клапана по "
                  "каталогу (SMACNA: 0,20) — задайте его",
          .referenceVelocity = AtDamper,
          .parameters = {BladeAngle(70),
                         Param("zeta_open", "ζ полностью открытого клапана", "", 0.05)
                             .From(0.05)
                             .To(0.5)
                             .Optional()}},
         ButterflyDamper},
        {{.id = "damper-opposed",
          .name = "Клапан многостворчатый, встречные створки",
          .family = FittingFamily::Damper,
          .source = MultiBladeSource,
          .note = "0° — клапан открыт; b = 0,105 на градус",
          .referenceVelocity = AtDamper,
          .parameters = {BladeAngle(55), OpenZeta()}},
         Opposed},
        {{.id = "damper-parallel",
          .name = "Клапан многостворчатый, параллельные створки",
          .family = FittingFamily::Damper,
          .source = MultiBladeSource,
          .note = "0° — клапан открыт; b = 0,0842 на градус",
          .referenceVelocity = AtDamper,
          .parameters = {BladeAngle(65), OpenZeta()}},
         Parallel},
        {{.id = "cap-umbrella",
          .name = "Зонт над вытяжной шахтой",
          .family = FittingFamily::Cap,
          .source = "Российские справочные данные по зонтам шахт; совпадают с SMACNA, фитинг A13A, "
                    "кроме h/D0 = 0,5 (1,15 против 1,20)",
          .referenceVelocity = InShaft,
          .parameters = {CapHeight(0.1)}},
         UmbrellaCap},
        {{.id = "cap-screen",
          .name = "Плоский экран над вытяжной шахтой",
          .family = FittingFamily::Cap,
          .source = "Российские справочные данные по экранам шахт",
          .referenceVelocity = InShaft,
          .parameters = {CapHeight(0.25)}},
         ScreenCap},
    };
}

} // namespace kalvor::fittings
