// Coefficients of the oxygen equation of state.
//
// Source: R. Schmidt and W. Wagner, "A New Form of the Equation of State for
// Pure Substances and its Application to Oxygen", Fluid Phase Equilibria
// 19:175-200 (1985): critical point 154.581 K, 5.043 MPa and 436.14 kg/m3,
// molar mass 31.9988 kg/kmol, gas constant 8.31434 J/mol-K. The ideal-gas part
// is that formulation's cp0 integrated into reduced Helmholtz form
// (Planck-Einstein temperature 2242.45 K = 14.506634062401 TCrit); the
// residual part its 32 terms in one list, the first 13 without an
// exponential factor.
#include <array>

#include "properties/helmholtz_oxygen.h"

namespace voq {

namespace {

constexpr std::array<PlanckEinsteinTerm, 1> kPlanckEinstein{{{1.01258L, 14.506634062401L}}};
constexpr std::array<PowerTerm, 2> kPower{{
    {-7.4077505597521e-4L, 1.5L},
    {-6.6493012875835e-5L, -2},
}};

// n delta^d tau^t exp(-delta^l), l = 0: no factor.
constexpr std::array<Extended, 32> kN{
    0.3983768749L,    -1.846157454L,    0.4183473197L,    0.02370620711L,  0.09771730573L,    0.03017891294L,
    0.02273353212L,   0.01357254086L,   -0.04052698943L,  0.0005454628515L, 0.0005113182277L, 2.953466883e-7L,
    -8.687645072e-5L, -0.2127082589L,   0.08735941958L,   0.127550919L,    -0.09067701064L,   -0.03540084206L,
    -0.03623278059L,  0.0132769929L,    -0.0003254111865L, -0.008313582932L, 0.002124570559L, -0.0008325206232L,
    -2.626173276e-5L, 0.002599581482L,  0.009984649663L,  0.002199923153L, -0.02591350486L,   -0.1259630848L,
    0.1478355637L,    -0.01011251078L};
constexpr std::array<int32_t, 32> kD{1, 1, 1, 2, 2, 2, 3, 3, 3, 6, 7, 7, 8, 1, 1, 2,
                                     2, 3, 3, 5, 6, 7, 8, 10, 2, 3, 3, 4, 4, 5, 5, 5};
constexpr std::array<Extended, 32> kT{0,  1.5L, 2.5L, -0.5L, 1.5L, 2,    0,  1,    2.5L, 0,  2,
                                      5,  2,    5,    6,     3.5L, 5.5L, 3,  7,    6,    8.5L, 4,
                                      6.5L, 5.5L, 22, 11,    18,   11,   23, 17,   18,   23};
constexpr std::array<int32_t, 32> kL{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 2,
                                     2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4, 4};

}  // namespace

const TIdealGasPart OxygenIdealGasPart{9.95768889L, -6.75959023L, 2.50042L, kPlanckEinstein, kPower, {}, {}};

const TResidualPart OxygenResidualPart{
    {},
    {},
    {kN, kD, kT, kL, {}},
    {},
    {},
};

}  // namespace voq
