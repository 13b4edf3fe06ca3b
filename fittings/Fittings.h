// Local resistance coefficients (ζ, КМС) of duct fittings: the registry of fitting types and ζ.
#pragma once

#include "common/Errors.h"

#include <cstddef>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// Every ζ the library gives is referred to the mean velocity of the duct section the fitting
// stands in: Δp = ζ·ρ·v²/2 with that section's v. Where the handbook refers its coefficient to
// another section (the common leg of a tee, the small side of a transition, the duct ahead of a
// grille), the type takes the area or flow ratios as parameters and converts:
// ζ_section = ζ_handbook·(F_section/F_handbook)².

// The families in which a dialog offers the types, in the order it lists them.
enum class FittingFamily {
    RoundElbow,   // отводы и колена круглые
    RectElbow,    // отводы и колена прямоугольные
    SuddenChange, // внезапное расширение и сужение
    Transition,   // диффузоры и конфузоры
    Tee,          // тройники приточные и вытяжные
    EntryExit,    // входы и выходы
    Grille,       // решётки и перфорированные листы
    Damper,       // клапаны
    Cap,          // зонты и экраны над шахтами
};

// The families in the order above, and the Russian name of each ("Отводы круглые" …).
const std::vector<FittingFamily>& FittingFamilies();
std::string_view FittingFamilyName(FittingFamily family);

inline constexpr double NoLimit = std::numeric_limits<double>::infinity();

// A closed, open or one-sided interval of values.
struct FittingRange {
    double min = -NoLimit;
    double max = NoLimit;
    bool minIncluded = true;
    bool maxIncluded = true;
    bool Contains(double value) const;
};

// A parameter of a fitting type. A value outside `accepted` is refused; an accepted value
// outside clampMin…clampMax (the range of the handbook's table) is taken at the nearer end.
// Where clampMin is at or below accepted.min nothing is clamped at the low end (and likewise at
// the high end).
struct FittingParameter {
    std::string id;    // as in files: "angle", "r_d", "h_b"
    std::string label; // Russian, for a dialog's field: "Угол поворота δ"
    std::string unit;  // "°", "м/с"; empty for a ratio
    FittingRange accepted;
    double clampMin = -NoLimit;
    double clampMax = NoLimit;
    double defaultValue = 0;
    // An optional parameter takes defaultValue when it is not given; a required one must be given.
    bool optional = false;
    // Not empty: the value is a whole number from accepted.min on, value accepted.min + i
    // meaning choices[i] (a dialog shows a list).
    std::vector<std::string> choices;

    bool ClampsBelow() const { return clampMin > accepted.min; }
    bool ClampsAbove() const { return clampMax < accepted.max; }
};

// A fitting type of the registry.
struct FittingType {
    std::string id{};   // stable, lower-case with hyphens: "elbow-round"
    std::string name{}; // Russian: "Отвод круглый гладкий"
    FittingFamily family{};
    std::string source{};            // the handbook and its diagram or table
    std::string note{};              // Russian remarks for the user; may be empty
    std::string referenceVelocity{}; // Russian: which velocity ζ is referred to and how converted
    std::vector<FittingParameter> parameters{};

    const FittingParameter* Find(std::string_view parameterId) const; // nullptr when absent
};

// Every fitting type, by family in the order of FittingFamilies().
const std::vector<FittingType>& FittingTypes();

// The type of that id, or nullptr.
const FittingType* FindFittingType(std::string_view typeId);

// A fitting's parameter values by parameter id.
using FittingParameters = std::map<std::string, double>;

// Every parameter of the type at its default value (what a dialog starts a new fitting with).
FittingParameters DefaultFittingParameters(const FittingType& type);

// A fitting that cannot be used. what() is the full Russian message; the members let a caller
// build its own (a file reader prefixing the section's id, a dialog marking the field).
struct FittingError : Error {
    // what() is the detail, or with a position "Местное сопротивление № 2: <detail>".
    FittingError(std::string detail, std::string typeId, std::string parameter,
                 std::size_t position = 0);
    // The same error as the fitting at `position` (counted from 1) of a list.
    FittingError At(std::size_t position) const;

    std::string detail;      // the message without a place in a list
    std::string typeId;      // the type's id as given
    std::string parameter;   // the parameter's id, "count", or empty for the type itself
    std::size_t position{0}; // the place in a list from 1; 0 when not in a list
};

// The range a parameter accepts as the refusal messages write it: "0 < angle ≤ 180°",
// "r_d ≥ 0,5", "0,1 ≤ f_b ≤ 1" (decimal comma); with a name, that name stands for the parameter's
// id: "0 < δ ≤ 180°".
std::string FittingRangeText(const FittingParameter& parameter, std::string_view name = {});

// The symbol a user knows the parameter by, from its label: "δ" of "Угол поворота δ", "h/b" of
// "Отношение сторон h/b (h поперёк …)"; the label itself where it has none.
std::string FittingSymbol(const FittingParameter& parameter);

// One parameter's value as a computation takes it: the value clamped to the table's range.
// Throws FittingError for a value that is not a finite number, not one of the choices, or
// outside the accepted range; the message names the type, the parameter, its value and the
// range, e.g. "Отвод круглый гладкий (elbow-round): параметр «Относительный радиус R/D»
// r_d = 0,3 вне допустимого диапазона r_d ≥ 0,5". A dialog calls this for each field.
double CheckFittingParameter(const FittingType& type, const FittingParameter& parameter,
                             double value);

struct FittingEvaluation {
    double zeta = 0;                  // referred to the velocity of the fitting's section
    std::vector<std::string> clamped; // ids of the parameters taken at a table's end
};

// ζ of one fitting, referred to the velocity of the section it stands in. Throws FittingError
// for an unknown type, an unknown parameter id, a missing required parameter, and every value
// CheckFittingParameter refuses; also for values that the type refuses together (a segmented
// elbow of 4 or 5 pieces below R/D 0.75) and for values whose ζ is not finite.
FittingEvaluation EvaluateFitting(std::string_view typeId, const FittingParameters& parameters);
double FittingZeta(std::string_view typeId, const FittingParameters& parameters);

// The most fittings of one kind a section's list counts (a dialog's count box holds as many).
inline constexpr double MaxFittingCount = 1'000'000;

// A fitting of a section's list: its type, parameters and how many there are.
struct FittingUse {
    std::string type;
    FittingParameters parameters;
    double count = 1; // a whole number from 1 to MaxFittingCount
    bool operator==(const FittingUse&) const = default;
};

// Σ count·ζ of a section's fittings, each ζ referred to the section's velocity. A fitting that
// cannot be used throws FittingError with its place in the list (position from 1); so does a
// count that is not a whole number from 1 to MaxFittingCount, and a sum that is not finite
// (parameter "count").
double FittingsZetaSum(const std::vector<FittingUse>& fittings);

// A sum of ζ that computes but that no real section has: below 0 or above 100.
inline constexpr double MinPlausibleZetaSum = 0, MaxPlausibleZetaSum = 100;

// The warning about such a sum ("Σζ = -22000000 меньше 0: …"), or "" for a plausible one.
std::string ZetaSumWarning(double sum);

} // namespace kalvor
