// Coefficients of the nitrogen equation of state.
//
// Source: R. T. Jacobsen, R. B. Stewart and M. Jahangiri, "Thermodynamic
// Properties of Nitrogen from the Freezing Line to 2000 K at Pressures to
// 1000 MPa", J. Phys. Chem. Ref. Data 15(2):735-909 (1986): critical point
// 126.193 K and 3397.8 kPa, molar mass 28.0134 kg/kmol, range 63.148 K to
// 2000 K and 1000 MPa. The ideal-gas part is that formulation's
// cp0 integrated into reduced Helmholtz form (Planck-Einstein temperature
// 3353.4061 K = 26.573630074568 TCrit); the residual part is its set of 28
// polynomial and exponential terms in the formulation's order.
#include <array>

#include "properties/helmholtz_nitrogen.h"

namespace voq {

namespace {

constexpr std::array<PlanckEinsteinTerm, 1> kPlanckEinstein{{{1.00773735767L, 26.573630074568L}}};
constexpr std::array<PowerTerm, 5> kPower{{
    {6.9424036722816e-5L, 3},
    {-0.0011904392277274L, 2},
    {5.5206639361281e-4L, -1},
    {-3.9535259257331e-5L, -2},
    {4.2933110331017e-7L, -3},
}};
constexpr std::array<TauLogTauTerm, 1> kTauLogTau{{{0.0047683932094094L}}};

// Terms 1..16: n delta^d tau^t.
constexpr std::array<Extended, 16> kPolyN{
    0.9499541827L,    0.2481718513L,   -0.2046287122L,    -0.1748429008L,
    0.6387017148L,    -0.5272986168L,  -2.049741504L,     0.05551383553L,
    -0.0008191106396L, 0.2650110798L,  0.07311459372L,    -0.02813080718L,
    0.001659823569L,  -0.3785445194L,  0.1895290433L,     -0.007001895093L};
constexpr std::array<int32_t, 16> kPolyD{1, 2, 3, 2, 3, 3, 1, 4, 6, 1, 2, 4, 6, 1, 2, 4};
constexpr std::array<Extended, 16> kPolyT{0.25L, 0.25L, 0.25L, 0.5L, 0.5L, 0.75L, 1, 1,
                                          1,     1.5L,  2,     2,    2,    3,     3, 3};

// Terms 17..28: n delta^d tau^t exp(-delta^l).
constexpr std::array<Extended, 12> kExpN{-0.05032519699L, 0.06012817812L, -0.04927710927L, 0.06512013679L,
                                         0.1138121942L,   -0.0955140963197L, 0.0211835414L, -0.01100721771L,
                                         0.0128443221L,   -0.0105447491L,   -0.0001484600538L, -0.005806483467L};
constexpr std::array<int32_t, 12> kExpD{2, 2, 1, 4, 1, 2, 4, 2, 4, 4, 2, 3};
constexpr std::array<Extended, 12> kExpT{1, 2, 3, 4, 4, 5, 6, 8, 14, 18, 20, 22};
constexpr std::array<int32_t, 12> kExpL{2, 2, 3, 2, 3, 2, 2, 4, 4, 4, 4, 3};

}  // namespace

const TIdealGasPart NitrogenIdealGasPart{10.26835183L, -8.27236253L, 2.50418363823L, kPlanckEinstein, kPower,
                                         kTauLogTau, {}};

const TResidualPart NitrogenResidualPart{
    {},
    {kPolyN, kPolyD, kPolyT},
    {kExpN, kExpD, kExpT, kExpL, {}},
    {},
    {},
};

}  // namespace voq
