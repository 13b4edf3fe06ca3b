// The rows of the window's list of problems.
#include "network/NetworkProblems.h"

#include "common/NumberText.h"
#include "network/NetworkTable.h"

namespace kalvor {

std::vector<NetworkProblem> NetworkProblems(const NetworkResults& results) {
    std::vector<NetworkProblem> problems;
    for (const std::size_t i : results.flagged) {
        problems.push_back({ProblemKind::Imbalance, i});
    }
    for (std::size_t i = 0; i < results.sections.size(); ++i) {
        if (results.sections[i].catalogueShort) {
            problems.push_back({ProblemKind::CatalogueShort, i});
        }
    }
    for (const std::size_t i : results.overVmax) {
        problems.push_back({ProblemKind::OverVmax, i});
    }
    for (const std::size_t i : results.withoutFlow) {
        problems.push_back({ProblemKind::WithoutFlow, i});
    }
    return problems;
}

std::string NetworkProblemText(const Network& network, const NetworkResults& results,
                               const NetworkProblem& problem, char separator) {
    const SectionResult& r = results.sections.at(problem.section);
    std::string text = "Уч. " + network.sections.at(problem.section).id + ": ";
    switch (problem.kind) {
    case ProblemKind::Imbalance:
        return text + "невязка " + FixedNumber(r.imbalance.value_or(0.0), 1, separator) +
               " % выше " + FormatNumber(network.tolerance, separator) + " %";
    case ProblemKind::CatalogueShort:
        return text + "в каталоге нет размера на этот расход, взят наибольший";
    case ProblemKind::OverVmax:
        return text + "скорость " + FixedNumber(r.V, 2, separator) + " > " +
               FormatNumber(r.Vmax, separator) + " м/с";
    case ProblemKind::WithoutFlow:
        return text + "без расхода воздуха";
    }
    return text;
}

} // namespace kalvor
