// Equation data of n-butane, isobutane and propane.
//
// Source: B. A. Younglove and J. F. Ely, "Thermophysical Properties of
// Fluids. II. Methane, Ethane, Propane, Isobutane, and Normal Butane", J.
// Phys. Chem. Ref. Data 16(4):577-798 (1987): the 32-term MBWR equations,
// recast here as 37 reduced Helmholtz terms; the ideal-gas heat capacities
// (G1..G9) and the ideal parts integrated from them; the vapour-pressure
// and saturated-density ancillaries anchored at the triple point; the
// dilute-gas, first-density and dense-fluid viscosity terms and the
// thermal-conductivity parameters, with the collision diameters and energy
// parameters of the same work.
#include "properties/helmholtz_mbwr_fluids.h"

#include <span>

namespace voq {

namespace {

// Exponents shared by the three: terms 1..3 damped, 4..22 polynomial,
// 23..37 with exp(-delta^2) (d of the damped terms unused).
constexpr std::array<Extended, 37> kTauExp{3, 4, 5, 0, 0.5L, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 1, 2, 3, 2,
                                           2, 3, 3, 3, 4, 5, 3, 4, 5, 3, 4, 5,  3, 4, 5, 3, 4, 5};
constexpr std::array<int32_t, 37> kDeltaExp{0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 5,  5, 6,
                                            7, 7, 8, 2, 2, 2, 4, 4, 4, 6, 6, 6, 8, 8, 8, 10, 10, 10};
constexpr std::array<Extended, 5> kAlpha0PowerExp{3, 2, -1, -2, -3};

}  // namespace

const TFamilyCFields ButaneMbwrData{
    .TripleTemperature = 134.86L,
    .TriplePressure = 6.7358e-7L,
    .TripleLiquidDensity = 12.65L,
    .TripleVaporDensity = 6.0072e-7L,
    .CollisionDiameter = 0.503103L,
    .EnergyParameter = 440,
    .DiluteViscosityFactor = 0.20352457L,
    .VaporDensityExponent = 0.32L,
    .VaporPressureCoef = {-7.645674906L, 24.578459427L, -1.096617182L, -0.289083373L, 25.161929277L},
    .VaporPressureExponent = 1.03L,
    .VaporDensityCoef = {0.404162149907L, 0.0960764086732L, 0.340471522665L, -1.72959247223L, 2.21450959133L,
                         -1.1956546368L},
    .LiquidDensityCoef = {-5.00738753322L, 0.00959327839487L, -0.299522444054L, 4.45748956849L, -30.4185455099L,
                          14.2477112265L, -3.60862729356L},
    .FirstDensityViscosityCoef = {1.630521851L, 0, 1.4L, 425.16L},
    .DenseViscosityCoef = {-27.24386845L, 801.2766611L, 25.03978646L, -13097.04275L, -0.08313305258L,
                           66.36975027L, 9849.317662L},
    .ConductivityCoef = {0.004024170074L, 1.561435847L, -600.4381127L, -0.0007547260841L, -0.02069676662L,
                         93.82534978L, -0.1711371457L, 36.47724935L, 1.530992335L, -0.2114511021L},
    .Cp0Coef = {388023.10194L, -154442.9689L, 2845.5082239L, -13.491511376L, 0.066142595353L, -2.4307965028e-5L,
                1.5044248429e-10L, -8.3933423467L, 3000},
    .Alpha0Coef = {-12.8019221L, 14.59844255L, -14.491511376L, -6.6927938279706L, -8.3933423467L},
    .Alpha0PowerCoef = {-0.00084149034554658L, 0.42996815376555L, -14.060592920141L, 0.73232211478504L,
                        -0.00096348830062678L},
    .Alpha0Theta = 7.0561670900367L,
    .Alpha0PowerExp = kAlpha0PowerExp,
    .AlphaRCoef = {0.247415799621L,    0.316750383087L,    -0.0235073816262L,  0.724845519962L,
                   -0.36809007204L,    -1.0865145547L,     0.130325277948L,    -0.626459814671L,
                   0.218114991405L,    -0.298805150946L,   -0.463698183627L,   0.463439855231L,
                   -0.00843915225999L, 0.0893828530829L,   0.136674111973L,    0.0304492006241L,
                   -0.0497773738854L,  0.0000544611324031L, 0.0145696010621L,  -0.000998795429508L,
                   -0.00069519484597L, 0.00012958060122L,  1.0973533266L,      -0.3039466966L,
                   -0.0235073816262L,  0.380117040733L,    -0.1519733483L,     0.0939341024273L,
                   0.137282547388L,    -0.038219266639L,   0.0313113674758L,   0.0169150183631L,
                   -0.00955481665975L, -0.00110461403071L, 0.0000951887007228L, 0.00497377589128L,
                   -0.000220922806142L},
    .AlphaRTauExp = kTauExp,
    .AlphaRDeltaExp = kDeltaExp,
};

const TFamilyCFields IsobutaneMbwrData{
    .TripleTemperature = 113.45L,
    .TriplePressure = 1.9481e-8L,
    .TripleLiquidDensity = 12.755L,
    .TripleVaporDensity = 2.0634e-8L,
    .CollisionDiameter = 0.509217L,
    .EnergyParameter = 418,
    .DiluteViscosityFactor = 0.203525266L,
    .VaporDensityExponent = 0.25L,
    .VaporPressureCoef = {12.64889651L, 10.74641516L, -2.191129109L, -2.155822575L, 8.832766439L},
    .VaporPressureExponent = 1.4L,
    .VaporDensityCoef = {0.343251228673L, 0.0482857776261L, 0.548432461053L, -1.88426399834L, 2.02812406578L,
                         -0.973482370332L},
    .LiquidDensityCoef = {-9.5872058396L, 0.0391295587075L, -0.848276379865L, 9.88301812135L, -49.3025047411L,
                          20.9773074305L, -4.92188663343L},
    .FirstDensityViscosityCoef = {1.687838652L, 0, 1.4L, 407.85L},
    .DenseViscosityCoef = {-20.55498053L, 1357.076181L, 18.93774336L, -18222.77344L, -0.004599387773L,
                           63.05247065L, 12822.53921L},
    .ConductivityCoef = {0.004307008989L, -1.509010974L, 469.3712392L, -0.0003554280979L, 0.1841552874L,
                         -38.92338766L, -0.09354624917L, 7.11433059L, 1.449797353L, -0.1685643887L},
    .Cp0Coef = {17027919.006L, -472697.24737L, 4730.1406581L, -17.231723278L, 0.058491344291L, 8.9440351886e-6L,
                -1.8274599197e-8L, -19.283021962L, 3000},
    .Alpha0Coef = {-21.38011864L, 16.45012275L, -18.231723278L, -11.59774588231L, -19.283021962L},
    .Alpha0PowerCoef = {-0.041832028572465L, 1.4208628011008L, -11.927847384542L, -0.2479608874948L,
                        0.10331610252184L},
    .Alpha0Theta = 7.3556454578889L,
    .Alpha0PowerExp = kAlpha0PowerExp,
    .AlphaRCoef = {-10.0236875969L,    0.0184654873388L,   -0.00159580396606L, 0.606936720292L,
                   0.902940140281L,    -3.6259913886L,     2.12361702166L,     -1.20023937451L,
                   -0.187269574876L,   1.96835283755L,     -3.67189899962L,    -1.46769370718L,
                   0.0749078807172L,   -0.591646942076L,   0.906074247179L,    0.0609905487957L,
                   0.105995944853L,    0.0641087290432L,   -0.0558553620278L,  0.00687510833367L,
                   -0.00622473114272L, 0.000834404213075L, -5.49904459379L,    -1.07396190626L,
                   -0.00159580396606L, -1.58782355057L,    -0.53698095313L,    0.0896838005298L,
                   -0.204424293432L,   -0.163601748224L,   0.0298946001766L,   -0.00860310136558L,
                   -0.040900437056L,   -0.0023404067194L,  -0.00194456093221L, 0.00105776979822L,
                   -0.000468081343881L},
    .AlphaRTauExp = kTauExp,
    .AlphaRDeltaExp = kDeltaExp,
};

const TFamilyCFields PropaneMbwrData{
    .TripleTemperature = 85.47L,
    .TriplePressure = 1.685e-10L,
    .TripleLiquidDensity = 16.636L,
    .TripleVaporDensity = 2.3775e-10L,
    .CollisionDiameter = 0.47L,
    .EnergyParameter = 358.9L,
    .DiluteViscosityFactor = 0.177273976L,
    .VaporDensityExponent = 0.39L,
    .VaporPressureCoef = {15.410153272L, 11.870733615L, -0.874958355L, -2.448971934L, 11.400962259L},
    .VaporPressureExponent = 1.2L,
    .VaporDensityCoef = {0.277609660772L, 0.0996316211526L, -0.0935103011479L, -0.393181193381L, 0.780393332334L,
                         -0.594672655236L},
    .LiquidDensityCoef = {-17.0353717858L, 0.0850718580945L, -1.69899508271L, 18.4206833899L, -81.5334435591L,
                          33.0612340278L, -7.37636511031L},
    .FirstDensityViscosityCoef = {0, 0, 1.12L, 359},
    .DenseViscosityCoef = {-14.113294896L, 968.22940153L, 13.686545032L, -12511.628378L, 0.0168910864L,
                           43.527109444L, 7659.4543472L},
    .ConductivityCoef = {0.003113890422L, -0.225755973L, 56.74370999L, -7.840963643e-5L, 0.02291785465L,
                         -2.52793989L, -0.06265334654L, 2.518064809L, 1.422605L, -0.179749L},
    .Cp0Coef = {3125245.0099L, -114152.53638L, 1497.165072L, -5.4041204338L, 0.039215452897L, -2.1738913926e-5L,
                4.8274541303e-9L, 3.1907016349L, 1500},
    .Alpha0Coef = {-8.87133773L, 9.02469987L, -6.4041204338L, -4.0480331810193L, 3.1907016349L},
    .Alpha0PowerCoef = {-0.010295701694256L, 0.417257665468L, -7.2519176269777L, 0.4956074643582L,
                        -0.02035231327498L},
    .Alpha0Theta = 4.0556982560497L,
    .Alpha0PowerExp = kAlpha0PowerExp,
    .AlphaRCoef = {0.796570884954L,    0.000750795643944L, -0.000150861780077L, -0.16864463863L,
                   3.69195593593L,     -6.10773043583L,    2.47266459364L,      -1.11198258733L,
                   -0.0685172470782L,  0.621957378166L,    -1.18493095237L,     0.659145091712L,
                   0.0332230919248L,   -0.0840004906455L,  0.24744812118L,      0.0328898075042L,
                   -0.037392633831L,   -0.0144516316264L,  0.0116730910017L,    -0.000985894180101L,
                   0.00115782138023L,  -0.000145027445108L, 1.58251371231L,     -0.637559643886L,
                   -0.000150861780077L, 0.520091922107L,   -0.318779821943L,    0.146053023303L,
                   0.194724433218L,    -0.0896266098172L,  0.0486843411011L,    0.0235296026524L,
                   -0.0224066524543L,  -0.00150957482137L, 0.00386243823311L,   0.00247771187669L,
                   -0.000301914964275L},
    .AlphaRTauExp = kTauExp,
    .AlphaRDeltaExp = kDeltaExp,
};

// ---- The same data as term tables ----------------------------------------

namespace {

constexpr std::array<int32_t, 15> kExpL{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

// alpha0 = ln delta + a1 + a2 tau + a3 ln tau + a4 (tau ln tau - tau)
//          + a5 ln(1 - exp(-theta tau)) + sum b_k tau^p_k
struct TIdealTerms {
  std::array<PlanckEinsteinTerm, 1> planck;
  std::array<PowerTerm, 5> power;
  std::array<TauLogTauTerm, 1> tauLogTau;
};

TIdealTerms IdealTermsOf(const TFamilyCFields& f) {
  TIdealTerms t;
  t.planck[0] = {f.Alpha0Coef[4], f.Alpha0Theta};
  for (size_t k = 0; k < t.power.size(); ++k) t.power[k] = {f.Alpha0PowerCoef[k], f.Alpha0PowerExp[k]};
  t.tauLogTau[0] = {f.Alpha0Coef[3]};
  return t;
}

TIdealGasPart IdealOf(const TFamilyCFields& f, const TIdealTerms& t) {
  return {f.Alpha0Coef[0], f.Alpha0Coef[1], f.Alpha0Coef[2], t.planck, t.power, t.tauLogTau, {}};
}

TResidualPart ResidualOf(const TFamilyCFields& f) {
  const std::span<const Extended> n(f.AlphaRCoef), t(f.AlphaRTauExp);
  const std::span<const int32_t> d(f.AlphaRDeltaExp);
  TResidualPart r;
  r.damped = {n.first(3), t.first(3)};
  r.polynomial = {n.subspan(3, 19), d.subspan(3, 19), t.subspan(3, 19)};
  r.exponential = {n.subspan(22, 15), d.subspan(22, 15), t.subspan(22, 15), kExpL, {}};
  return r;
}

const TIdealTerms kButaneIdealTerms = IdealTermsOf(ButaneMbwrData);
const TIdealTerms kIsobutaneIdealTerms = IdealTermsOf(IsobutaneMbwrData);
const TIdealTerms kPropaneIdealTerms = IdealTermsOf(PropaneMbwrData);
const TIdealGasPart kButaneIdeal = IdealOf(ButaneMbwrData, kButaneIdealTerms);
const TIdealGasPart kIsobutaneIdeal = IdealOf(IsobutaneMbwrData, kIsobutaneIdealTerms);
const TIdealGasPart kPropaneIdeal = IdealOf(PropaneMbwrData, kPropaneIdealTerms);
const TResidualPart kButaneResidual = ResidualOf(ButaneMbwrData);
const TResidualPart kIsobutaneResidual = ResidualOf(IsobutaneMbwrData);
const TResidualPart kPropaneResidual = ResidualOf(PropaneMbwrData);

}  // namespace

const TMbwrTables ButaneMbwrTables{&ButaneMbwrData, &kButaneIdeal, &kButaneResidual};
const TMbwrTables IsobutaneMbwrTables{&IsobutaneMbwrData, &kIsobutaneIdeal, &kIsobutaneResidual};
const TMbwrTables PropaneMbwrTables{&PropaneMbwrData, &kPropaneIdeal, &kPropaneResidual};

}  // namespace voq
