// Checked division and power, raising the floating-point errors the user sees.
#include "common/Checked.h"

#include "common/Errors.h"

#include <cmath>

namespace kalvor {

double Finite(double value) {
    if (std::isnan(value)) {
        throw FloatError::InvalidOperation();
    }
    if (std::isinf(value)) {
        throw FloatError::Overflow();
    }
    return value;
}

double Divide(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        throw FloatError::InvalidOperation();
    }
    if (b == 0.0) {
        if (a == 0.0) {
            throw FloatError::InvalidOperation();
        }
        throw FloatError::DivisionByZero();
    }
    return Finite(a / b);
}

double Power(double base, double exponent) {
    if (std::isnan(base) || base < 0.0) {
        throw FloatError::InvalidOperation();
    }
    return Finite(std::pow(base, exponent));
}

} // namespace kalvor
