// Sizes as the windows show and take them: metres inside, millimetres or metres on screen, two
// sides joined by "*" in the stored side order.
#pragma once

#include <string>

namespace kalvor {

// A size in metres as it is shown: multiplied by 1000 in millimetres.
double ShownSize(double metres, bool millimetres);

// A shown or typed size back in metres: divided by 1000 in millimetres.
double SizeInMetres(double shown, bool millimetres);

// The number text of a size in metres, in the shown units.
std::string SizeNumberText(double metres, bool millimetres, char decimalSeparator);

// A two-sided size text: the first side, "*", the second, without blanks.
std::string SizePairText(double first, double second, bool millimetres, char decimalSeparator);

// A catalogue row's size text in the stored side order: A first, or B first when secondFirst.
std::string CatalogueSizeText(double A, double B, bool secondFirst, bool millimetres,
                              char decimalSeparator);

} // namespace kalvor
