// What the family files share: table interpolation, parameter descriptions, checked arguments.
#pragma once

#include "fittings/Fittings.h"

#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor::fittings {

// Piecewise-linear interpolation over increasing xs; outside them the end value is held.
double Linear(double x, std::span<const double> xs, std::span<const double> ys);

// Bilinear interpolation: table holds one row of xs.size() values for each of ys, row after row;
// held at the ends in both directions.
double Bilinear(double x, double y, std::span<const double> xs, std::span<const double> ys,
                std::span<const double> table);

// ζ referred to the velocity v_reference, put on a section of velocity v_section:
// ζ·(v_reference/v_section)²; for the same flow the ratio is F_section/F_reference.
inline double Rereferred(double zeta, double velocityRatio) {
    return zeta * velocityRatio * velocityRatio;
}

// Builds a FittingParameter line by line: Param("angle", "Угол поворота δ", "°",
// 90).Above(0).To(180).
class Param {
public:
    Param(std::string id, std::string label, std::string unit, double defaultValue);
    Param& From(double min);  // accepted from min on, min included
    Param& Above(double min); // accepted above min, min refused
    Param& To(double max);    // accepted up to max, max included
    Param& Below(double max); // accepted below max, max refused
    Param& Clamp(double min, double max);
    Param& Optional();
    Param& Choices(std::initializer_list<std::string> names); // whole numbers from the minimum on
    operator FittingParameter() const { return m_parameter; }

private:
    FittingParameter m_parameter;
};

// A parameter's value as given (and accepted) and as used, clamped to the table's range.
struct ArgumentValue {
    double given;
    double used;
};

// The parameters of one fitting after their checks: each present, accepted and clamped.
class Arguments {
public:
    Arguments(const FittingType& type, std::map<std::string, ArgumentValue, std::less<>> values)
        : m_type(type)
        , m_values(std::move(values)) {}
    // The value clamped to the table's range, for the look-ups.
    double operator[](std::string_view id) const { return Value(id).used; }
    // The value as given, for what does not come from a table (the areas of a conversion).
    double Given(std::string_view id) const { return Value(id).given; }
    int Whole(std::string_view id) const { return static_cast<int>((*this)[id]); }
    // Refuses the parameter's value with a range that holds only together with other values.
    [[noreturn]] void Refuse(std::string_view id, const FittingRange& range,
                             std::string_view condition) const;

private:
    const ArgumentValue& Value(std::string_view id) const;
    const FittingType& m_type;
    std::map<std::string, ArgumentValue, std::less<>> m_values;
};

using ZetaFunction = double (*)(const Arguments&);

struct FittingDefinition {
    FittingType type;
    ZetaFunction zeta;
};

// The message of a value refused by a range, with the type's name and id in front.
FittingError RangeRefusal(const FittingType& type, const FittingParameter& parameter, double value,
                          const FittingRange& range, std::string_view condition);

// A number as the messages write it: up to 6 significant digits, decimal comma.
std::string MessageNumber(double value);

// A number's text with its unit: "180°", "12,5 м/с", "0,5" for a ratio.
std::string WithUnit(std::string text, const std::string& unit);

// The types of each family file, in the order the registry lists them.
std::vector<FittingDefinition> ElbowFittings();
std::vector<FittingDefinition> TransitionFittings();
std::vector<FittingDefinition> TeeFittings();
std::vector<FittingDefinition> OpeningFittings();
std::vector<FittingDefinition> DamperAndCapFittings();
std::vector<FittingDefinition> DiaphragmFittings();

} // namespace kalvor::fittings
