// Coefficients of the equation of state of dry air as a pseudo-pure fluid.
//
// Source: E. W. Lemmon, R. T. Jacobsen, S. G. Penoncello and D. G. Friend,
// "Thermodynamic Properties of Air and Mixtures of Nitrogen, Argon, and
// Oxygen From 60 to 2000 K at Pressures to 2000 MPa", J. Phys. Chem. Ref.
// Data 29(3):331-385 (2000): reducing point (the maximum condentherm)
// 132.6312 K, 3.78502 MPa and 10.4477 mol/dm3, molar mass 28.9586 kg/kmol,
// gas constant 8.31451 J/mol-K. Ideal-gas part: its N1..N13 (tables 12 and
// 13 there); residual part: its 19 terms (table 13).
#include <array>

#include "properties/helmholtz_air.h"

namespace voq {

namespace {

// N1..N5 tau^(i-4), then N6 tau^1.5.
constexpr std::array<PowerTerm, 6> kPower{{
    {6.057194e-8L, -3},
    {-2.10274769e-5L, -2},
    {-1.58860716e-4L, -1},
    {-13.841928076L, 0},
    {17.275266575L, 1},
    {-1.9536342e-4L, 1.5L},
}};
// N8 ln(1 - exp(-N11 tau)), N9 ln(1 - exp(-N12 tau)).
constexpr std::array<PlanckEinsteinTerm, 2> kPlanckEinstein{{{0.791309509L, 25.36365L}, {0.212236768L, 16.90741L}}};
// N10 ln(2/3 + exp(N13 tau)).
constexpr std::array<ShiftedLogTerm, 1> kShiftedLog{{{-0.197938904L, 87.31279L}}};

// Terms 1..10: n delta^d tau^t.
constexpr std::array<Extended, 10> kPolyN{0.118160747229L,   0.713116392079L,  -1.61824192067L,  0.0714140178971L,
                                          -0.0865421396646L, 0.134211176704L,  0.0112626704218L, -0.0420533228842L,
                                          0.0349008431982L,  0.000164957183186L};
constexpr std::array<int32_t, 10> kPolyD{1, 1, 1, 2, 3, 3, 4, 4, 4, 6};
constexpr std::array<Extended, 10> kPolyT{0, 0.33L, 1.01L, 0, 0, 0.15L, 0, 0.2L, 0.35L, 1.35L};

// Terms 11..19: n delta^d tau^t exp(-delta^l).
constexpr std::array<Extended, 9> kExpN{-0.101365037912L,  -0.17381369097L,  -0.0472103183731L,
                                        -0.0122523554253L, -0.146629609713L, -0.0316055879821L,
                                        0.000233594806142L, 0.0148287891978L, -0.00938782884667L};
constexpr std::array<int32_t, 9> kExpD{1, 3, 5, 6, 1, 3, 11, 1, 3};
constexpr std::array<Extended, 9> kExpT{1.6L, 0.8L, 0.95L, 1.25L, 3.6L, 6, 3.25L, 3.5L, 15};
constexpr std::array<int32_t, 9> kExpL{1, 1, 1, 1, 2, 2, 2, 3, 3};

}  // namespace

const TIdealGasPart AirIdealGasPart{0, 0, 2.490888032L, kPlanckEinstein, kPower, {}, kShiftedLog};

const TResidualPart AirResidualPart{
    {},
    {kPolyN, kPolyD, kPolyT},
    {kExpN, kExpD, kExpT, kExpL, {}},
    {},
    {},
};

}  // namespace voq
