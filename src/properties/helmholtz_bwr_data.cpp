// Coefficients of the Bender, BWRS and MBWR residual parts (reduced
// Helmholtz energy, tau = TCrit/T, delta = rho VCrit), each table in the
// term order of the fluid's formulation recast in reduced Helmholtz energy.
//
// Isopentane: A. Polt, B. Platzer and G. Maurer, "Parameter der thermischen
// Zustandsgleichung von Bender fuer 14 mehratomige reine Stoffe", Chem.
// Tech. (Leipzig) 44(6):216-224 (1992); Bender equation, gamma 1.002528.
//
// RC318: B. Platzer, A. Polt and G. Maurer, "Thermophysical Properties of
// Refrigerants", Springer, Berlin (1990); Bender equation, gamma 0.99943992.
//
// n-Hexane: the Benedict-Webb-Rubin-Starling form of K. E. Starling, "Fluid
// Thermodynamic Properties for Light Petroleum Systems", Gulf Publishing,
// Houston (1973); gamma 0.42752599.
//
// Propylene: the modified Benedict-Webb-Rubin equation of S. Angus, B.
// Armstrong and K. M. de Reuck, "International Thermodynamic Tables of the
// Fluid State 7: Propylene (Propene)", IUPAC, Pergamon, Oxford (1980).
//
// R123: B. A. Younglove and M. O. McLinden, "An International Standard
// Equation of State for the Thermodynamic Properties of Refrigerant 123
// (2,2-Dichloro-1,1,1-trifluoroethane)", J. Phys. Chem. Ref. Data
// 23(5):731-779 (1994); 32-term MBWR equation.
//
// Hydrogen: the 32-term MBWR equation of B. A. Younglove, "Thermophysical
// Properties of Fluids. I. Argon, Ethylene, Parahydrogen, Nitrogen, Nitrogen
// Trifluoride, and Oxygen", J. Phys. Chem. Ref. Data 11, Suppl. 1 (1982);
// gamma 0.91464479.
//
// Carbon monoxide: the 32-term MBWR form, after R. D. Goodwin, "Carbon
// Monoxide Thermophysical Properties from 68 to 1000 K at Pressures to 100
// MPa", J. Phys. Chem. Ref. Data 14(4):849-932 (1985).
#include <array>

#include "properties/helmholtz_bwr.h"

namespace voq {

namespace {

// Isopentane and RC318 share their exponents: terms 1-16 polynomial (1-3
// with d = 0), 17-22 scaled exponential (17-19 the d = 0 partners of 1-3).
constexpr std::array<int32_t, 16> kBenderPolyD{0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 5};
constexpr std::array<Extended, 16> kBenderPolyT{3, 4, 5, 0, 1, 2, 3, 4, 0, 1, 2, 0, 1, 0, 1, 1};
constexpr std::array<int32_t, 6> kBenderExpD{0, 0, 0, 2, 2, 2};
constexpr std::array<Extended, 6> kBenderExpT{3, 4, 5, 3, 4, 5};
constexpr std::array<int32_t, 6> kBenderExpL{2, 2, 2, 2, 2, 2};

constexpr std::array<Extended, 16> kIsopentanePolyN{
    -1.43819012123L, 1.38298276836L,  -0.203328695121L, 0.619304204378L, -3.11353942178L, 3.16914412369L,
    -2.18812895934L, 0.211230723299L, 0.765790344231L,  -0.851773312153L, 0.706192861166L, -0.165802139239L,
    0.078135654275L, 0.106516957202L, -0.205642736936L, 0.0360787537633L};
constexpr std::array<Extended, 6> kIsopentaneExpN{1.43819012123L,  -1.38298276836L, 0.203328695121L,
                                                  -2.13463476736L, 5.47491842897L,  -3.35666356499L};

constexpr std::array<Extended, 16> kRC318PolyN{
    -1.04729119796L, 1.38034128822L,   -0.333625769594L, 1.09415569278L,   -2.68265237178L, 1.73403063905L,
    -1.63611246876L, 0.304834499143L,  0.102771551787L,  -0.0232367895587L, 0.166151957803L, -0.0250103914479L,
    0.0935680977639L, 0.0431929127445L, -0.133439845861L, 0.0255416632165L};
constexpr std::array<Extended, 6> kRC318ExpN{1.04729119796L,   -1.38034128822L, 0.333625769594L,
                                             -0.510485781618L, 1.81840728111L,  -1.3853089397L};

constexpr std::array<Extended, 11> kHexanePolyN{2.61128818398L,    0.45139678077L,   -0.783362300734L,
                                                -1.08785843809L,   0.124906986929L,  -0.0155020819852L,
                                                0.42399441457L,    -0.636532521368L, -0.0524764104726L,
                                                0.0120405133154L,  0.000992632580157L};
constexpr std::array<int32_t, 11> kHexanePolyD{0, 1, 1, 1, 1, 1, 2, 2, 2, 5, 5};
constexpr std::array<Extended, 11> kHexanePolyT{3, 0, 1, 3, 4, 5, 0, 1, 2, 1, 2};
constexpr std::array<Extended, 2> kHexaneExpN{-2.61128818398L, -0.558196781075L};
constexpr std::array<int32_t, 2> kHexaneExpD{0, 2};
constexpr std::array<Extended, 2> kHexaneExpT{3, 3};

constexpr std::array<Extended, 3> kPropyleneDampedN{-0.63192268146L, -0.102655250604L, 0.0070798923L};
constexpr std::array<Extended, 3> kDampedT{3, 4, 5};
constexpr std::array<Extended, 15> kPropylenePolyN{
    0.18624829L,   -1.292611017L,  -0.05410160974L, 0.5069017035L,   -1.0606146125L,
    0.763136083L,  -0.0850733053L, 0.438262575L,    0.02316495716L,  0.025503741325L,
    -0.57327581L,  -0.01141334722L, 0.2502895522L,  -0.0468392547833L, 0.00325228355714L};
constexpr std::array<int32_t, 15> kPropylenePolyD{1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4, 4, 5, 6, 7};
// Term 12 carries tau^-1.
constexpr std::array<Extended, 15> kPropylenePolyT{1, 2, 3, 0, 1, 2, 2, 3, 0, 1, 3, -1, 3, 3, 3};
constexpr std::array<Extended, 11> kPropyleneExpN{
    -0.63192268146L, -0.102655250604L, -0.11049992895L,  -0.31596134073L,  -0.051327625302L, -0.04918627871L,
    -0.017109208434L, -0.01492467645L, -0.0042773021085L, -0.0008554604217L, -0.00014257673695L};
constexpr std::array<int32_t, 11> kPropyleneExpD{2, 2, 2, 4, 4, 6, 6, 8, 8, 10, 12};
constexpr std::array<Extended, 11> kPropyleneExpT{3, 4, 5, 3, 4, 3, 4, 3, 4, 4, 4};

constexpr std::array<Extended, 3> kR123DampedN{-8.275297947394L, 0.858640316032L, -0.06233747097571L};
constexpr std::array<Extended, 19> kR123PolyN{
    -0.8349993318414L, -0.5330748036676L, 2.522760355829L,   -2.123352956341L,   -0.3243768323151L,
    1.396905242519L,   -1.815018094838L,  -0.3986926950947L, -1.228306178439L,   -0.2359169391129L,
    -0.05031941160479L, 0.2620370227347L, 0.1479764505839L,  0.05166614246743L,  0.06283323398742L,
    -0.04411694711849L, 0.006804179685408L, -0.005637746030165L, 0.0006915849685774L};
constexpr std::array<int32_t, 19> kR123PolyD{1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 5, 5, 6, 7, 7, 8};
constexpr std::array<Extended, 19> kR123PolyT{0, 0.5L, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 1, 2, 3, 2, 2, 3, 3};
constexpr std::array<Extended, 15> kR123ExpN{
    -5.04615646973L,   -0.01720355084844L, -0.06233747097571L, -1.619932205936L,  -0.008601775424222L,
    0.06390733706309L, -0.2125633622893L,  -0.1127615215095L,  0.0213024456877L,  -0.02793136221301L,
    -0.02819038037737L, 0.01891274755152L, 0.00479751474075L,  -0.01233801484092L, 0.003782549510305L};
constexpr std::array<int32_t, 15> kMbwrExpD15{2, 2, 2, 4, 4, 4, 6, 6, 6, 8, 8, 8, 10, 10, 10};
constexpr std::array<Extended, 15> kMbwrExpT15{3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5};

// Hydrogen and carbon monoxide: terms 1-22 polynomial, 23-40 scaled
// exponential (23-25 the d = 0 partners of 1-3).
constexpr std::array<int32_t, 22> kMbwr40PolyD{0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 5, 5, 6, 7, 7, 8};
constexpr std::array<Extended, 22> kMbwr40PolyT{3, 4, 5, 0, 0.5L, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 1, 2, 3, 2, 2, 3, 3};
constexpr std::array<int32_t, 18> kMbwr40ExpD{0, 0, 0, 2, 2, 2, 4, 4, 4, 6, 6, 6, 8, 8, 8, 10, 10, 10};
constexpr std::array<Extended, 18> kMbwr40ExpT{3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5};

constexpr std::array<Extended, 22> kHydrogenPolyN{
    -8.19267257565L,   0.130546404892L,   -0.011540517276L,  0.0839918647516L,  1.33747820573L,
    -2.79507010112L,   0.482999102128L,   -0.148739103766L,  0.025598353866L,   -0.0541546874713L,
    0.37223474567L,    1.8938236094L,     0.00267165188522L, 0.116573604971L,   -0.273795055848L,
    -0.0103129506212L, 0.0397065461542L,  -0.0840274234789L, -0.0110411368495L, 0.00104800406095L,
    0.00902088706725L, -0.00129256450195L};
constexpr std::array<Extended, 18> kHydrogenExpN{
    8.19267257565L,   -0.130546404892L,  0.011540517276L,    5.66493981456L,     -0.297031070059L,
    0.0105554740466L, 1.80209046818L,    -0.135838960943L,   0.0394549979521L,   0.353263983498L,
    -0.0192814451572L, 0.0120291028247L, 0.0416535430489L,   -0.00440891835846L, -0.000980954445376L,
    0.0053460864973L, 0.000275654386288L, -0.000179444975323L};

constexpr std::array<Extended, 22> kCarbonMonoxidePolyN{
    -17.2096587419L,   -3.52587374754L,   0.464676374273L,   1.154329895L,      -2.5329131347L,
    1.71207329605L,    -1.605078802L,     0.0959218184634L,  -0.0282508936457L, 0.55275630753L,
    -1.35534293566L,   6.23269136678L,    0.0153303374625L,  0.071568593971L,   -0.0613955346596L,
    -0.000764694337181L, -0.0381073679928L, -0.267885090951L, 0.0280009893044L, -0.00393677578401L,
    0.0286062461922L,  -0.00408503531555L};
constexpr std::array<Extended, 18> kCarbonMonoxideExpN{
    17.2096587419L,  3.52587374754L,   -0.464676374273L,  12.7558323746L,     2.81088731689L,
    -0.464676373837L, 3.79591453245L,  1.40544365712L,    -0.168541832724L,   0.957601845354L,
    0.248955844623L, -0.0561806108551L, 0.0534589321097L, 0.0622389610974L,   0.00511501336085L,
    0.0207792309235L, -0.000242503669185L, 0.00102300267121L};

}  // namespace

const TBwrResidualPart IsopentaneResidualPart{
    {}, {kIsopentanePolyN, kBenderPolyD, kBenderPolyT}, {kIsopentaneExpN, kBenderExpD, kBenderExpT, {}, 1.002528L},
    true};
const TBwrResidualPart RC318ResidualPart{
    {}, {kRC318PolyN, kBenderPolyD, kBenderPolyT}, {kRC318ExpN, kBenderExpD, kBenderExpT, kBenderExpL, 0.99943992L},
    true};
const TBwrResidualPart HexaneResidualPart{
    {}, {kHexanePolyN, kHexanePolyD, kHexanePolyT}, {kHexaneExpN, kHexaneExpD, kHexaneExpT, {}, 0.42752599L}, false};
const TBwrResidualPart PropyleneResidualPart{{kPropyleneDampedN, kDampedT},
                                             {kPropylenePolyN, kPropylenePolyD, kPropylenePolyT},
                                             {kPropyleneExpN, kPropyleneExpD, kPropyleneExpT, {}, 1},
                                             true};
const TBwrResidualPart R123ResidualPart{{kR123DampedN, kDampedT},
                                        {kR123PolyN, kR123PolyD, kR123PolyT},
                                        {kR123ExpN, kMbwrExpD15, kMbwrExpT15, {}, 1},
                                        false};
const TBwrResidualPart HydrogenResidualPart{
    {}, {kHydrogenPolyN, kMbwr40PolyD, kMbwr40PolyT}, {kHydrogenExpN, kMbwr40ExpD, kMbwr40ExpT, {}, 0.91464479L},
    false};
const TBwrResidualPart CarbonMonoxideResidualPart{
    {}, {kCarbonMonoxidePolyN, kMbwr40PolyD, kMbwr40PolyT}, {kCarbonMonoxideExpN, kMbwr40ExpD, kMbwr40ExpT, {}, 1},
    false};

}  // namespace voq
