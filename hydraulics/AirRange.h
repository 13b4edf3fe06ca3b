// Where the constant viscosity of the air model holds, and the warning when the air lies outside.
#pragma once

#include <string>

namespace kalvor {

// With the viscosity held at 15·10⁻⁶ m²/s the friction loss R stays within 5 % of that of real
// air between these temperatures, °C.
inline constexpr double ViscosityColdest = -20;
inline constexpr double ViscosityWarmest = 40;

bool AirOutsideViscosityRange(double t);

// The Russian warning for air at t °C outside the range; empty inside it.
std::string AirRangeWarning(double t, char decimalSeparator = '.');

} // namespace kalvor
