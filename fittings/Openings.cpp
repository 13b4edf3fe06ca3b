// Entries, exits and grilles: sharp, protruding, rounded and conical entries, free exits and
// exits through a grille, grilles, perforated plates and louvres in a duct.
#include "fittings/FittingCatalogue.h"

#include <array>
#include <cmath>

namespace kalvor::fittings {

namespace {

// Idelchik: a duct end protruding by l into a room, by l/D (columns; 10 stands for any longer
// protrusion) and the wall thickness of its end t/D (rows; from 0.05 on the edge no longer
// matters and ζ is that of a flush entry).
constexpr std::array ProtrusionRatio{0.0, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.3, 0.5, 10.0};
constexpr std::array WallRatio{0.0, 0.004, 0.008, 0.012, 0.016, 0.02, 0.024, 0.03, 0.04, 0.05};
constexpr std::array Protrusion{
    0.50, 0.57, 0.63, 0.68, 0.73, 0.80, 0.86, 0.92, 0.97, 1.00, 1.00, // t/D = 0
    0.50, 0.54, 0.58, 0.63, 0.67, 0.74, 0.80, 0.86, 0.90, 0.94, 0.94, // 0.004
    0.50, 0.53, 0.55, 0.58, 0.62, 0.68, 0.74, 0.81, 0.85, 0.88, 0.88, // 0.008
    0.50, 0.52, 0.53, 0.55, 0.58, 0.63, 0.68, 0.75, 0.79, 0.83, 0.83, // 0.012
    0.50, 0.51, 0.51, 0.53, 0.55, 0.58, 0.64, 0.70, 0.74, 0.77, 0.77, // 0.016
    0.50, 0.51, 0.51, 0.52, 0.53, 0.55, 0.60, 0.66, 0.69, 0.72, 0.72, // 0.02
    0.50, 0.50, 0.50, 0.51, 0.52, 0.53, 0.58, 0.62, 0.65, 0.68, 0.68, // 0.024
    0.50, 0.50, 0.50, 0.51, 0.52, 0.52, 0.54, 0.57, 0.59, 0.61, 0.61, // 0.03
    0.50, 0.50, 0.50, 0.51, 0.51, 0.51, 0.51, 0.52, 0.52, 0.54, 0.54, // 0.04
    0.50, 0.50, 0.50, 0.50, 0.50, 0.50, 0.50, 0.50, 0.50, 0.50, 0.50, // 0.05
};

// A rounded entry (collector) by r/D: with an end wall after Idelchik, without one after SMACNA
// fitting A12B.
constexpr std::array RoundingWall{0.0, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.08, 0.12, 0.16, 0.2};
constexpr std::array RoundedWall{0.50, 0.44, 0.37, 0.31, 0.26, 0.22, 0.20, 0.15, 0.09, 0.06, 0.03};
constexpr std::array RoundingFree{0.0,  0.01, 0.02, 0.03, 0.04, 0.05,
                                  0.06, 0.08, 0.10, 0.12, 0.16, 0.20};
constexpr std::array RoundedFree{1.0,  0.87, 0.74, 0.61, 0.51, 0.40,
                                 0.32, 0.20, 0.15, 0.10, 0.06, 0.03};

// A conical collector by the included angle (columns) and l/D (rows): with an end wall after
// Idelchik, Diagram 3-6, without one after SMACNA fitting A12D.
constexpr std::array ConeAngle{0.0, 10.0, 20.0, 30.0, 40.0, 60.0, 100.0, 140.0, 180.0};
constexpr std::array ConeLengthWall{0.025, 0.05, 0.075, 0.10, 0.15, 0.60};
constexpr std::array ConeWall{
    0.50, 0.47, 0.45, 0.43, 0.41, 0.40, 0.42, 0.45, 0.50, // 0.025
    0.50, 0.45, 0.41, 0.36, 0.33, 0.30, 0.35, 0.42, 0.50, // 0.05
    0.50, 0.42, 0.35, 0.30, 0.26, 0.23, 0.30, 0.40, 0.50, // 0.075
    0.50, 0.39, 0.32, 0.25, 0.22, 0.18, 0.27, 0.38, 0.50, // 0.10
    0.50, 0.37, 0.27, 0.20, 0.16, 0.15, 0.25, 0.37, 0.50, // 0.15
    0.50, 0.27, 0.18, 0.13, 0.11, 0.12, 0.23, 0.36, 0.50, // 0.60
};
constexpr std::array ConeLengthFree{0.025, 0.05, 0.10, 0.25, 0.60, 1.0};
constexpr std::array ConeFree{
    1.0, 0.96, 0.93, 0.90, 0.86, 0.80, 0.69, 0.59, 0.50, // 0.025
    1.0, 0.93, 0.86, 0.80, 0.75, 0.67, 0.58, 0.53, 0.50, // 0.05
    1.0, 0.80, 0.67, 0.55, 0.48, 0.41, 0.41, 0.44, 0.50, // 0.10
    1.0, 0.68, 0.45, 0.30, 0.22, 0.17, 0.22, 0.34, 0.50, // 0.25
    1.0, 0.46, 0.27, 0.18, 0.14, 0.13, 0.21, 0.33, 0.50, // 0.60
    1.0, 0.32, 0.20, 0.14, 0.11, 0.10, 0.18, 0.30, 0.50, // 1.0
};

const char* const AtEntry = "скорость во входном сечении воздуховода";
const char* const AtExit = "скорость в выходном сечении воздуховода";
const char* const AheadOfGrille = "скорость в воздуховоде перед решёткой (к ней относит ζ "
                                  "справочник); для другого сечения участка — пересчёт ζ·f_sec²";

double ProtrudingEntry(const Arguments& a) {
    return Bilinear(a["l_d"], a["t_d"], ProtrusionRatio, WallRatio, Protrusion);
}

double RoundedEntryWall(const Arguments& a) {
    return Linear(a["r_d"], RoundingWall, RoundedWall);
}
double RoundedEntryFree(const Arguments& a) {
    return Linear(a["r_d"], RoundingFree, RoundedFree);
}

double ConicalEntryWall(const Arguments& a) {
    return Bilinear(a["angle"], a["l_d"], ConeAngle, ConeLengthWall, ConeWall);
}

double ConicalEntryFree(const Arguments& a) {
    return Bilinear(a["angle"], a["l_d"], ConeAngle, ConeLengthFree, ConeFree);
}

// Idelchik, Diagram 4-14: a thin sharp-edged plate or grille of free-area ratio f,
// ζ = [(1 − f) + 0.707·(1 − f)^0.375]²/f² on the duct velocity ahead of it.
double Plate(const Arguments& a) {
    const double f = a["f"];
    const double jet = (1 - f) + 0.707 * std::pow(1 - f, 0.375);
    return Rereferred(jet * jet / (f * f), a["f_sec"]);
}

// The same plate at a free exit: the jet contracted by 1 + 0.707·(1 − f)^0.375 loses all its
// energy, ζ = (1 + 0.707·(1 − f)^0.375)²/f².
double PlateExit(const Arguments& a) {
    const double f = a["f"];
    const double jet = 1 + 0.707 * std::pow(1 - f, 0.375);
    return Rereferred(jet * jet / (f * f), a["f_sec"]);
}

Param RoundingRadius() {
    return Param("r_d", "Относительный радиус закругления r/D", "", 0.1).From(0).Clamp(0, 0.2);
}

Param ConeAngleParameter() {
    return Param("angle", "Угол конуса α (полный)", "°", 60).From(0).To(180);
}

Param ConeLength(double tableMax) {
    return Param("l_d", "Относительная длина конуса l/D", "", 0.15).From(0).Clamp(0.025, tableMax);
}

Param FreeArea() {
    return Param("f", "Коэффициент живого сечения f = F живого сечения / F воздуховода", "", 0.7)
        .From(0.05)
        .To(1);
}

Param SectionArea() {
    return Param("f_sec", "Отношение площадей f_sec = F участка / F воздуховода у решётки", "", 1)
        .Above(0)
        .Optional();
}

} // namespace

std::vector<FittingDefinition> OpeningFittings() {
    return {
        {{.id = "entry-sharp",
          .name = "Вход с острыми кромками заподлицо со стеной",
          .family = FittingFamily::EntryExit,
          .source = "Идельчик (вход заподлицо со стенкой): ζ = 0,5; то же — Crane, Blevins",
          .referenceVelocity = AtEntry},
         [](const Arguments&) { return 0.5; }},
        {{.id = "entry-protruding",
          .name = "Вход в открытый торец воздуховода",
          .family = FittingFamily::EntryExit,
          .source = "Идельчик, вход в трубу, выступающую от стены: таблица по l/D и t/D",
          .note = "Торец из листа, свободно стоящий в помещении: t/D 0,001…0,005, ζ 0,85…0,99 "
                  "при l/D ≥ 0,2; по умолчанию t/D = 0,004 (лист 0,8 мм на D 200)",
          .referenceVelocity = AtEntry,
          .parameters =
              {Param("l_d", "Относительный вылет торца от стены L/D", "", 1).From(0).Clamp(0, 10),
               Param("t_d", "Относительная толщина стенки t/D", "", 0.004)
                   .From(0)
                   .Clamp(0, 0.05)
                   .Optional()}},
         ProtrudingEntry},
        {{.id = "entry-bellmouth",
          .name = "Вход через плавный коллектор со стеной",
          .family = FittingFamily::EntryExit,
          .source = "Идельчик, плавный вход (коллектор) в торцевой стенке",
          .referenceVelocity = AtEntry,
          .parameters = {RoundingRadius()}},
         RoundedEntryWall},
        {{.id = "entry-bellmouth-free",
          .name = "Вход через плавный коллектор без стены",
          .family = FittingFamily::EntryExit,
          .source = "SMACNA HVAC Systems Duct Design, фитинг A12B",
          .referenceVelocity = AtEntry,
          .parameters = {RoundingRadius()}},
         RoundedEntryFree},
        {{.id = "entry-conical",
          .name = "Вход через конический коллектор со стеной",
          .family = FittingFamily::EntryExit,
          .source = "Идельчик, диаграмма 3-6",
          .referenceVelocity = AtEntry,
          .parameters = {ConeAngleParameter(), ConeLength(0.6)}},
         ConicalEntryWall},
        {{.id = "entry-conical-free",
          .name = "Вход через конический коллектор без стены",
          .family = FittingFamily::EntryExit,
          .source = "SMACNA HVAC Systems Duct Design, фитинг A12D",
          .referenceVelocity = AtEntry,
          .parameters = {ConeAngleParameter(), ConeLength(1.0)}},
         ConicalEntryFree},
        {{.id = "exit-free",
          .name = "Выход в атмосферу или помещение",
          .family = FittingFamily::EntryExit,
          .source = "Потеря всего скоростного давления; SMACNA, фитинг A13J",
          .referenceVelocity = AtExit},
         [](const Arguments&) { return 1.0; }},
        {{.id = "exit-grille",
          .name = "Выход через решётку или перфорированный лист",
          .family = FittingFamily::EntryExit,
          .source = "Оценка по Идельчику, диаграмма 4-14: сжатие струи и потеря её энергии",
          .note = "Выведено, а не взято из справочника; предпочтителен ζ изготовителя решётки",
          .referenceVelocity = AheadOfGrille,
          .parameters = {FreeArea(), SectionArea()}},
         PlateExit},
        {{.id = "grille",
          .name = "Решётка или перфорированный лист в воздуховоде",
          .family = FittingFamily::Grille,
          .source = "Идельчик, диаграмма 4-14 (тонкая решётка с острыми кромками)",
          .note = "Re в отверстиях ≥ 10⁵; ζ изготовителя проверьте, к какой площади он отнесён",
          .referenceVelocity = AheadOfGrille,
          .parameters = {FreeArea(), SectionArea()}},
         Plate},
        {{.id = "louvre",
          .name = "Жалюзийная решётка (оценка)",
          .family = FittingFamily::Grille,
          .source = "Оценка по Идельчику, диаграмма 4-14, по живому сечению жалюзи",
          .note = "Данных по углу лопаток нет; предпочтителен ζ изготовителя",
          .referenceVelocity = AheadOfGrille,
          .parameters = {FreeArea(), SectionArea()}},
         Plate},
    };
}

} // namespace kalvor::fittings
