// Equation tables of methane and ethane.
//
// Methane: U. Setzmann and W. Wagner, "A New Equation of State and Tables
// of Thermodynamic Properties for Methane Covering the Range from the
// Melting Line to 625 K at Pressures up to 1000 MPa", J. Phys. Chem. Ref.
// Data 20(6):1061-1155 (1991), tables 35 (ideal part) and 36 (residual
// part, 36 terms and 4 Gaussian terms).
// Ethane: D. G. Friend, H. Ingham and J. F. Ely, "Thermophysical
// Properties of Ethane", J. Phys. Chem. Ref. Data 20(2):275-347 (1991): 32
// terms on the functional form of the oxygen equation of R. Schmidt and W.
// Wagner, Fluid Phase Equilib. 19:175 (1985) (terms 14 to 24 with
// exp(-delta^2), 25 to 32 with exp(-delta^4)), and its ideal part.
#include <array>

#include "properties/helmholtz_methane_ethane.h"

namespace voq {

namespace {

// Methane, terms 1 to 13.

constexpr std::array<Extended, 13> kMethanePolyN{
    0.04367901028L, 0.6709236199L, -1.765577859L, 0.8582330241L,
    -1.206513052L, 0.512046722L, -0.0004000010791L, -0.01247842423L,
    0.03100269701L, 0.001754748522L, -0.000003171921605L, -0.00000224034684L,
    2.947056156e-7L,
};

constexpr std::array<int32_t, 13> kMethanePolyD{
    1, 1, 1, 2, 2, 2, 2, 3, 4, 4, 8, 9, 10,
};

constexpr std::array<Extended, 13> kMethanePolyT{
    -0.5L, 0.5L, 1, 0.5L, 1, 1.5L, 4.5L, 0, 1, 3, 1, 3, 3,
};

// Methane, terms 14 to 36: n delta^d tau^t exp(-delta^l).

constexpr std::array<Extended, 23> kMethaneExpN{
    0.1830487909L, 0.1511883679L, -0.4289363877L, 0.06894002446L,
    -0.01408313996L, -0.0306305483L, -0.02969906708L, -0.01932040831L,
    -0.1105739959L, 0.09952548995L, 0.008548437825L, -0.06150555662L,
    -0.04291792423L, -0.0181320729L, 0.0344590476L, -0.00238591945L,
    -0.01159094939L, 0.06641693602L, -0.0237154959L, -0.03961624905L,
    -0.01387292044L, 0.03389489599L, -0.002927378753L,
};

constexpr std::array<int32_t, 23> kMethaneExpD{
    1, 1, 1, 2, 4, 5, 6, 1, 2, 3, 4, 4,
    3, 5, 5, 8, 2, 3, 4, 4, 4, 5, 6,
};

constexpr std::array<Extended, 23> kMethaneExpT{
    0, 1, 2, 0, 0, 2, 2, 5, 5, 5, 2, 4,
    12, 8, 10, 10, 10, 14, 12, 18, 22, 18, 14,
};

constexpr std::array<int32_t, 23> kMethaneExpL{
    1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2,
    3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4,
};

// Methane, terms 37 to 40: Gaussian terms with epsilon = 1.

constexpr std::array<Extended, 4> kMethaneGaussN{
    0.00009324799946L, -6.287171518L, 12.71069467L, -6.423953466L,
};

constexpr std::array<int32_t, 4> kMethaneGaussD{
    2, 0, 1, 2,
};

constexpr std::array<Extended, 4> kMethaneGaussT{
    2, 0, 1, 2,
};

constexpr std::array<Extended, 4> kMethaneGaussAlpha{
    20, 40, 40, 40,
};

constexpr std::array<Extended, 4> kMethaneGaussBeta{
    200, 250, 250, 250,
};

constexpr std::array<Extended, 4> kMethaneGaussGamma{
    1.07L, 1.11L, 1.11L, 1.11L,
};

constexpr std::array<Extended, 4> kMethaneGaussEpsilon{1, 1, 1, 1};

// Ethane, terms 1 to 32; l = 0 (no factor) for terms 1 to 13.

constexpr std::array<Extended, 32> kEthaneN{
    0.4621543056L, -1.923693633387L, 0.39878604003L, 0.016054532372L,
    0.12895242219L, 0.035458320491L, 0.03492784454L, -0.011306183338L,
    -0.039809032779L, 0.00083031936834L, 0.00045921575183L, 1.7530287917e-7L,
    -0.000070919516126L, -0.23436162249L, 0.084574697645L, 0.1486105201L,
    -0.10016857867L, -0.059264824388L, -0.041263514217L, 0.021855161869L,
    -0.000074552720958L, -0.0098859085572L, 0.0010208416499L, -0.00052189655847L,
    0.00009859216203L, -0.046865140856L, -0.019558011646L, -0.046557161651L,
    0.0032877905376L, 0.13572090185L, -0.10846471455L, -0.0067502836903L,
};

constexpr std::array<int32_t, 32> kEthaneD{
    1, 1, 1, 2, 2, 2, 3, 3, 3, 6, 7, 7, 8, 1, 1, 2,
    2, 3, 3, 5, 6, 7, 8, 10, 2, 3, 3, 4, 4, 5, 5, 5,
};

constexpr std::array<Extended, 32> kEthaneT{
    0, 1.5L, 2.5L, -0.5L, 1.5L, 2, 0, 1, 2.5L, 0, 2, 5, 2, 5, 6, 3.5L,
    5.5L, 3, 7, 6, 8.5L, 4, 6.5L, 5.5L, 22, 11, 18, 11, 23, 17, 18, 23,
};

constexpr std::array<int32_t, 32> kEthaneL{
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4, 4,
};

// Methane: ln delta + 9.91243972 - 6.33270087 tau + 3.0016 ln tau
//          + sum a_i ln(1 - exp(-theta_i tau)).
constexpr std::array<PlanckEinsteinTerm, 5> kMethanePlanck{{{0.008449L, 3.4004324L},
                                                             {4.6942L, 10.26951575L},
                                                             {3.4865L, 20.43932747L},
                                                             {1.6572L, 29.93744884L},
                                                             {1.4115L, 79.13351945L}}};
// Ethane: ln delta - 23.446745 + 3.8159476 ln tau + 8.6021299 tau^(-1/3)
//         - 3.3075735 tau^(-2/3) - 0.55956678/tau
//         + 5.0722267 ln(1 - exp(-5.55074874 tau)).
constexpr std::array<PlanckEinsteinTerm, 1> kEthanePlanck{{{5.0722267L, 5.55074874L}}};
constexpr std::array<PowerTerm, 3> kEthanePower{
    {{8.6021299L, -1.0L / 3}, {-3.3075735L, -2.0L / 3}, {-0.55956678L, -1}}};

}  // namespace

const TIdealGasPart MethaneIdealGasPart{9.91243972L, -6.33270087L, 3.0016L, kMethanePlanck, {}, {}, {}};
const TResidualPart MethaneResidualPart{
    {},
    {kMethanePolyN, kMethanePolyD, kMethanePolyT},
    {kMethaneExpN, kMethaneExpD, kMethaneExpT, kMethaneExpL, {}},
    {kMethaneGaussN, kMethaneGaussD, kMethaneGaussT, kMethaneGaussAlpha, kMethaneGaussBeta, kMethaneGaussGamma,
     kMethaneGaussEpsilon},
    {}};
const TIdealGasPart EthaneIdealGasPart{-23.446745L, 0, 3.8159476L, kEthanePlanck, kEthanePower, {}, {}};
const TResidualPart EthaneResidualPart{{}, {}, {kEthaneN, kEthaneD, kEthaneT, kEthaneL, {}}, {}, {}};

}  // namespace voq
