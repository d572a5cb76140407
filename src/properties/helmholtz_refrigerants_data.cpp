// Coefficients of the refrigerant equations of state, each in the order of
// its published formulation (reduced Helmholtz energy, tau = TCrit/T,
// delta = rho VCrit).
//
// R134a: R. Tillner-Roth and H. D. Baehr, "An International Standard
// Formulation for the Thermodynamic Properties of 1,1,1,2-Tetrafluoroethane
// (HFC-134a) for Temperatures from 170 K to 455 K and Pressures up to 70
// MPa", J. Phys. Chem. Ref. Data 23(5):657-729 (1994); 21 terms, the
// exponential ones grouped by their exponent l = 1..4.
//
// R22: W. Wagner, V. Marx and A. Pruss, "A new equation of state for
// chlorodifluoromethane (R22) covering the entire fluid region from 116 K to
// 550 K at pressures up to 200 MPa", Int. J. Refrig. 16(6):373-389 (1993);
// 22 terms.
//
// R32: R. Tillner-Roth and A. Yokozeki, "An International Standard Equation
// of State for Difluoromethane for Temperatures from the Triple Point
// at 136.34 K to 435 K and Pressures up to 70 MPa", J. Phys. Chem. Ref. Data
// 26(6):1273-1328 (1997); 19 terms.
//
// R152a: S. Kim, C. Borgnakke and R. E. Sonntag (1997), Int. J. Energy
// Res. 21:575; 26 terms, the 20 exponential ones with real exponents of
// delta.
#include <array>

#include "properties/helmholtz_refrigerants.h"

namespace voq {

namespace {

// ---- R134a ----
constexpr std::array<PowerTerm, 2> kR134aPower{{{-9.723916L, -0.5L}, {-3.92717L, -0.75L}}};
constexpr std::array<Extended, 21> kR134aN{
    0.05586817L,    0.498223L,     0.02458698L,  0.0008570145L, 0.0004788584L, -1.800808L,    0.2671641L,
    -0.04781652L,   0.01423987L,   0.3324062L,   -0.007485907L, 0.0001017263L, -0.5184567L,   -0.08692288L,
    0.2057144L,     -0.005000457L, 0.0004603262L, -0.003497836L, 0.006995038L, -0.01452184L,  -0.0001285458L};
constexpr std::array<int32_t, 21> kR134aD{2, 1, 3, 6, 6, 1, 1, 2, 5, 2, 2, 4, 1, 4, 1, 2, 4, 1, 5, 3, 10};
constexpr std::array<Extended, 21> kR134aT{-0.5L, 0, 0, 0, 1.5L, 1.5L, 2, 2, 1, 3, 5, 1, 5, 5, 6, 10, 10, 10, 18, 22, 50};
// Terms 1..8 without the exponential factor, then l = 1, 2, 3, 4.
constexpr std::array<int32_t, 5> kR134aGroupEnds{8, 11, 17, 20, 21};

// ---- R22 ----
constexpr std::array<PlanckEinsteinTerm, 4> kR22Planck{{{2.22706659L, 1.55580861L},
                                                        {1.87129085L, 2.82862148L},
                                                        {3.9321463L, 4.82421333L},
                                                        {1.10074668L, 11.392964L}}};
constexpr std::array<Extended, 8> kR22PolyN{0.2959920181L,   -1.151392173L,    0.5259746924L,   -0.6644393736L,
                                            0.1723481086L,   -0.0001158525163L, 0.0003803104348L, 0.000004119291557L};
constexpr std::array<int32_t, 8> kR22PolyD{1, 1, 2, 2, 2, 5, 7, 8};
constexpr std::array<Extended, 8> kR22PolyT{0, 1.5L, 0, 0.5L, 1.5L, 3, 0, 2.5L};
constexpr std::array<Extended, 14> kR22ExpN{-0.2267374456L,   0.01433024764L,  -0.1392978541L,   -0.11722214168L,
                                            0.2003394173L,    -0.20978574485L, 0.01284497611L,   0.001724693488L,
                                            -0.0005663667308L, 0.00001485459957L, -0.0005691734346L, 0.008341057068L,
                                            -0.02526287501L,  0.001185506149L};
constexpr std::array<int32_t, 14> kR22ExpD{1, 3, 4, 5, 5, 1, 1, 9, 10, 12, 1, 3, 3, 6};
constexpr std::array<Extended, 14> kR22ExpT{2.5L, 3.5L, 1.5L, -0.5L, 0, 4, 6, 4, 2, 2, 12, 15, 18, 36};
constexpr std::array<int32_t, 14> kR22ExpL{1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4};

// ---- R32 ----
constexpr std::array<PlanckEinsteinTerm, 4> kR32Planck{{{1.160761L, 2.2718538L},
                                                        {2.645151L, 11.914421L},
                                                        {5.794987L, 5.1415638L},
                                                        {1.129475L, 32.768217L}}};
constexpr std::array<Extended, 8> kR32PolyN{1.046634L,   -0.5451165L, -0.002448595L,  -0.04877002L,
                                            0.03520158L, 0.00162275L, 0.00002377225L, 0.029149L};
constexpr std::array<int32_t, 8> kR32PolyD{1, 2, 5, 1, 1, 3, 8, 4};
constexpr std::array<Extended, 8> kR32PolyT{0.25L, 1, -0.25L, -1, 2, 2, 0.75L, 0.25L};
constexpr std::array<Extended, 11> kR32ExpN{0.003386203L, -0.004202444L, 0.0004782025L, -0.005504323L,
                                            -0.02418396L, 0.4209034L,    -0.4616537L,   -1.200513L,
                                            -2.59155L,    -1.400145L,    0.8263017L};
constexpr std::array<int32_t, 11> kR32ExpD{4, 4, 8, 3, 5, 1, 1, 3, 1, 2, 3};
constexpr std::array<Extended, 11> kR32ExpT{18, 26, -1, 25, 1.75L, 4, 5, 1, 1.5L, 1, 0.5L};
constexpr std::array<int32_t, 11> kR32ExpL{4, 3, 1, 4, 1, 2, 2, 1, 1, 1, 1};

// ---- R152a ----
constexpr std::array<PowerTerm, 3> kR152aPower{{{-5.56713L, -1}, {0.436101L, -2}, {-0.0196281L, -3}}};
constexpr std::array<Extended, 6> kR152aPolyN{3.27282477979913L,   -5.25887189160385L, 0.84995106715852L,
                                              -0.326056649432851L, 0.147973856820353L, 0.00463200609308586L};
constexpr std::array<int32_t, 6> kR152aPolyD{1, 1, 1, 1, 2, 5};
constexpr std::array<Extended, 6> kR152aPolyT{1, 1.5L, 3, 5, 0.5L, 1};
constexpr std::array<Extended, 20> kR152aExpN{
    -0.018469303542179L,    -0.529265795606284L,   1.39788588805247L,      -0.826528289800619L,
    0.603238985406408L,     1.84020254678691e-10L, 0.019800063369089L,     0.0385227997762326L,
    -0.0354915684935072L,   -0.000146266261800962L, 0.0000385244461907819L, -9.30695615881793e-8L,
    0.0079244330574841L,    -0.0117773096693244L,  0.0078085666143288L,    -0.00335895387327679L,
    -0.0000905744836093298L, 0.00034863054677375L, 0.0167579895771929L,    -0.0159255383659542L};
constexpr std::array<Extended, 20> kR152aExpD{1.9L, 2.2L, 2.2L, 2.5L, 3,    3.3L,  4.4L, 4.9L, 5.3L, 6.6L,
                                              9.7L, 13.1L, 4.6L, 4,    5.2L, 5.3L, 13.3L, 11.9L, 4.1L, 4.1L};
constexpr std::array<Extended, 20> kR152aExpT{8,    1.4L, 3.1L, 5,    5.5L,  25.5L, 5.2L,  3.3L,  3.5L,  6.7L,
                                              5.3L, 5.7L, 6.4L, 30,   28.4L, 8.2L,  5.9L,  20.3L, 27.1L, 29.3L};
constexpr std::array<int32_t, 20> kR152aExpL{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 3, 3, 3, 3, 5, 6, 6};

}  // namespace

const TIdealGasPart R134aIdealGasPart{-1.019535L, 9.047135L, -1.629789L, {}, kR134aPower, {}, {}};
const TResidualPart R134aResidualPart{{}, {}, {kR134aN, kR134aD, kR134aT, {}, kR134aGroupEnds}, {}, {}};

const TIdealGasPart R22IdealGasPart{-11.88291821L, 8.09245192L, 3.00671581L, kR22Planck, {}, {}, {}};
const TResidualPart R22ResidualPart{
    {}, {kR22PolyN, kR22PolyD, kR22PolyT}, {kR22ExpN, kR22ExpD, kR22ExpT, kR22ExpL, {}}, {}, {}};

const TIdealGasPart R32IdealGasPart{-8.258096L, 6.353098L, 3.004486L, kR32Planck, {}, {}, {}};
const TResidualPart R32ResidualPart{
    {}, {kR32PolyN, kR32PolyD, kR32PolyT}, {kR32ExpN, kR32ExpD, kR32ExpT, kR32ExpL, {}}, {}, {}};

const TIdealGasPart R152aIdealGasPart{-5.969835L, 7.421932L, 0.0434935L, {}, kR152aPower, {}, {}};
const TResidualPart R152aResidualPart{{}, {kR152aPolyN, kR152aPolyD, kR152aPolyT}, {}, {}, {}};
const TRealExponentialTable R152aRealExponentialTerms{kR152aExpN, kR152aExpD, kR152aExpT, kR152aExpL};

}  // namespace voq
