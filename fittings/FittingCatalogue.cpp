// Table interpolation, the parameter builder, checked arguments and the range refusal message.
#include "fittings/FittingCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <stdexcept>

namespace kalvor::fittings {

double Linear(double x, std::span<const double> xs, std::span<const double> ys) {
    if (x <= xs.front()) {
        return ys.front();
    }
    if (x >= xs.back()) {
        return ys.back();
    }
    const auto upper = std::upper_bound(xs.begin(), xs.end(), x);
    const auto i = static_cast<std::size_t>(std::distance(xs.begin(), upper));
    const double t = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
    return ys[i - 1] + t * (ys[i] - ys[i - 1]);
}

double Bilinear(double x, double y, std::span<const double> xs, std::span<const double> ys,
                std::span<const double> table) {
    std::vector<double> column;
    column.reserve(ys.size());
    for (std::size_t row = 0; row < ys.size(); ++row) {
        column.push_back(Linear(x, xs, table.subspan(row * xs.size(), xs.size())));
    }
    return Linear(y, ys, column);
}

Param::Param(std::string id, std::string label, std::string unit, double defaultValue) {
    m_parameter.id = std::move(id);
    m_parameter.label = std::move(label);
    m_parameter.unit = std::move(unit);
    m_parameter.defaultValue = defaultValue;
}

Param& Param::From(double min) {
    m_parameter.accepted.min = min;
    m_parameter.accepted.minIncluded = true;
    return *this;
}

Param& Param::Above(double min) {
    m_parameter.accepted.min = min;
    m_parameter.accepted.minIncluded = false;
    return *this;
}

Param& Param::To(double max) {
    m_parameter.accepted.max = max;
    m_parameter.accepted.maxIncluded = true;
    return *this;
}

Param& Param::Below(double max) {
    m_parameter.accepted.max = max;
    m_parameter.accepted.maxIncluded = false;
    return *this;
}

Param& Param::Clamp(double min, double max) {
    m_parameter.clampMin = min;
    m_parameter.clampMax = max;
    return *this;
}

Param& Param::Optional() {
    m_parameter.optional = true;
    return *this;
}

Param& Param::Choices(std::initializer_list<std::string> names) {
    m_parameter.choices.assign(names);
    m_parameter.accepted.max =
        m_parameter.accepted.min + static_cast<double>(m_parameter.choices.size()) - 1;
    m_parameter.accepted.maxIncluded = true;
    return *this;
}

const ArgumentValue& Arguments::Value(std::string_view id) const {
    const auto found = m_values.find(id);
    if (found == m_values.end()) {
        throw std::logic_error("fitting parameter not declared: " + std::string(id));
    }
    return found->second;
}

void Arguments::Refuse(std::string_view id, const FittingRange& range,
                       std::string_view condition) const {
    throw RangeRefusal(m_type, *m_type.Find(id), Given(id), range, condition);
}

std::string MessageNumber(double value) {
    if (std::isnan(value)) {
        return "не число";
    }
    if (std::isinf(value)) {
        return value < 0 ? "−∞" : "∞";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    std::string text = buffer;
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string WithUnit(std::string text, const std::string& unit) {
    if (!unit.empty()) {
        text += unit == "°" ? unit : " " + unit;
    }
    return text;
}

FittingError RangeRefusal(const FittingType& type, const FittingParameter& parameter, double value,
                          const FittingRange& range, std::string_view condition) {
    FittingParameter shown = parameter;
    shown.accepted = range;
    std::string detail = type.name + " (" + type.id + "): параметр «" + parameter.label + "» " +
                         parameter.id + " = " + WithUnit(MessageNumber(value), parameter.unit);
    detail += " вне допустимого диапазона " + FittingRangeText(shown);
    if (!condition.empty()) {
        detail += " ";
        detail += condition;
    }
    return FittingError(std::move(detail), type.id, parameter.id);
}

} // namespace kalvor::fittings
