// The range of air temperatures in which the constant viscosity gives R within 5 %.
#include "hydraulics/AirRange.h"

#include "common/NumberText.h"

namespace kalvor {

bool AirOutsideViscosityRange(double t) {
    return !(t >= ViscosityColdest && t <= ViscosityWarmest);
}

std::string AirRangeWarning(double t, char decimalSeparator) {
    if (!AirOutsideViscosityRange(t)) {
        return {};
    }
    return "Внимание: t = " + FormatNumber(t, decimalSeparator) +
           " °C вне −20…+40 °C. Вязкость воздуха принята постоянной, 15·10⁻⁶ м²/с: удельные "
           "потери на трение R верны в пределах 5 % только от −20 до +40 °C; при −40 °C они "
           "завышены на 5–8 %, для горячих газов 300–600 °C занижены на 17–34 %";
}

} // namespace kalvor
