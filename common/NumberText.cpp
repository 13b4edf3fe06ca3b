// Number text: formatting in the general format and strict parsing with the locale's separator.
#include "common/NumberText.h"

#include "common/Errors.h"

#include <algorithm>
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

namespace {
// Whether a number whose conversion left the double range lies above it rather than below: the
// decimal magnitude of its first significant digit plus its exponent tells.
bool AboveRange(std::string_view mantissa, std::string_view exponent, char separator) {
    long long magnitude = 0;
    const std::size_t point = std::min(mantissa.find(separator), mantissa.size());
    for (std::size_t i = 0; i < mantissa.size(); ++i) {
        if (IsDigit(mantissa[i]) && mantissa[i] != '0') {
            magnitude = i < point ? static_cast<long long>(point - i) - 1
                                  : -static_cast<long long>(i - point);
            break;
        }
    }
    long long power = 0;
    for (char c : exponent) {
        if (IsDigit(c) && power < 1'000'000'000) {
            power = power * 10 + (c - '0');
        }
    }
    if (!exponent.empty() && exponent.front() == '-') {
        power = -power;
    }
    return magnitude + power > 0;
}
} // namespace

double ParseNumber(std::string_view text, char decimalSeparator) {
    auto fail = [&]() { return ConversionError::Float(text); };

    // Blanks around the number are allowed.
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == ' ') {
        ++first;
    }
    while (last > first && text[last - 1] == ' ') {
        --last;
    }
    std::string_view number = text.substr(first, last - first);

    // An optional sign, digits with at most one separator, an optional exponent with digits.
    std::size_t i = 0;
    const std::size_t n = number.size();
    if (i < n && (number[i] == '+' || number[i] == '-')) {
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    std::size_t separatorAt = std::string_view::npos;
    for (; i < n; ++i) {
        if (IsDigit(number[i])) {
            ++digits;
        } else if (number[i] == decimalSeparator && separatorAt == std::string_view::npos) {
            separatorAt = i;
        } else {
            break;
        }
    }
    if (digits == 0) {
        throw fail();
    }
    const std::string_view mantissa = number.substr(mantissaStart, i - mantissaStart);
    std::string_view exponent;
    if (i < n && (number[i] == 'e' || number[i] == 'E')) {
        const std::size_t exponentStart = ++i;
        if (i < n && (number[i] == '+' || number[i] == '-')) {
            ++i;
        }
        const std::size_t exponentDigits = i;
        while (i < n && IsDigit(number[i])) {
            ++i;
        }
        if (i == exponentDigits) {
            throw fail();
        }
        exponent = number.substr(exponentStart, i - exponentStart);
    }
    if (i != n) {
        throw fail();
    }

    // from_chars takes no leading "+" and only "." as the decimal point.
    if (number.front() == '+') {
        number.remove_prefix(1);
    }
    std::string converted;
    if (separatorAt != std::string_view::npos && decimalSeparator != '.') {
        converted.assign(number);
        converted[converted.find(decimalSeparator)] = '.';
        number = converted;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (AboveRange(mantissa, exponent, decimalSeparator)) {
            throw fail(); // too large for the system to hold
        }
        return 0.0; // too small: reads as zero
    }
    if (ec != std::errc() || end != number.data() + number.size()) {
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

std::string MessageNumber(double value) {
    return FormatNumber(value, '.');
}

double MetresToMillimetres(double metres) {
    return ParseNumber(FormatNumber(metres * 1000.0, '.'), '.');
}

} // namespace kalvor
