// Air and friction formulas: density, velocity, Reynolds number, Altshul's friction factor, losses.
#pragma once

namespace kalvor {

enum class DuctShape { Rectangular, FlatOval, Round };

struct SectionResults {
    double V, Re, Ro, Lyambda, Pd, R, P;
};

double AirDensity(double t, double PBar);                 // kg/m3 from degrees Celsius and hPa
double FlowVelocity(double Q, double F);                  // m/s; throws FloatError on F == 0
double RequiredArea(double Q, double Vmax);               // m2; throws FloatError on Vmax == 0
double WallRoughness(DuctShape shape, int materialIndex); // m
SectionResults ComputeSection(double Q, double F, double De, double k, double t, double PBar,
                              double l, double KMS);

} // namespace kalvor
