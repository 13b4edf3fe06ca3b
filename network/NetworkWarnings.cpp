// Warnings about a computed network: implausible sums of ζ and tees whose flow share disagrees
// with the network's own flows.
#include "network/NetworkWarnings.h"

#include "common/NumberText.h"

#include <cmath>

namespace kalvor {

namespace {

// The flow share a tee's fitting in a section stands for: the section is its branch (q is its
// share), or its straight passage (q is the share of the rest); nullopt for other fittings.
std::optional<bool> TeeOnBranch(const std::string& type) {
    if (type == "tee-supply-branch" || type == "tee-exhaust-branch") {
        return true;
    }
    if (type == "tee-supply-straight" || type == "tee-exhaust-straight") {
        return false;
    }
    return std::nullopt;
}

std::string Share(double value) {
    return FormatNumber(std::round(value * 1000.0) / 1000.0, '.');
}

} // namespace

std::vector<std::string> NetworkWarnings(const Network& network, const NetworkResults& results) {
    std::vector<std::string> lines;
    const std::vector<NetworkSection>& sections = network.sections;
    if (results.sections.size() != sections.size()) {
        return lines;
    }
    const NetworkTree& tree = results.tree;
    if (tree.parent.size() != sections.size()) {
        return lines;
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const NetworkSection& section = sections[i];
        const std::string name = "уч. " + Excerpt(section.id);
        if (const std::string warning = ZetaSumWarning(results.sections[i].kms); !warning.empty()) {
            lines.push_back(name + ": " + warning);
        }
        const std::size_t parent = tree.parent[i];
        if (parent == NoSection || !(results.sections[parent].flow > 0.0)) {
            continue; // no branching, or no air to share
        }
        const double own = results.sections[i].flow / results.sections[parent].flow;
        for (std::size_t f = 0; f < section.fittings.size(); ++f) {
            const FittingUse& use = section.fittings[f];
            const std::optional<bool> onBranch = TeeOnBranch(use.type);
            const FittingType* type = FindFittingType(use.type);
            const FittingParameter* q = type != nullptr ? type->Find("q") : nullptr;
            if (!onBranch || q == nullptr) {
                continue;
            }
            const auto given = use.parameters.find("q");
            const double typed = given != use.parameters.end() ? given->second : q->defaultValue;
            const double expected = *onBranch ? own : 1.0 - own;
            if (std::fabs(typed - expected) > TeeShareTolerance * expected) {
                lines.push_back(name + ", " + FittingPlaceText(f + 1, "q") + ": q = " +
                                MessageNumber(typed) + ", а по расходам сети " + Share(expected) +
                                " (расход участка " + MessageNumber(results.sections[i].flow) +
                                " из " + MessageNumber(results.sections[parent].flow) + " м³/ч)");
            }
        }
    }
    return lines;
}

} // namespace kalvor
