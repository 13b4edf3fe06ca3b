// What the network window takes from the main window: one section as the calculator holds it.
#pragma once

#include "fittings/Fittings.h"
#include "hydraulics/Formulas.h"

#include <optional>
#include <vector>

namespace kalvor {

// One shape's size and material in the calculator.
struct CalculatorDuct {
    bool sized = false; // the size box holds a size
    double A = 0.0;     // mm: the width (a flat oval's overall width) or the diameter
    double B = 0.0;     // mm: the height; 0 for round
    int material = 0;   // index of the shape's material list
};

// The calculator's inputs for one section, with the size and material of each shape.
struct CalculatorSection {
    double Q = 0.0;   // m3/h
    double l = 0.0;   // m
    double KMS = 0.0; // the sum of local resistance coefficients
    // The fittings KMS was taken from with "Подбор КМС", while the box still holds their sum
    // (rounded to its two decimals); empty when KMS was typed.
    std::vector<FittingUse> fittings;
    CalculatorDuct rectangular, flatOval, round;
    // The air state of the settings window: temperature, °C, and barometric pressure, hPa;
    // nullopt where its field holds no number.
    std::optional<double> t, PBar;

    const CalculatorDuct& duct(DuctShape shape) const {
        return shape == DuctShape::Rectangular ? rectangular
               : shape == DuctShape::FlatOval  ? flatOval
                                               : round;
    }
};

class CalculatorSource {
public:
    // The inputs as the boxes hold them now; a size box without a size gives sized false.
    virtual CalculatorSection calculatorSection() = 0;

protected:
    ~CalculatorSource() = default;
};

} // namespace kalvor
