// The diaphragm (шайба): ζ of a plate with a sharp-edged opening, and the opening for a given ζ.
#pragma once

namespace kalvor {

// ζ on the velocity of the duct the plate stands in (not that of the opening), for the open area
// ratio n = F_opening/F_duct (0 < n ≤ 1) and the plate's thickness over the hydraulic diameter
// of the opening, t/d_h0 (0 for a thin plate … 2.4).
double DiaphragmZeta(double n, double thicknessRatio);

// Where a diaphragm is reasonable: a wider opening leaves a ring below the duct's own tolerance,
// a narrower one makes a noisy jet whose ζ a millimetre of rounding moves by several per cent.
inline constexpr double DiaphragmSmallestRatio = 0.30;
inline constexpr double DiaphragmLargestRatio = 0.90;

enum class DiaphragmDuct {
    Round,       // an opening of diameter d0 in the middle
    Rectangular, // a slot across the whole width, of height h0, closed from one side
};

struct DiaphragmRequest {
    DiaphragmDuct duct = DiaphragmDuct::Round;
    double width = 0;     // mm: the diameter of a round duct, the side the slot spans
    double height = 0;    // mm: the side along which the slot's height is measured
    double thickness = 1; // mm: the plate
};

struct DiaphragmOpening {
    double ratio = 0;   // n that gives the required ζ
    double opening = 0; // mm: d0 or h0 for that n
    int openingMm = 0;  // the opening in whole millimetres, halves up
    double roundedRatio = 0;
    double zeta = 0; // with the rounded opening
};

// The opening whose ζ is the required one, solved for n by bisection, rounded to a whole
// millimetre and computed again. Throws Error, in Russian and saying what to use instead, for a
// ζ a diaphragm between the reasonable area ratios cannot give, and for sizes that are no duct.
DiaphragmOpening DiaphragmForZeta(double zeta, const DiaphragmRequest& request);

} // namespace kalvor
