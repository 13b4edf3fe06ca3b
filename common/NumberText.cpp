// Number text: formatting in the general format and strict parsing with the locale's separator.
#include "common/NumberText.h"

#include "common/Errors.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace kalvor {

std::string FormatNumber(double value, char decimalSeparator) {
    if (value == 0.0 || std::isnan(value)) {
        return "0";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    // 15 significant digits, rounded to nearest: d.dddddddddddddde[+-]x
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 14);
    std::string scientific(buffer, end);
    std::size_t ePos = scientific.find('e');
    int exponent = std::atoi(scientific.c_str() + ePos + 1);
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i) {
        if (scientific[i] != '.') {
            digits += scientific[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    std::string text = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        text += digits[0];
        if (digits.size() > 1) {
            text += decimalSeparator;
            text.append(digits, 1);
        }
        text += 'E';
        if (exponent < 0) {
            text += '-';
        }
        text += std::to_string(std::abs(exponent));
    } else if (exponent >= 0) {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits;
            text.append(integerDigits - digits.size(), '0');
        } else {
            text.append(digits, 0, integerDigits);
            text += decimalSeparator;
            text.append(digits, integerDigits);
        }
    } else {
        text += '0';
        text += decimalSeparator;
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

double ParseNumber(std::string_view text, char decimalSeparator) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto fail = [&]() { return ConversionError::Float(text); };

    while (i < n && text[i] == ' ') {
        ++i;
    }
    std::string normal;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            normal += '-';
        }
        ++i;
    }
    std::size_t mantissaDigits = 0;
    std::string integerPart;
    while (i < n && IsDigit(text[i])) {
        integerPart += text[i++];
    }
    mantissaDigits += integerPart.size();
    std::string fractionPart;
    if (i < n && text[i] == decimalSeparator) {
        ++i;
        while (i < n && IsDigit(text[i])) {
            fractionPart += text[i++];
        }
        mantissaDigits += fractionPart.size();
    }
    if (mantissaDigits == 0) {
        throw fail();
    }
    normal += integerPart.empty() ? "0" : integerPart;
    if (!fractionPart.empty()) {
        normal += '.';
        normal += fractionPart;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        normal += 'e';
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            normal += text[i++];
        }
        std::size_t exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            normal += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            throw fail();
        }
    }
    while (i < n && text[i] == ' ') {
        ++i;
    }
    if (i != n) {
        throw fail();
    }

    double value = 0.0;
    auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a number the system can hold. The sign of
        // the decimal exponent tells the two apart: tiny values carry a large negative one.
        const std::size_t ePos = normal.find('e');
        const bool negativeExponent =
            ePos != std::string::npos && ePos + 1 < normal.size() && normal[ePos + 1] == '-';
        if (negativeExponent) {
            return 0.0;
        }
        throw fail();
    }
    if (ec != std::errc() || ptr != normal.data() + normal.size() || !std::isfinite(value)) {
        throw fail();
    }
    return value;
}

int ParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        throw ConversionError::Integer(text);
    }
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) {
            throw ConversionError::Integer(text);
        }
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) {
            throw ConversionError::Integer(text);
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        throw ConversionError::Integer(text);
    }
    return static_cast<int>(value);
}

double RoundTo(double value, int decimals) {
    double factor = 1.0;
    switch (decimals) {
    case 2:
        factor = 0.01;
        break;
    case 3:
        factor = 0.001;
        break;
    default:
        factor = std::pow(10.0, -decimals);
        break;
    }
    // nearbyint rounds in the current mode, to nearest with halves to even.
    return std::nearbyint(value / factor) * factor;
}

} // namespace kalvor
