// Checked arithmetic: what the formulas divide or raise to a power never yields NaN or infinity.
#pragma once

namespace kalvor {

// a / b; throws FloatError on b == 0 ("Invalid floating point operation" for 0 / 0).
double Divide(double a, double b);

// base raised to a fractional power; throws FloatError for a negative base.
double Power(double base, double exponent);

// Returns value; throws FloatError when an operation has overflowed to infinity or produced NaN.
double Finite(double value);

} // namespace kalvor
