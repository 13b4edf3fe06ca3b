// How a window asks for a section's fittings without knowing the dialog that shows them.
#pragma once

#include "fittings/Fittings.h"

#include <optional>
#include <vector>

class QWidget;

namespace kalvor {

class FittingsPicker {
public:
    // Shows the fittings of start over owner, modally; typedKms, where given, is the section's
    // Σζ typed by hand, shown beside the fittings' sum. Returns the list the user took with OK
    // (every fitting usable), or nullopt when the user cancelled.
    virtual std::optional<std::vector<FittingUse>>
    pickFittings(QWidget* owner, const std::vector<FittingUse>& start,
                 std::optional<double> typedKms) = 0;

protected:
    ~FittingsPicker() = default;
};

} // namespace kalvor
