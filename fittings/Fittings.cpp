// The registry of fitting types, the checks of their parameters, ζ of a fitting and of a list.
#include "fittings/Fittings.h"

#include "fittings/FittingCatalogue.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace kalvor {

using fittings::FittingDefinition;

namespace {

struct Registry {
    std::vector<FittingDefinition> definitions;
    std::vector<FittingType> types;
};

const Registry& TheRegistry() {
    static const Registry registry = [] {
        Registry made;
        for (auto part : {fittings::ElbowFittings, fittings::TransitionFittings,
                          fittings::TeeFittings, fittings::OpeningFittings,
                          fittings::DiaphragmFittings, fittings::DamperAndCapFittings}) {
            for (auto& definition : part()) {
                made.definitions.push_back(std::move(definition));
            }
        }
        std::set<std::string> ids;
        for (const auto& definition : made.definitions) {
            if (!ids.insert(definition.type.id).second) {
                throw std::logic_error("fitting type declared twice: " + definition.type.id);
            }
            made.types.push_back(definition.type);
        }
        return made;
    }();
    return registry;
}

const FittingDefinition& DefinitionOf(std::string_view typeId) {
    for (const auto& definition : TheRegistry().definitions) {
        if (definition.type.id == typeId) {
            return definition;
        }
    }
    throw FittingError("Неизвестный тип местного сопротивления «" + std::string(typeId) + "»",
                       std::string(typeId), "");
}

std::string Prefix(const FittingType& type) {
    return type.name + " (" + type.id + "): ";
}

std::string Named(const FittingParameter& parameter) {
    return "параметр «" + parameter.label + "» " + parameter.id;
}

} // namespace

const std::vector<FittingFamily>& FittingFamilies() {
    static const std::vector<FittingFamily> families = {
        FittingFamily::RoundElbow, FittingFamily::RectElbow, FittingFamily::SuddenChange,
        FittingFamily::Transition, FittingFamily::Tee,       FittingFamily::EntryExit,
        FittingFamily::Grille,     FittingFamily::Damper,    FittingFamily::Cap,
    };
    return families;
}

std::string_view FittingFamilyName(FittingFamily family) {
    switch (family) {
    case FittingFamily::RoundElbow:
        return "Отводы и колена круглые";
    case FittingFamily::RectElbow:
        return "Отводы и колена прямоугольные";
    case FittingFamily::SuddenChange:
        return "Внезапное расширение и сужение";
    case FittingFamily::Transition:
        return "Диффузоры и конфузоры";
    case FittingFamily::Tee:
        return "Тройники";
    case FittingFamily::EntryExit:
        return "Входы и выходы";
    case FittingFamily::Grille:
        return "Решётки";
    case FittingFamily::Damper:
        return "Клапаны";
    case FittingFamily::Cap:
        return "Зонты и экраны";
    }
    return "";
}

bool FittingRange::Contains(double value) const {
    const bool aboveMin = minIncluded ? value >= min : value > min;
    const bool belowMax = maxIncluded ? value <= max : value < max;
    return aboveMin && belowMax;
}

const FittingParameter* FittingType::Find(std::string_view parameterId) const {
    for (const auto& parameter : parameters) {
        if (parameter.id == parameterId) {
            return &parameter;
        }
    }
    return nullptr;
}

const std::vector<FittingType>& FittingTypes() {
    return TheRegistry().types;
}

const FittingType* FindFittingType(std::string_view typeId) {
    for (const auto& type : FittingTypes()) {
        if (type.id == typeId) {
            return &type;
        }
    }
    return nullptr;
}

FittingParameters DefaultFittingParameters(const FittingType& type) {
    FittingParameters values;
    for (const auto& parameter : type.parameters) {
        values[parameter.id] = parameter.defaultValue;
    }
    return values;
}

FittingError::FittingError(std::string detail_, std::string typeId_, std::string parameter_,
                           std::size_t position_)
    : Error(position_ == 0
                ? detail_
                : "Местное сопротивление № " + std::to_string(position_) + ": " + detail_)
    , detail(std::move(detail_))
    , typeId(std::move(typeId_))
    , parameter(std::move(parameter_))
    , position(position_) {}

FittingError FittingError::At(std::size_t place) const {
    return FittingError(detail, typeId, parameter, place);
}

std::string FittingSymbol(const FittingParameter& parameter) {
    const std::string label = parameter.label.substr(0, parameter.label.find(" ("));
    const std::size_t blank = label.rfind(' ');
    const std::string last = blank == std::string::npos ? label : label.substr(blank + 1);
    // Cyrillic letters are two bytes from 0xD0 to 0xD3: a word of them is no symbol.
    const bool cyrillic = std::any_of(last.begin(), last.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0xD0 && byte <= 0xD3;
    });
    return cyrillic || last.empty() ? parameter.label : last;
}

std::string FittingRangeText(const FittingParameter& given, std::string_view name) {
    FittingParameter parameter = given;
    if (!name.empty()) {
        parameter.id = std::string(name);
    }
    const FittingRange& range = parameter.accepted;
    const bool hasMin = std::isfinite(range.min);
    const bool hasMax = std::isfinite(range.max);
    std::string text;
    if (hasMin && hasMax) {
        text = fittings::MessageNumber(range.min) + (range.minIncluded ? " ≤ " : " < ") +
               parameter.id + (range.maxIncluded ? " ≤ " : " < ") +
               fittings::MessageNumber(range.max);
    } else if (hasMin) {
        text =
            parameter.id + (range.minIncluded ? " ≥ " : " > ") + fittings::MessageNumber(range.min);
    } else if (hasMax) {
        text =
            parameter.id + (range.maxIncluded ? " ≤ " : " < ") + fittings::MessageNumber(range.max);
    } else {
        return parameter.id + " — любое число";
    }
    return fittings::WithUnit(std::move(text), parameter.unit);
}

double CheckFittingParameter(const FittingType& type, const FittingParameter& parameter,
                             double value) {
    if (!std::isfinite(value)) {
        throw FittingError(Prefix(type) + Named(parameter) + " должен быть конечным числом",
                           type.id, parameter.id);
    }
    if (!parameter.choices.empty()) {
        if (value != std::floor(value) || !parameter.accepted.Contains(value)) {
            std::string allowed;
            for (std::size_t i = 0; i < parameter.choices.size(); ++i) {
                allowed += (i == 0 ? "" : ", ") +
                           fittings::MessageNumber(parameter.accepted.min + static_cast<double>(i));
            }
            throw FittingError(Prefix(type) + Named(parameter) + " = " +
                                   fittings::MessageNumber(value) + " не из допустимых значений " +
                                   allowed,
                               type.id, parameter.id);
        }
        return value;
    }
    if (!parameter.accepted.Contains(value)) {
        throw fittings::RangeRefusal(type, parameter, value, parameter.accepted, "");
    }
    return std::clamp(value, parameter.clampMin, parameter.clampMax);
}

FittingEvaluation EvaluateFitting(std::string_view typeId, const FittingParameters& parameters) {
    const FittingDefinition& definition = DefinitionOf(typeId);
    const FittingType& type = definition.type;
    for (const auto& given : parameters) {
        if (type.Find(given.first) == nullptr) {
            throw FittingError(Prefix(type) + "неизвестный параметр «" + given.first + "»", type.id,
                               given.first);
        }
    }
    FittingEvaluation evaluation;
    std::map<std::string, fittings::ArgumentValue, std::less<>> values;
    for (const auto& parameter : type.parameters) {
        const auto given = parameters.find(parameter.id);
        if (given == parameters.end() && !parameter.optional) {
            throw FittingError(Prefix(type) + "не задан " + Named(parameter), type.id,
                               parameter.id);
        }
        const double value = given == parameters.end() ? parameter.defaultValue : given->second;
        const double used = CheckFittingParameter(type, parameter, value);
        if (used != value) {
            evaluation.clamped.push_back(parameter.id);
        }
        values[parameter.id] = {value, used};
    }
    evaluation.zeta = definition.zeta(fittings::Arguments(type, std::move(values)));
    if (!std::isfinite(evaluation.zeta)) {
        // Every value is in its range, yet together they overflow: the one farthest from the
        // ordinary magnitude of a ratio or an angle is named.
        const FittingParameter* named = nullptr;
        double farthest = -1;
        for (const auto& parameter : type.parameters) {
            const auto given = parameters.find(parameter.id);
            const double value = given == parameters.end() ? parameter.defaultValue : given->second;
            const double distance = value == 0 ? 0 : std::fabs(std::log10(std::fabs(value)));
            if (distance > farthest) {
                farthest = distance;
                named = &parameter;
            }
        }
        const std::string parameter = named != nullptr ? named->id : std::string();
        throw FittingError(Prefix(type) + "ζ не вычислить: при таких значениях" +
                               (named != nullptr ? " (" + Named(*named) + ")" : std::string()) +
                               " он не конечное число",
                           type.id, parameter);
    }
    return evaluation;
}

double FittingZeta(std::string_view typeId, const FittingParameters& parameters) {
    return EvaluateFitting(typeId, parameters).zeta;
}

double FittingsZetaSum(const std::vector<FittingUse>& fittings) {
    double sum = 0;
    for (std::size_t i = 0; i < fittings.size(); ++i) {
        const FittingUse& use = fittings[i];
        try {
            const double zeta = FittingZeta(use.type, use.parameters);
            if (!std::isfinite(use.count) || use.count < 1 || use.count != std::floor(use.count)) {
                const FittingType& type = *FindFittingType(use.type);
                throw FittingError(Prefix(type) +
                                       "количество count = " + fittings::MessageNumber(use.count) +
                                       " должно быть целым числом не меньше 1",
                                   type.id, "count");
            }
            if (use.count > MaxFittingCount) {
                const FittingType& type = *FindFittingType(use.type);
                throw FittingError(
                    Prefix(type) + "количество count = " + fittings::MessageNumber(use.count) +
                        " больше " + std::to_string(static_cast<long>(MaxFittingCount)),
                    type.id, "count");
            }
            sum += use.count * zeta;
            if (!std::isfinite(sum)) {
                const FittingType& type = *FindFittingType(use.type);
                throw FittingError(Prefix(type) + "Σ количество·ζ не конечное число", type.id,
                                   "count");
            }
        } catch (const FittingError& error) {
            throw error.At(i + 1);
        }
    }
    return sum;
}

std::string ZetaSumWarning(double sum) {
    if (sum < MinPlausibleZetaSum) {
        return "Σζ = " + fittings::MessageNumber(sum) +
               " меньше 0: проверьте местные сопротивления и их параметры";
    }
    if (sum > MaxPlausibleZetaSum) {
        return "Σζ = " + fittings::MessageNumber(sum) +
               " больше 100: проверьте местные сопротивления и их параметры";
    }
    return {};
}

} // namespace kalvor
