// Air and friction formulas, evaluated with the constants as written and in the order shown.
#include "hydraulics/Formulas.h"

#include "common/Checked.h"

#include <cmath>

namespace kalvor {

namespace {
// Kinematic viscosity of air, m2/s, independent of the temperature.
double Viscosity() {
    return 15.0 * std::pow(10.0, -6);
}
} // namespace

double AirDensity(double t, double PBar) {
    return Finite(Divide(0.4643 * PBar / 1.33, 273.0 + t) - 0.002);
}

double FlowVelocity(double Q, double F) {
    return Divide(Q, F * 3600.0);
}

double RequiredArea(double Q, double Vmax) {
    return Divide(Q, Vmax * 3600.0);
}

double WallRoughness(DuctShape shape, int materialIndex) {
    switch (materialIndex) {
    case 0:
        return 0.0001; // steel
    case 1:
        return shape == DuctShape::FlatOval ? 0.003 : 0.0028; // flexible
    case 2:
        return 0.004; // brick
    case 3:
        return 0.01; // plastered
    case 4:
        return 0.0015; // slag concrete
    default:
        return 0.0001; // no material chosen: the first entry of every list
    }
}

SectionResults ComputeSection(double Q, double F, double De, double k, double t, double PBar,
                              double l, double KMS) {
    SectionResults r{};
    r.V = FlowVelocity(Q, F);
    r.Re = Divide(Finite(r.V * De), Viscosity());
    r.Ro = AirDensity(t, PBar);
    r.Lyambda = 0.11 * Power(Divide(k, De) + Divide(68.0, r.Re), 0.25);
    r.Pd = Finite(Finite(r.V * r.V) * (0.5 * r.Ro));
    r.R = Divide(Finite(r.Lyambda * r.Pd), De);
    r.P = Finite(r.Pd * KMS + r.R * l);
    return r;
}

} // namespace kalvor
