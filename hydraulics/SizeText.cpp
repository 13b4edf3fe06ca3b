// Sizes between metres and the shown units, and the texts of one- and two-sided sizes.
#include "hydraulics/SizeText.h"

#include "common/NumberText.h"

namespace kalvor {

double ShownSize(double metres, bool millimetres) {
    return millimetres ? metres * 1000.0 : metres;
}

double SizeInMetres(double shown, bool millimetres) {
    return millimetres ? shown / 1000.0 : shown;
}

std::string SizeNumberText(double metres, bool millimetres, char decimalSeparator) {
    return FormatNumber(ShownSize(metres, millimetres), decimalSeparator);
}

std::string SizePairText(double first, double second, bool millimetres, char decimalSeparator) {
    return SizeNumberText(first, millimetres, decimalSeparator) + '*' +
           SizeNumberText(second, millimetres, decimalSeparator);
}

std::string CatalogueSizeText(double A, double B, bool secondFirst, bool millimetres,
                              char decimalSeparator) {
    return secondFirst ? SizePairText(B, A, millimetres, decimalSeparator)
                       : SizePairText(A, B, millimetres, decimalSeparator);
}

} // namespace kalvor
