// The sections the totals name as wrong, one row each, for the window's list of problems.
#pragma once

#include "network/Network.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kalvor {

enum class ProblemKind { Imbalance, CatalogueShort, OverVmax, WithoutFlow };

struct NetworkProblem {
    ProblemKind kind;
    std::size_t section; // in file order
};

// The flagged branches, the sizes the catalogue had none large enough for, the sections faster
// than their Vmax and those without air: each kind in the totals' order, sections in file order.
std::vector<NetworkProblem> NetworkProblems(const NetworkResults& results);

// One row as the list shows it: "Уч. 7: невязка 45.6 % выше 12 %".
std::string NetworkProblemText(const Network& network, const NetworkResults& results,
                               const NetworkProblem& problem, char decimalSeparator = '.');

} // namespace kalvor
