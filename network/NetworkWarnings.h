// Figures that compute but that no real duct gives: warnings beside the results, never refusals.
#pragma once

#include "network/Network.h"

#include <string>
#include <vector>

namespace kalvor {

// How far a tee's typed flow share q may stand from the network's own at that branching: 10 % of
// the network's share.
inline constexpr double TeeShareTolerance = 0.10;

// One line per doubtful figure, in file order: a section's Σζ below 0 or above 100; a tee whose
// typed q differs by more than TeeShareTolerance from the share of the flows at its branching
// (for a branch fitting the section's flow over its parent's, for a straight passage the rest).
std::vector<std::string> NetworkWarnings(const Network& network, const NetworkResults& results);

} // namespace kalvor
