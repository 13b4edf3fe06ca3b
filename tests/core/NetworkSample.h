// A hand-computed network for the network tests: its file and every figure of its table.
//
// Eight sections from the fan: 1 branches into 3 and 2, 2 into 5, 4 and 8, 5 into 6 and 7 (a branch
// off a branch off a branch); all three shapes, steel and flexible; the files list 3 before 2 and 6
// before 5, so nothing relies on parents coming first. Air t 18 °C, PBar 1000 hPa, tolerance 12 %,
// reserve 15 %. The figures follow the formulas as written (density 0.4643·PBar/1.33/(273+t) −
// 0.002; a flat oval's De = 4F/Per; V = Q/(F·3600); Re = V·De/(15·10⁻⁶); λ = 0.11·(k/De +
// 68/Re)^0.25; Pd = V²·0.5·ρ; R = λ·Pd/De; P = Pd·Σζ + R·l), evaluated apart from the program in
// double precision and kept to 15 significant digits.
#pragma once

#include <optional>
#include <string_view>

namespace kalvor::test {

inline constexpr std::string_view SampleNetworkText = R"({
  "kalvor-network": 1,
  "name": "П1",
  "air": {"t": 18, "PBar": 1000},
  "Vmax": 6, "tolerance": 12, "reserve": 15,
  "sections": [
    {"id": "1", "parent": "", "shape": "rectangular", "size": "800*500", "material": 0, "length": 12.5, "kms": 1.2},
    {"id": "3", "parent": "1", "shape": "round", "size": "315", "material": 1, "length": 20, "kms": 3.5, "flow": 1200},
    {"id": "2", "parent": "1", "shape": "rectangular", "size": "600*400", "material": 0, "length": 8, "kms": 0.6},
    {"id": "6", "parent": "5", "shape": "round", "size": "250", "material": 1, "length": 3.5, "kms": 2.1, "flow": 900},
    {"id": "5", "parent": "2", "shape": "flat-oval", "size": "500*250", "material": 0, "length": 4, "kms": 0.4, "flow": 300},
    {"id": "4", "parent": "2", "shape": "round", "size": "355", "material": 0, "length": 6, "kms": 2.3, "flow": 2000},
    {"id": "7", "parent": "5", "shape": "flat-oval", "size": "400*200", "material": 1, "length": 7, "kms": 1.1, "flow": 1100},
    {"id": "8", "parent": "2", "shape": "rectangular", "size": "300*200", "material": 0, "length": 2, "kms": 0.9, "flow": 600}
  ]
})";

struct SampleRow {
    const char* id;
    double flow, F, De, V, R, Rl, Pd, Z, P, path;
    bool main;
    std::optional<double> imbalance;
};

// In file order.
inline const SampleRow SampleRows[] = {
    {"1", 6100, 0.4, 0.615384615384615, 4.23611111111111, 0.294655270413635, 3.68319088017044,
     10.7456849515735, 12.8948219418882, 16.5780128220586, 16.5780128220586, true, std::nullopt},
    {"3", 1200, 0.0779311327631118, 0.315, 4.27728074153074, 1.19895569590089, 23.9791139180178,
     10.9555687954976, 38.3444907842417, 62.3236047022595, 78.9016175243181, false,
     10.4736882363802},
    {"2", 4900, 0.24, 0.48, 5.6712962962963, 0.685863587366217, 5.48690869892973, 19.2603463590492,
     11.5562078154295, 17.0431165143592, 33.6211293364179, true, std::nullopt},
    {"6", 900, 0.0490873852123405, 0.25, 5.09295817894065, 2.26202621201973, 7.91709174206907,
     15.5324383171462, 32.618120466007, 40.5352122080761, 86.1928595352966, true, std::nullopt},
    {"5", 2300, 0.111587385212341, 0.347246132412086, 5.7254580136737, 1.04613136662521,
     4.18452546650085, 19.6299813107546, 7.85199252430185, 12.0365179908027, 45.6576473272206, true,
     std::nullopt},
    {"4", 2000, 0.0989798035421634, 0.355, 5.61281731902913, 0.981127758025778, 5.88676654815467,
     18.8651921278393, 43.3899418940304, 49.2767084421851, 82.897837778603, false,
     6.26766846787923},
    {"7", 1100, 0.0714159265358979, 0.277796905929669, 4.27853520043551, 1.42628287256124,
     9.98398010792867, 10.9619959285342, 12.0581955213876, 22.0421756293163, 67.6998229565369,
     false, 45.6221531142627},
    {"8", 600, 0.06, 0.24, 2.77777777777778, 0.444834802430036, 0.889669604860072, 4.62055789371609,
     4.15850210434448, 5.04817170920455, 38.6693010456224, false, 90.3975545600129},
};

inline constexpr double SampleDensity = 1.19764860605121;
inline constexpr double SampleMainLoss = 86.1928595352966;
inline constexpr double SampleFanPressure = 99.1217884655911; // with the 15 % reserve

// Equal to 15 significant digits, the precision the figures are kept to.
inline bool Close(double actual, double expected) {
    const double scale = expected < 0 ? -expected : expected;
    const double difference = actual > expected ? actual - expected : expected - actual;
    return difference <= 5e-14 * (scale > 1e-300 ? scale : 1.0);
}

} // namespace kalvor::test
