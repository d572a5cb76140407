// Coefficients of the carbon dioxide equation of state and transport
// correlations.
//
// Equation of state: R. Span and W. Wagner, "A New Equation of State for
// Carbon Dioxide Covering the Fluid Region from the Triple-Point Temperature
// to 1100 K at Pressures up to 800 MPa", J. Phys. Chem. Ref. Data
// 25(6):1509-1596 (1996): critical point 304.1282 K, 7.3773 MPa and
// 467.6 kg/m3, molar mass 44.0098 kg/kmol (44.01 here), the ideal-gas part
// of its table 27 and the 42 residual terms of its table 31 (7 polynomial,
// 27 exponential, 5 Gaussian, 3 non-analytic) in its order.
// Viscosity: dilute gas of A. Fenghour, W. A. Wakeham and V. Vesovic,
// J. Phys. Chem. Ref. Data 27(1):31-44 (1998), blended with a liquid
// free-volume form. Conductivity: V. Vesovic, W. A. Wakeham, G. A. Olchowy,
// J. V. Sengers, J. T. R. Watson and J. Millat, J. Phys. Chem. Ref. Data
// 19(3):763-808 (1990).
#include <array>

#include "properties/helmholtz_carbon_dioxide.h"

namespace voq {

namespace {

constexpr std::array<PlanckEinsteinTerm, 5> kPlanckEinstein{{{1.99427042L, 3.15163L},
                                                             {0.62105248L, 6.1119L},
                                                             {0.41195293L, 6.77708L},
                                                             {1.04028922L, 11.32384L},
                                                             {0.08327678L, 27.08792L}}};

// Terms 1..7: n delta^d tau^t.
constexpr std::array<Extended, 7> kPolyN{0.38856823203161L,  2.938547594274L,   -5.5867188534934L, -0.76753199592477L,
                                         0.31729005580416L,  0.54803315897767L, 0.12279411220335L};
constexpr std::array<int32_t, 7> kPolyD{1, 1, 1, 1, 2, 2, 3};
constexpr std::array<Extended, 7> kPolyT{0, 0.75L, 1, 2, 0.75L, 2, 0.75L};

// Terms 8..34: n delta^d tau^t exp(-delta^l).
constexpr std::array<Extended, 27> kExpN{
    2.165896154322L,     1.5841735109724L,    -0.23132705405503L,     0.058116916431436L,   -0.55369137205382L,
    0.48946615909422L,   -0.024275739843501L, 0.062494790501678L,     -0.12175860225246L,   -0.370556852700086L,
    -0.016775879700426L, -0.11960736637987L,  -0.045619362508778L,    0.035612789270346L,   -0.0074427727132052L,
    -0.0017395704902432L, -0.021810121289527L, 0.024332166559236L,    -0.037440133423463L,  0.14338715756878L,
    -0.13491969083286L,  -0.02315122505348L,  0.012363125492901L,     0.002105832197294L,   -0.00033958519026368L,
    0.0055993651771592L, -0.00030335118055646L};
constexpr std::array<int32_t, 27> kExpD{1, 2, 4, 5, 5, 5, 6, 6, 6, 1, 1, 4, 4, 4,
                                        7, 8, 2, 3, 3, 5, 5, 6, 7, 8, 10, 4, 8};
constexpr std::array<Extended, 27> kExpT{1.5L, 1.5L, 2.5L, 0, 1.5L, 2, 0, 1, 2, 3, 6, 3, 6, 8,
                                         6,    0,    7,    12, 16, 22, 24, 16, 24, 8, 2, 28, 14};
constexpr std::array<int32_t, 27> kExpL{1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2,
                                        2, 2, 3, 3, 3, 4, 4, 4, 4, 4, 4, 5, 6};

// Terms 35..39: n delta^d tau^t exp(-alpha (delta - eps)^2 - beta (tau - gamma)^2).
constexpr std::array<Extended, 5> kGaussN{-213.6548868832L, 26641.569149272L, -24027.212204557L, -283.41603423999L,
                                          212.47484400179L};
constexpr std::array<int32_t, 5> kGaussD{2, 2, 2, 3, 3};
constexpr std::array<Extended, 5> kGaussT{1, 0, 1, 3, 3};
constexpr std::array<Extended, 5> kGaussAlpha{25, 25, 25, 15, 20};
constexpr std::array<Extended, 5> kGaussBeta{325, 300, 300, 275, 275};
constexpr std::array<Extended, 5> kGaussGamma{1.16L, 1.19L, 1.19L, 1.25L, 1.22L};
constexpr std::array<Extended, 5> kGaussEpsilon{1, 1, 1, 1, 1};

// Terms 40..42: n Delta^b delta psi.
constexpr std::array<Extended, 3> kNaN{-0.66642276540751L, 0.72608632349897L, 0.055068668612842L};
constexpr std::array<Extended, 3> kNaA{3.5L, 3.5L, 3};
constexpr std::array<Extended, 3> kNaB{0.875L, 0.925L, 0.875L};
constexpr std::array<Extended, 3> kNaBB{0.3L, 0.3L, 1};
constexpr std::array<Extended, 3> kNaC{10, 10, 12.5L};
constexpr std::array<Extended, 3> kNaD{275, 275, 275};
constexpr std::array<Extended, 3> kNaAA{0.7L, 0.7L, 0.7L};
constexpr std::array<Extended, 3> kNaBeta{0.3L, 0.3L, 0.3L};

}  // namespace

const TIdealGasPart CarbonDioxideIdealGasPart{8.37304456L, -3.70454304L, 2.5L, kPlanckEinstein, {}, {}, {}};

const TResidualPart CarbonDioxideResidualPart{
    {},
    {kPolyN, kPolyD, kPolyT},
    {kExpN, kExpD, kExpT, kExpL, {}},
    {kGaussN, kGaussD, kGaussT, kGaussAlpha, kGaussBeta, kGaussGamma, kGaussEpsilon},
    {kNaN, kNaA, kNaB, kNaBB, kNaC, kNaD, kNaAA, kNaBeta},
};

const std::array<Extended, 5> CarbonDioxideViscosityA{0.235156L, -0.491266L, 0.05211155L, 0.05347906L,
                                                       -0.01537102L};
const std::array<Extended, 7> CarbonDioxideViscosityH{0.0036350734L, 7.209997e-5L, 0, 0, 0, 0, 3.00306e-20L};
const std::array<Extended, 5> CarbonDioxideConductivityC{0.02387869L, 4.350794L, -10.33404L, 7.98159L, -1.940558L};
const std::array<Extended, 8> CarbonDioxideConductivityB{0.4226159L, 0.6280115L, -0.5387661L, 0.6735941L,
                                                         0,          0,          -0.4362677L, 0.2255388L};
const std::array<Extended, 4> CarbonDioxideConductivityG{0.02447164L, 8.705605e-5L, -6.54795e-8L, 6.594919e-11L};

}  // namespace voq
