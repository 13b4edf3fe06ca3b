// Round and rectangular elbows: smooth (Idelchik 6-1), segmented and with vanes (SMACNA),
// mitred (Idelchik 6-7 with the sharp elbows' own A and C1 tables).
#include "fittings/FittingCatalogue.h"

#include <array>
#include <cmath>
#include <numbers>

namespace kalvor::fittings {

namespace {

// Idelchik, Diagram 6-1: A1 by the angle of turn, B1 by R/D (or R/b), C1 by h/b.
constexpr std::array A1Angle{0.0, 20.0, 30.0, 45.0, 60.0, 75.0, 90.0, 110.0, 130.0, 150.0, 180.0};
constexpr std::array A1{0.0, 0.31, 0.45, 0.60, 0.78, 0.90, 1.00, 1.13, 1.20, 1.28, 1.40};
constexpr std::array B1Radius{0.5, 0.6, 0.7, 0.8, 0.9,  1.0,  1.25, 1.5,
                              2.0, 4.0, 6.0, 8.0, 10.0, 20.0, 30.0, 40.0};
constexpr std::array B1{1.18, 0.77, 0.51, 0.37, 0.28, 0.21, 0.19, 0.17,
                        0.15, 0.11, 0.09, 0.07, 0.07, 0.05, 0.04, 0.03};
constexpr std::array C1Aspect{0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0};
constexpr std::array C1{1.30, 1.17, 1.09, 1.00, 0.90, 0.85, 0.85, 0.90, 0.95, 0.98, 1.00, 1.00};

// Idelchik, Diagram 6-7: A by the angle of turn, held at 2.50 below 20° (where ζ′ → 0) and at
// 1.20 above 90°; C1 of sharp elbows by h/b, flatter than that of smooth bends.
constexpr std::array MitreAngle{20.0, 30.0, 45.0, 60.0, 75.0, 90.0, 110.0, 130.0, 150.0, 180.0};
constexpr std::array MitreA{2.50, 2.22, 1.87, 1.50, 1.28, 1.20, 1.20, 1.20, 1.20, 1.20};
constexpr std::array SharpC1{1.10, 1.07, 1.04, 1.00, 0.95, 0.90,
                             0.83, 0.78, 0.75, 0.72, 0.71, 0.70};

// SMACNA, fitting A7B: segmented 90° round elbows by R/D; 4 and 5 pieces start at R/D 0.75.
constexpr std::array SegmentRadius{0.5, 0.75, 1.0, 1.5, 2.0};
constexpr std::array Segments3{0.98, 0.54, 0.42, 0.34, 0.33};
constexpr std::array Segments4{0.50, 0.37, 0.27, 0.24};
constexpr std::array Segments5{0.46, 0.33, 0.24, 0.19};

// SMACNA, fitting A7H: mitred 90° rectangular elbow with turning vanes, by the duct velocity.
constexpr std::array VaneVelocity{5.0, 7.5, 10.0, 12.5};
constexpr std::array<std::array<double, 4>, 5> Vanes{{
    {0.24, 0.23, 0.22, 0.20}, // single-thickness, R 50 mm, S 38 mm
    {0.26, 0.24, 0.23, 0.22}, // single-thickness, R 114 mm, S 83 mm
    {0.43, 0.42, 0.41, 0.40}, // double-thickness, R 50 mm, S 38 mm
    {0.53, 0.53, 0.50, 0.49}, // double-thickness, R 50 mm, S 56 mm
    {0.27, 0.25, 0.24, 0.23}, // double-thickness, R 114 mm, S 83 mm
}};

const char* const OwnSection = "скорость в сечении отвода (к ней же относит ζ справочник)";

double AngleFactor(double angle) {
    return Linear(angle, A1Angle, A1);
}
double RadiusFactor(double radius) {
    return Linear(radius, B1Radius, B1);
}
double AspectFactor(double aspect) {
    return Linear(aspect, C1Aspect, C1);
}

// Idelchik, Diagram 6-7: ζ = A(δ)·[0.95·sin²(δ/2) + 2.05·sin⁴(δ/2)].
double MitredZeta(double angle) {
    const double s = std::sin(angle * std::numbers::pi / 360.0);
    return Linear(angle, MitreAngle, MitreA) * (0.95 * s * s + 2.05 * s * s * s * s);
}

double RoundElbow(const Arguments& a) {
    return AngleFactor(a["angle"]) * RadiusFactor(a["r_d"]);
}

double RectElbow(const Arguments& a) {
    return AngleFactor(a["angle"]) * RadiusFactor(a["r_b"]) * AspectFactor(a["h_b"]);
}

double SegmentedElbow(const Arguments& a) {
    const double radius = a["r_d"];
    const int pieces = a.Whole("pieces");
    double at90 = 0;
    if (pieces == 3) {
        at90 = Linear(radius, SegmentRadius, Segments3);
    } else {
        if (radius < 0.75) {
            a.Refuse("r_d", FittingRange{.min = 0.75, .max = NoLimit}, "при 4 и 5 звеньях");
        }
        const auto radii = std::span(SegmentRadius).subspan(1);
        at90 = pieces == 4 ? Linear(radius, radii, Segments4) : Linear(radius, radii, Segments5);
    }
    return at90 * AngleFactor(a["angle"]);
}

double RoundMitred(const Arguments& a) {
    return MitredZeta(a["angle"]);
}
double RectMitred(const Arguments& a) {
    return MitredZeta(a["angle"]) * Linear(a["h_b"], C1Aspect, SharpC1);
}

double VanedElbow(const Arguments& a) {
    return Linear(a["velocity"], VaneVelocity,
                  Vanes.at(static_cast<std::size_t>(a.Whole("vanes"))));
}

Param TurnAngle(double max) {
    return Param("angle", "Угол поворота δ", "°", 90).Above(0).To(max);
}

Param BendRadius(const char* id, const char* label) {
    return Param(id, label, "", 1).From(0.5).Clamp(0.5, 40);
}

Param Aspect() {
    return Param("h_b", "Отношение сторон h/b (h поперёк плоскости поворота)", "", 1)
        .Above(0)
        .Clamp(0.25, 8);
}

} // namespace

std::vector<FittingDefinition> ElbowFittings() {
    return {
        {{.id = "elbow-round",
          .name = "Отвод круглый гладкий",
          .family = FittingFamily::RoundElbow,
          .source = "Идельчик, диаграмма 6-1: ζ = A1·B1",
          .note = "Без трения: его учитывает длина участка",
          .referenceVelocity = OwnSection,
          .parameters = {TurnAngle(180), BendRadius("r_d", "Относительный радиус поворота R/D")}},
         RoundElbow},
        {{.id = "elbow-round-segmented",
          .name = "Отвод круглый сегментный",
          .family = FittingFamily::RoundElbow,
          .source = "SMACNA HVAC Systems Duct Design, фитинг A7B; угол — множитель A1 Идельчика "
                    "(диаграмма 6-1)",
          .note = "Справочник даёт отводы на 90°; для других углов ζ90·A1(δ)",
          .referenceVelocity = OwnSection,
          .parameters =
              {TurnAngle(180),
               Param("pieces", "Число звеньев", "", 5)
                   .From(3)
                   .Choices({"3 звена", "4 звена", "5 звеньев"}),
               Param("r_d", "Относительный радиус поворота R/D", "", 1.5).From(0.5).Clamp(0.5, 2)}},
         SegmentedElbow},
        {{.id = "elbow-round-mitred",
          .name = "Колено круглое (с острыми кромками)",
          .family = FittingFamily::RoundElbow,
          .source = "Идельчик, диаграмма 6-7: ζ = A·(0,95·sin²(δ/2) + 2,05·sin⁴(δ/2)), A по "
                    "таблице; то же даёт SMACNA, фитинг A7C",
          .note = "Выше 90° A = 1,20; данные источников там расходятся",
          .referenceVelocity = OwnSection,
          .parameters = {TurnAngle(180)}},
         RoundMitred},
        {{.id = "elbow-rect",
          .name = "Отвод прямоугольный гладкий",
          .family = FittingFamily::RectElbow,
          .source = "Идельчик, диаграмма 6-1: ζ = A1·B1·C1",
          .note = "b — сторона в плоскости поворота; без трения: его учитывает длина участка",
          .referenceVelocity = OwnSection,
          .parameters = {TurnAngle(180), BendRadius("r_b", "Относительный радиус поворота R/b"),
                         Aspect()}},
         RectElbow},
        {{.id = "elbow-rect-mitred",
          .name = "Колено прямоугольное (с острыми кромками)",
          .family = FittingFamily::RectElbow,
          .source = "Идельчик, диаграмма 6-7, с множителем C1 колен с острыми кромками; то же "
                    "даёт SMACNA, фитинг A7D",
          .note = "b — сторона в плоскости поворота; выше 90° A = 1,20",
          .referenceVelocity = OwnSection,
          .parameters = {TurnAngle(180), Aspect()}},
         RectMitred},
        {{.id = "elbow-rect-vanes",
          .name = "Колено прямоугольное 90° с направляющими лопатками",
          .family = FittingFamily::RectElbow,
          .source = "SMACNA HVAC Systems Duct Design, фитинг A7H",
          .note = "R — радиус лопатки, S — шаг лопаток",
          .referenceVelocity = OwnSection,
          .parameters = {Param("vanes", "Лопатки", "", 0)
                             .From(0)
                             .Choices(
                                 {"однослойные, R 50 мм, S 38 мм", "однослойные, R 114 мм, S 83 мм",
                                  "двухслойные, R 50 мм, S 38 мм", "двухслойные, R 50 мм, S 56 мм",
                                  "двухслойные, R 114 мм, S 83 мм"}),
                         Param("velocity", "Скорость воздуха в колене v", "м/с", 10)
                             .Above(0)
                             .Clamp(5, 12.5)}},
         VanedElbow},
    };
}

} // namespace kalvor::fittings
