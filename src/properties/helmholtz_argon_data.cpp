// Coefficients of the argon equation of state and transport correlations.
//
// Source: Ch. Tegeler, R. Span and W. Wagner, "A New Equation of State for
// Argon Covering the Fluid Region for Temperatures From the Melting Line to
// 700 K at Pressures up to 1000 MPa", J. Phys. Chem. Ref. Data 28(3):779-850
// (1999): critical point 150.687 K and 4.863 MPa, critical density
// 535.6 kg/m3, molar mass 39.948 kg/kmol, R = 8.31451 J/mol-K, 41 residual
// terms (12 polynomial, 25 exponential, 4 Gaussian) in the formulation's
// order. The transport sets are this program's fits: a dilute-gas series in
// T^(1/3) and a rational correction in the molar density.
#include <array>

#include "properties/helmholtz_argon.h"

namespace voq {

namespace {

// Terms 1..12: n delta^d tau^t.
constexpr std::array<Extended, 12> kPolyN{0.088722305L,   0.705148052L,    -1.68201157L,   -0.149090144L,
                                          -0.120248046L,  -0.121649788L,   0.400359336L,   -0.271380627L,
                                          0.242119246L,   0.00578895832L,  -0.0410973356L, 0.0247107615L};
constexpr std::array<int32_t, 12> kPolyD{1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 4};
constexpr std::array<Extended, 12> kPolyT{0, 0.25L, 1, 2.75L, 4, 0, 0.25L, 0.75L, 2.75L, 0, 2, 0.75L};

// Terms 13..37: n delta^d tau^t exp(-delta^l).
constexpr std::array<Extended, 25> kExpN{
    -0.321813918L,    0.332300177L,     0.0310199863L,   -0.030777086L,  0.0938911374L,
    -0.0906432107L,   -0.000457783493L, -0.000082659729L, 0.000130134156L, -0.01139784L,
    -0.02445517L,     -0.0643240672L,   0.0588894711L,   -0.00064933552L, -0.0138898622L,
    0.404898393L,     -0.386125196L,    -0.188171423L,   0.159776476L,   0.0539855185L,
    -0.028953418L,    -0.0130254134L,   0.00289486968L,  -0.00226471343L, 0.00176164562L};
constexpr std::array<int32_t, 25> kExpD{1, 1, 3, 4, 4, 5, 7, 10, 10, 2, 2, 4, 4, 8, 3, 5, 5, 6, 6, 7, 7, 8, 9, 5, 6};
constexpr std::array<Extended, 25> kExpT{3,  3.5L, 1,  2,  4,  3,  0, 0.5L, 1, 1, 7, 5, 6,
                                         6,  10,   13, 14, 11, 14, 8, 14,   6, 7, 24, 22};
constexpr std::array<int32_t, 25> kExpL{1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4};

// Terms 38..41: n delta^d tau^t exp(-alpha (delta - eps)^2 - beta (tau - gamma)^2).
constexpr std::array<Extended, 4> kGaussN{0.00585524545L, -0.692519083L, 1.531549L, -0.0027384474L};
constexpr std::array<int32_t, 4> kGaussD{2, 1, 2, 3};
constexpr std::array<Extended, 4> kGaussT{3, 1, 0, 0};
constexpr std::array<Extended, 4> kGaussAlpha{20, 20, 20, 20};
constexpr std::array<Extended, 4> kGaussBeta{250, 375, 300, 225};
constexpr std::array<Extended, 4> kGaussGamma{1.11L, 1.14L, 1.17L, 1.11L};
constexpr std::array<Extended, 4> kGaussEpsilon{1, 1, 1, 1};

}  // namespace

const TIdealGasPart ArgonIdealGasPart{8.316662434L, -4.946511643L, 1.5L, {}, {}, {}, {}};

const TResidualPart ArgonResidualPart{
    {},
    {kPolyN, kPolyD, kPolyT},
    {kExpN, kExpD, kExpT, kExpL, {}},
    {kGaussN, kGaussD, kGaussT, kGaussAlpha, kGaussBeta, kGaussGamma, kGaussEpsilon},
    {},
};

const TArgonTransportSet ArgonViscositySet{
    {-89731.88257L, 82591.1347L, -27664.75915L, 3068.539784L, 455.3103615L, -179.3443839L, 22.72225106L,
     -1.350672796L, 0.03183693239L},
    {0.5927733783L, -42.51221169L, -0.02698477165L, 37.27762288L, -3958.50872L, 0.003636730841L, -2.633471347L,
     293.6563322L, -3.811869019e-5L, 0.04451947464L, -5.385874487L, -0.01115054926L, -1.328893444L}};

const TArgonTransportSet ArgonConductivitySet{
    {-67009.76192L, 61522.55283L, -20492.18286L, 2216.966254L, 357.9189325L, -136.4658914L, 17.18671649L,
     -1.018933154L, 0.02397996932L},
    {1.53630019L, -233.32533199L, -0.03027085824L, 18.962791996L, 10.54230664L, 2.588139028e-5L, -0.4546798772L,
     4.320206998L, 1.593643304e-5L, 1.262253904e-4L, -0.002937213042L, -0.02262773007L, -0.1445619495L}};

}  // namespace voq
