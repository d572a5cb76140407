// Coefficients of the ammonia equation of state.
//
// Source: R. Tillner-Roth, F. Harms-Watzenberg and H. D. Baehr, "Eine neue
// Fundamentalgleichung fuer Ammoniak", DKV-Tagungsbericht 20(II):167-181
// (1993): critical point 405.40 K, 11.333 MPa and 225 kg/m3, molar mass
// 17.03 kg/kmol. The ideal-gas part is that formulation's
//   ln delta - 15.81502 + 4.255726 tau - ln tau + 11.47433985 tau^(1/3)
//   - 1.296211 tau^(-3/2) + 0.5706757 tau^(-7/4);
// the residual part its 21 terms, stored as one exponential table in groups:
// terms 1-5 without a factor, 6-10 with exp(-delta), 11-17 with
// exp(-delta^2), 18-21 with exp(-delta^3).
#include <array>

#include "properties/helmholtz_ammonia.h"

namespace voq {

namespace {

constexpr std::array<PowerTerm, 3> kPower{{
    {11.47433985L, 1.0L / 3.0L},
    {-1.296211L, -1.5L},
    {0.5706757L, -1.75L},
}};

constexpr std::array<Extended, 21> kN{
    0.04554431L,   0.7238548L,   0.0122947L,     -1.858814L,    2.141882e-11L, -0.0143002L,  0.3441324L,
    -0.2873571L,   2.352589e-5L, -0.03497111L,   0.02397852L,   0.001831117L,  -0.04085375L, 0.2379275L,
    -0.03548972L,  -0.1823729L,  0.02281556L,    -0.006663444L, -0.008847486L, 0.002272635L, -0.0005588655L};
constexpr std::array<int32_t, 21> kD{2, 1, 4, 1, 15, 3, 3, 1, 8, 2, 1, 8, 1, 2, 3, 2, 4, 3, 1, 2, 4};
constexpr std::array<Extended, 21> kT{-0.5L, 0.5L, 1, 1.5L, 3, 0,  3,  4,  4,    5,  3,
                                      5,     6,    8, 8,    10, 10, 5, 7.5L, 15, 30};
constexpr std::array<int32_t, 4> kGroupEnds{5, 10, 17, 21};

}  // namespace

const TIdealGasPart AmmoniaIdealGasPart{-15.81502L, 4.255726L, -1, {}, kPower, {}, {}};

const TResidualPart AmmoniaResidualPart{
    {},
    {},
    {kN, kD, kT, {}, kGroupEnds},
    {},
    {},
};

}  // namespace voq
