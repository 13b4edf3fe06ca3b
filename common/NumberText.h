// Number text: how every number is shown in a window and read back from what the user typed.
#pragma once

#include <string>
#include <string_view>

namespace kalvor {

// The general decimal format: at most 15 significant digits, trailing zeros dropped, no digit
// grouping, a leading "-" for a negative value; scientific form below 0.00001 or from 1E15 on.
std::string FormatNumber(double value, char decimalSeparator);

// A decimal number with the given separator, an optional sign and exponent, blanks around it.
// Throws ConversionError "'<text>' is not a valid floating point value".
double ParseNumber(std::string_view text, char decimalSeparator);

// A decimal whole number, optionally signed, within 32 bits.
// Throws ConversionError "'<text>' is not a valid integer value".
int ParseInteger(std::string_view text);

// A number in messages: the number text with "." as separator.
std::string MessageNumber(double value);

// Millimetres from metres, as their number text reads back: 0.3 m gives 300, not
// 300.00000000004, so that a size taken from metres computes exactly as the same size typed.
double MetresToMillimetres(double metres);

// Rounds to 2 or 3 decimals: divide by 0.01 or 0.001, round to the nearest integer with halves
// going to the even one, multiply back.
double RoundTo(double value, int decimals);

} // namespace kalvor
