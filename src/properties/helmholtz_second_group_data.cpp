// Coefficients of the second group's ideal parts and plain residual parts
// (reduced Helmholtz energy, tau = TCrit/T, delta = rho VCrit), each table in
// the order of the fluid's published formulation.
//
// Neon: R. Katti, R. T. Jacobsen, R. B. Stewart and M. Jahangiri,
// "Thermodynamic Properties for Neon for Temperatures from the Triple Point
// to 700 K at Pressures to 700 MPa", Adv. Cryo. Eng. 31:1189-1197 (1986);
// 18 polynomial and 11 exponential terms.
//
// Ethylene: M. Jahangiri, R. T. Jacobsen, R. B. Stewart and R. D. McCarty,
// "Thermodynamic Properties of Ethylene from the Freezing Line to 450 K at
// Pressures to 260 MPa", J. Phys. Chem. Ref. Data 15(2):593-734 (1986); 15
// polynomial and 26 exponential terms, the ideal part with 12
// Planck-Einstein terms.
//
// R23: S. A. Penoncello, Z. Shan and R. T. Jacobsen, "A Fundamental Equation
// for the Calculation of the Thermodynamic Properties of Trifluoromethane
// (R-23)", ASHRAE Transactions 106(1):739-756 (2000); 10 polynomial and 17
// exponential terms, the heat capacity as a polynomial in tau.
//
// R125: H. Sunaga, R. Tillner-Roth, H. Sato and K. Watanabe, "A
// Thermodynamic Equation of State for Pentafluoroethane (R-125)", Int. J.
// Thermophys. 19(6):1623-1635 (1998); 5 polynomial and 13 exponential
// terms, the ideal part with 3 Planck-Einstein terms.
//
// n-Pentane: R. Span and W. Wagner, "Equations of State for Technical
// Applications. II. Results for Nonpolar Fluids", Int. J. Thermophys.
// 24(1):41-109 (2003); the 12 terms of the short technical form (its
// reducing density 3.215577588 mol/dm3 is the constructor's), here with the
// heat capacity as a polynomial in tau.
//
// Propylene, methanol, R123: the ideal parts of their formulations in the
// Planck-Einstein and power-term forms; isopentane, RC318, carbon monoxide,
// n-hexane and hydrogen: their ideal-gas heat capacities integrated from
// their reference points.
#include <array>

#include "properties/helmholtz_second_group_internal.h"

namespace voq {

namespace {

// ---- Neon ----
constexpr std::array<Extended, 18> kNeonPolyN{
    3.532653449L,     -4.513954384L,  -0.1524027959L,   2.188568609L,     -7.44299997L,       7.755627402L,
    -3.122553128L,    1.014206899L,   -0.05289214086L,  0.1566849239L,    -0.222852705L,      -0.01410150942L,
    0.07036229719L,   -0.05882048367L, 0.01571172741L,  0.001292202769L,  0.0007902035603L,   -0.0003794403616L};
constexpr std::array<int32_t, 18> kNeonPolyD{1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4, 6, 6, 6};
constexpr std::array<Extended, 18> kNeonPolyT{0.5L, 0.75L, 3.5L, 0.5L, 0.75L, 1, 1.5L, 2.5L, 0.25L,
                                              0.5L, 2.5L,  1,    3,    4,     5, 1,    5,    6};
constexpr std::array<Extended, 11> kNeonExpN{0.04652799333L,  0.04524001818L,   -0.2383421991L, 0.00629359013L,
                                             -0.001272313644L, -1.75235256e-7L, 0.007188419232L, -0.05403006914L,
                                             0.07578222187L,  -0.03808588254L, 0.006034022431L};
constexpr std::array<int32_t, 11> kNeonExpD{1, 2, 2, 2, 2, 2, 4, 8, 8, 8, 8};
constexpr std::array<Extended, 11> kNeonExpT{4, 1, 5, 8, 12, 32, 10, 6, 7, 8, 9};
constexpr std::array<int32_t, 11> kNeonExpL{3, 2, 2, 4, 6, 6, 2, 2, 2, 2, 2};

// ---- Ethylene ----
constexpr std::array<PlanckEinsteinTerm, 12> kEthylenePlanck{{{1, 15.420510584207L},
                                                              {1, 15.812902955319L},
                                                              {1, 15.828190969777L},
                                                              {1, 15.23195840588L},
                                                              {1, 8.270815822263L},
                                                              {1, 7.3586309595488L},
                                                              {1, 6.8388384679463L},
                                                              {1, 6.2986619570653L},
                                                              {1, 5.2132129304837L},
                                                              {1, 4.8361085738309L},
                                                              {1, 4.8055325449131L},
                                                              {1, 4.2092999810161L}}};
constexpr std::array<Extended, 15> kEthylenePolyN{
    3.24893703388L,    -10.1727886161L,  7.38660405252L,     -1.56891635862L,    -0.0888451428662L,
    0.0602106814262L,  0.107832458846L,  -0.0200402521069L,  0.00195049141244L,  0.0671800640346L,
    -0.0420045146918L, -0.00162050762577L, 0.000555515679497L, 0.00075836711463L, -0.000287854402074L};
constexpr std::array<int32_t, 15> kEthylenePolyD{1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 4, 6, 6, 6};
constexpr std::array<Extended, 15> kEthylenePolyT{0.5L, 1, 1.25L, 1.75L, 4, 2, 4, 5, 6, 0.25L, 3, 0.25L, 0.5L, 2.5L, 3};
constexpr std::array<Extended, 26> kEthyleneExpN{
    0.06258987063L,  -0.0641843116L,  -0.1368693752L,  0.517920766L,   -0.3026331319L, 0.7757213872L,
    -2.639890864L,   2.927563554L,    -1.066267599L,   -0.0538047154L, 0.127792108L,   -0.0745015231L,
    -0.01624304356L, 0.1476032429L,   -0.2003910489L,  0.2926905618L,  -0.1389040901L, 5.913513541L,
    -38.0037013L,    96.9194057L,     -122.6256839L,   77.02379476L,   -19.22684672L,  -0.003800045701L,
    0.01118003813L,  0.002945841426L};
constexpr std::array<int32_t, 26> kEthyleneExpD{1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3,
                                                4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 8, 8, 8};
constexpr std::array<Extended, 26> kEthyleneExpT{0.5L, 1, 0.5L, 2, 4, 3,    4,    5, 6, 2, 3, 4, 1.5L,
                                                 0.5L, 1.5L, 4, 5, 1, 2, 3, 4, 5, 6, 0.5L, 1, 5};
constexpr std::array<int32_t, 26> kEthyleneExpL{3, 3, 2, 2, 2, 4, 4, 4, 4, 6, 6, 6, 3,
                                                2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 2, 2, 2};

// ---- R23 ----
constexpr std::array<Extended, 10> kR23PolyN{0.350093635099L,  -1.31185838205L,     -0.254118065769L, 0.104275296122L,
                                             -0.205326997924L, 0.25604099375L,      0.0118078220087L, 0.000532850915621L,
                                             0.000956700157221L, -1.18990410423e-6L};
constexpr std::array<int32_t, 10> kR23PolyD{1, 1, 1, 2, 2, 2, 3, 4, 6, 8};
constexpr std::array<Extended, 10> kR23PolyT{-0.14L, 1.49L, 2.41L, 0.05L, 1.59L, 2.04L, -0.27L, 2.76L, -0.06L, 3.25L};
constexpr std::array<Extended, 17> kR23ExpN{
    -0.180609172794L,  0.138077199166L,  0.0507828500811L, 0.0439772083175L, -0.0723557234469L, 0.00256500006055L,
    0.0263213487134L,  0.0139266509424L, -0.0105325247813L, 0.001364756715L, -0.00592653649931L, -0.0644925101471L,
    -0.022763518671L,  0.122367812706L,  0.0318153208563L, 0.0146725272055L, -0.0923639585566L};
constexpr std::array<int32_t, 17> kR23ExpD{1, 2, 2, 3, 3, 6, 6, 7, 7, 10, 2, 3, 4, 4, 5, 5, 5};
constexpr std::array<Extended, 17> kR23ExpT{5.36L, 5.28L, 4.23L, 3.35L,  6.93L,  8.48L,  6.01L, 3.34L, 7.1L,
                                            5.46L, 16.06L, 19.37L, 10.81L, 22.79L, 34.95L, 9.94L, 29.16L};
constexpr std::array<int32_t, 17> kR23ExpL{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4};

// ---- R125 ----
constexpr std::array<PlanckEinsteinTerm, 3> kR125Planck{
    {{6.856764L, 1.9757425L}, {4.885985L, 4.7965398L}, {3.292859L, 5.4932421L}}};
constexpr std::array<Extended, 5> kR125PolyN{0.12439224L, 0.27922179L, -1.1822597L, 0.23616512L, -0.01157181L};
constexpr std::array<int32_t, 5> kR125PolyD{1, 2, 2, 3, 2};
constexpr std::array<Extended, 5> kR125PolyT{-0.5L, 0, 1.5L, 1.5L, 3};
constexpr std::array<Extended, 13> kR125ExpN{-2.147964L,    1.225177L,   0.3391211L,    -0.1667058L, -0.298138L,
                                             -0.0733275L,   -0.01995426L, 0.01260026L,  -0.0637878L, 0.0001271747L,
                                             -0.0006322995L, 5.026962e-6L, 6.83311e-6L};
constexpr std::array<int32_t, 13> kR125ExpD{1, 1, 3, 1, 1, 2, 3, 4, 4, 10, 8, 12, 15};
constexpr std::array<Extended, 13> kR125ExpT{1, 0.5L, 2.75L, 4, 3, 4, 23, 14, 3, -1, 2, 1.25L, 0.25L};
constexpr std::array<int32_t, 13> kR125ExpL{1, 1, 1, 2, 1, 2, 3, 3, 2, 1, 1, 1, 2};

// ---- n-Pentane ----
constexpr std::array<Extended, 6> kPentanePolyN{1.0968643098001L,  -2.9988888298061L, 0.99516886799212L,
                                                -0.16170708558539L, 0.11334460072775L, 0.00026760595150748L};
constexpr std::array<int32_t, 6> kPentanePolyD{1, 1, 1, 2, 3, 7};
constexpr std::array<Extended, 6> kPentanePolyT{0.25L, 1.125L, 1.5L, 1.375L, 0.25L, 0.875L};
constexpr std::array<Extended, 6> kPentaneExpN{0.40979881986931L,  -0.040876423083075L, -0.38169482469447L,
                                               -0.10931956843993L, -0.03207322332799L,  0.016877016216975L};
constexpr std::array<int32_t, 6> kPentaneExpD{2, 5, 1, 4, 3, 4};
// Terms 11 and 12 take tau^14.5 and tau^12, as in the publication (with
// tau^4.5 and tau^2 its check value, 13.454 MPa at 700 K and 200 kg/m3,
// came out 0.3 % high).
constexpr std::array<Extended, 6> kPentaneExpT{0.625L, 1.75L, 3.625L, 3.625L, 14.5L, 12};
constexpr std::array<int32_t, 6> kPentaneExpL{1, 1, 2, 2, 3, 3};

// ---- Propylene, methanol, R123 ----
constexpr std::array<PlanckEinsteinTerm, 1> kPropylenePlanck{{{-4.703242L, 1.6844944L}}};
constexpr std::array<PowerTerm, 5> kPropylenePower{{{-8.1082769999989L, -1},
                                                    {0.81634388333326L, -2},
                                                    {-0.06848788999998L, -3},
                                                    {0.0029157403999959L, -4},
                                                    {-0.012626259499984L, 2}}};
constexpr std::array<PlanckEinsteinTerm, 7> kMethanolPlanck{{{10.9926773951L, 4.11978538315L},
                                                             {18.3368299465L, 3.26499998052L},
                                                             {-16.3660043791L, 3.76946349682L},
                                                             {-6.22323476219L, 2.93149354474L},
                                                             {2.80353628228L, 8.22555789084L},
                                                             {1.07780989422L, 10.3162789084L},
                                                             {0.9696569702L, 0.532489267209L}}};
constexpr std::array<PowerTerm, 3> kR123Power{{{-11.11598236L, -1}, {1.94307929L, -2}, {-0.22430514L, -3}}};

}  // namespace

const TIdealGasPart NeonIdealGasPart{10.72380803L, -16.75308709L, 1.5L, {}, {}, {}, {}};
const TResidualPart NeonResidualPart{
    {}, {kNeonPolyN, kNeonPolyD, kNeonPolyT}, {kNeonExpN, kNeonExpD, kNeonExpT, kNeonExpL, {}}, {}, {}};

const TIdealGasPart EthyleneIdealGasPart{8.68775974L, -4.47964237L, 3, kEthylenePlanck, {}, {}, {}};
const TResidualPart EthyleneResidualPart{{},
                                         {kEthylenePolyN, kEthylenePolyD, kEthylenePolyT},
                                         {kEthyleneExpN, kEthyleneExpD, kEthyleneExpT, kEthyleneExpL, {}},
                                         {},
                                         {}};

const TResidualPart R23ResidualPart{
    {}, {kR23PolyN, kR23PolyD, kR23PolyT}, {kR23ExpN, kR23ExpD, kR23ExpT, kR23ExpL, {}}, {}, {}};
const TCp0IntegralIdealPart R23IdealPart{
    true, {1.787316L, -1.921431L, 1.158205L, -0.3272369L, 0.03550747L}, true, 273.15L, 1, 26632.36993L,
    178.8420355L, 0};

const TIdealGasPart R125IdealGasPart{-12.9469L, 8.512891L, 4.911212L, kR125Planck, {}, {}, {}};
const TResidualPart R125ResidualPart{
    {}, {kR125PolyN, kR125PolyD, kR125PolyT}, {kR125ExpN, kR125ExpD, kR125ExpT, kR125ExpL, {}}, {}, {}};

const TResidualPart PentaneResidualPart{{},
                                        {kPentanePolyN, kPentanePolyD, kPentanePolyT},
                                        {kPentaneExpN, kPentaneExpD, kPentaneExpT, kPentaneExpL, {}},
                                        {},
                                        {}};
const TCp0IntegralIdealPart PentaneIdealPart{
    true, {6.212948L, -6.301861L, 3.180197L, -0.748372L, 0.06696589L}, true, 273.15L, 101.325L, 328.016907988L,
    1.046156071L, 1};

const TIdealGasPart PropyleneIdealGasPart{14.2649076L, -3.948176L, -0.34408619L, kPropylenePlanck, kPropylenePower,
                                          {}, {}};
const TIdealGasPart MethanolIdealGasPart{7.41125248L, -2.39910683L, 2.9007911885L, kMethanolPlanck, {}, {}, {}};
const TIdealGasPart R123IdealGasPart{-13.25901969L, 10.96546316L, 1.04600632L, {}, kR123Power, {}, {}};

const TCp0IntegralIdealPart IsopentaneIdealPart{
    false, {0.396504L, 0.00260678L, 9.3677e-6L, -1.58286e-8L, 7.6525e-12L}, true, 298.15L, 1, 0, 0, 0};
const TCp0IntegralIdealPart RC318IdealPart{
    false, {0.121L, 0.002903L, -2.5327e-6L, 7.7191e-10L, 0}, true, 273.15L, 1, 63304.96671L, 325.3113813L, 0};
const TCp0IntegralIdealPart CarbonMonoxideIdealPart{
    false, {1.0394L, 4.6275e-6L, -5.7057e-8L, 1.2025e-10L, -5.5409e-14L}, true, 298.15L, 101.325L, 8141.65L,
    197.3312L, 0};
const TCp0IntegralIdealPart HexaneIdealPart{
    false, {14.98189L, -0.06297024L, 0.0003703404L, -5.289704e-7L, 2.589765e-10L}, false, 298.15L, 101.325L,
    31286.953L, 91.449L, 0};

const std::array<Extended, 17> HydrogenCp0Coef{
    1.215521517e10L, -3.63967627e9L, 4.33752654e8L, -23085817.38L,  -3868.09271L,   88240.13566L,
    -7858.708525L,   724.8020909L,   -184.2680629L, 21.8015504L,    -1.305182L,     0.02100317522L,
    0.002391160428L, -0.0001824054653L, 5.614956073e-6L, -7.380331013e-8L, 6.63577552e-12L};
const std::array<Extended, 17> HydrogenCp0Exp{-7, -6, -5, -4, -3, -2, -1, 0, 0.5L, 1, 1.5L, 2, 2.5L, 3, 3.5L, 4, 5};

}  // namespace voq
