// The second fluid group's constant sets, ideal parts and constructors.
//
// Constants in K, kPa, m3/kg, kg/kmol and kJ/kmol-K. A reducing volume
// given as a molar critical density rho (kmol/m3) is 1/(rho M), computed
// when the object is built, after the molar mass is written.
#include "properties/helmholtz_second_group.h"

#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_bwr.h"
#include "properties/helmholtz_hfc_transport.h"
#include "properties/helmholtz_mbwr_fluids.h"
#include "properties/helmholtz_methanol.h"
#include "properties/helmholtz_second_group_internal.h"

namespace voq {

// ---- Ideal parts ----------------------------------------------------------

Extended Cp0IntegralIdealPart(const TCp0IntegralIdealPart& p, const TGeneralEosSubstance& o, Extended tau,
                              Extended delta) {
  const Extended M = o.MolarMassValue;
  const Extended rBar = o.GasConstant;
  const Extended f = p.molarFactor ? M / rBar : 1;
  const Extended g = p.referencePerKg == 1 ? M / rBar : 1 / rBar;
  const Extended delta0 = p.P0 * M * o.VCrit / (rBar * p.T0);
  const std::array<Extended, 5>& c = p.c;
  if (!p.tauBasis) {
    const Extended T = o.TCrit / tau;
    // H = integral of cp0 dT, S = integral of cp0/T dT, from T0 to T.
    Extended H = 0;
    Extended S = c[0] * std::log(T / p.T0);
    Extended tk = 1, t0k = 1;  // T^k, T0^k
    for (size_t k = 0; k < c.size(); ++k) {
      if (k >= 1) S += c[k] * (tk - t0k) / static_cast<Extended>(k);
      tk *= T;
      t0k *= p.T0;
      H += c[k] * (tk - t0k) / static_cast<Extended>(k + 1);
    }
    return std::log(delta * T / (delta0 * p.T0)) + g * p.h0 / T - g * p.s0 - 1 + f * H / T - f * S;
  }
  const Extended tau0 = o.TCrit / p.T0;
  const Extended t2 = tau * tau, t02 = tau0 * tau0;
  // A = integral of cp0/tau^2, B = integral of cp0/tau, from tau0 to tau.
  const Extended A = -c[0] * (1 / tau - 1 / tau0) + c[1] * std::log(tau / tau0) + c[2] * (tau - tau0) +
                     c[3] * (t2 - t02) / 2 + c[4] * (t2 * tau - t02 * tau0) / 3;
  const Extended B = c[0] * std::log(tau / tau0) + c[1] * (tau - tau0) + c[2] * (t2 - t02) / 2 +
                     c[3] * (t2 * tau - t02 * tau0) / 3 + c[4] * (t2 * t2 - t02 * t02) / 4;
  return std::log(delta * tau0 / (delta0 * tau)) + g * p.h0 * tau / o.TCrit - g * p.s0 - 1 - f * tau * A + f * B;
}

// The ideal gas's heat capacity cp0/R = F sum c_k x^k (x = T or tau) gives
// the second derivative directly: with H' = cp0 in the T basis and
// A' = cp0/tau^2 in the tau basis, both forms come to
//   d2(alpha0)/d(tau)2 = (1 - cp0/R)/tau^2.
Extended Cp0IntegralAlpha0TauTau(const TCp0IntegralIdealPart& p, const TGeneralEosSubstance& o, Extended tau) {
  const Extended f = p.molarFactor ? o.MolarMassValue / o.GasConstant : 1;
  const Extended x = p.tauBasis ? tau : o.TCrit / tau;
  Extended cp = 0;
  for (size_t k = p.c.size(); k-- > 0;) cp = cp * x + p.c[k];
  return (1 - f * cp) / (tau * tau);
}

// Hydrogen: cp0/Rbar = sum a_i T^k_i with the indefinite integrals
// H = sum a_i T^(k_i+1)/(k_i+1) (k = -1: a ln T) and S = sum a_i T^k_i/k_i
// (k = 0: a ln T); reference point 273.15 K and 100 kPa, h0 and s0 per kg.
Extended HydrogenAlpha0(const TGeneralEosSubstance& o, Extended tau, Extended delta) {
  const Extended T = o.TCrit / tau;
  const Extended T0 = 273.15L, P0 = 100;
  const Extended h0 = 85119.5401409L, s0 = -4854.9269425L;
  const Extended M = o.MolarMassValue;
  const Extended rBar = o.GasConstant;
  const Extended delta0 = P0 * M * o.VCrit / (rBar * T0);
  const Extended lnT = std::log(T);
  Extended H = 0, S = 0;
  for (size_t i = 0; i < HydrogenCp0Coef.size(); ++i) {
    const Extended a = HydrogenCp0Coef[i];
    const Extended k = HydrogenCp0Exp[i];
    H += k == -1 ? a * lnT : a * PowerReal(T, k + 1) / (k + 1);
    S += k == 0 ? a * lnT : a * PowerReal(T, k) / k;
  }
  return std::log(delta * T / (delta0 * T0)) + M / rBar * (h0 / T - s0) - 1 + H / T - S;
}

// Its exact tau-derivative. With T = TCrit/tau, dT/dtau = -T/tau, and
// dH/dT = T dS/dT = cp0/Rbar, the entropy integral drops out:
//   d(alpha0)/d(tau) = (G h0 + H(T))/TCrit - 1/tau,  G = M/Rbar.
// A central difference of alpha0 loses about 1e-11 of u and h to the
// cancelling 1e10-sized heat-capacity terms: more than the energy-volume
// searches' tolerance, so that they could not settle.
Extended HydrogenAlpha0Tau(const TGeneralEosSubstance& o, Extended tau, Extended) {
  const Extended T = o.TCrit / tau;
  const Extended h0 = 85119.5401409L;
  const Extended lnT = std::log(T);
  Extended H = 0;
  for (size_t i = 0; i < HydrogenCp0Coef.size(); ++i) {
    const Extended a = HydrogenCp0Coef[i];
    const Extended k = HydrogenCp0Exp[i];
    H += k == -1 ? a * lnT : a * PowerReal(T, k + 1) / (k + 1);
  }
  return (o.MolarMassValue / o.GasConstant * h0 + H) / o.TCrit - 1 / tau;
}

namespace {

// A delta at or below 0 takes ln(1e-6): neon's ideal part is asked for
// the empty limit by the searches that step past it.
Extended NeonAlpha0(const TGeneralEosSubstance&, Extended tau, Extended delta) {
  return IdealGasAlpha0(NeonIdealGasPart, tau, delta > 0 ? delta : 1e-6L);
}
template <const TIdealGasPart& kPart>
Extended AnalyticAlpha0(const TGeneralEosSubstance&, Extended tau, Extended delta) {
  return IdealGasAlpha0(kPart, tau, delta);
}
template <const TIdealGasPart& kPart>
Extended AnalyticAlpha0Tau(const TGeneralEosSubstance&, Extended tau, Extended) {
  return IdealGasAlpha0Tau(kPart, tau);
}
template <const TIdealGasPart& kPart>
Extended AnalyticAlpha0TauTau(const TGeneralEosSubstance&, Extended tau, Extended) {
  return IdealGasAlpha0TauTau(kPart, tau);
}
template <const TCp0IntegralIdealPart& kPart>
Extended Cp0Alpha0(const TGeneralEosSubstance& o, Extended tau, Extended delta) {
  return Cp0IntegralIdealPart(kPart, o, tau, delta);
}
template <const TCp0IntegralIdealPart& kPart>
Extended Cp0Alpha0TauTau(const TGeneralEosSubstance& o, Extended tau, Extended) {
  return Cp0IntegralAlpha0TauTau(kPart, o, tau);
}

// ---- Models ---------------------------------------------------------------

const TSecondGroupModel kNeonModel{NeonAlpha0,          AnalyticAlpha0Tau<NeonIdealGasPart>,
                                   &NeonResidualPart,   false,
                                   nullptr,             NeonSatPressure,
                                   NeonSatLiquidDensity, NeonSatVaporDensity,
                                   AnalyticAlpha0TauTau<NeonIdealGasPart>};
const TSecondGroupModel kXenonModel{XenonAlpha0,   XenonAlpha0Tau,        nullptr,
                                    false,         XenonResidual,         XenonSatPressure,
                                    XenonSatLiquidDensity, XenonSatVaporDensity,
                                    XenonAlpha0TauTau,     XenonResidualDerivatives,
                                    XenonResidualDelta};
const TSecondGroupModel kEthyleneModel{AnalyticAlpha0<EthyleneIdealGasPart>,
                                       AnalyticAlpha0Tau<EthyleneIdealGasPart>,
                                       &EthyleneResidualPart,
                                       false,
                                       nullptr,
                                       EthyleneSatPressure,
                                       EthyleneSatLiquidDensity,
                                       EthyleneSatVaporDensity,
                                       AnalyticAlpha0TauTau<EthyleneIdealGasPart>};
const TSecondGroupModel kR23Model{Cp0Alpha0<R23IdealPart>, nullptr,          &R23ResidualPart,   false, nullptr,
                                  R23SatPressure,          R23SatLiquidDensity, R23SatVaporDensity,
                                  Cp0Alpha0TauTau<R23IdealPart>, nullptr, nullptr,
                                  R23Viscosity,            R23Conductivity};
const TSecondGroupModel kR125Model{AnalyticAlpha0<R125IdealGasPart>,
                                   AnalyticAlpha0Tau<R125IdealGasPart>,
                                   &R125ResidualPart,
                                   false,
                                   nullptr,
                                   R125SatPressure,
                                   R125SatLiquidDensity,
                                   R125SatVaporDensity,
                                   AnalyticAlpha0TauTau<R125IdealGasPart>,
                                   nullptr,
                                   nullptr,
                                   R125Viscosity,
                                   R125Conductivity};
const TSecondGroupModel kPentaneModel{Cp0Alpha0<PentaneIdealPart>, nullptr, &PentaneResidualPart, true, nullptr,
                                      PentaneSatPressure, PentaneSatLiquidDensity, PentaneSatVaporDensity,
                                      Cp0Alpha0TauTau<PentaneIdealPart>};
// The Bender, BWRS and MBWR residual parts (helmholtz_bwr.h).
const TSecondGroupModel kIsopentaneModel{Cp0Alpha0<IsopentaneIdealPart>, nullptr, nullptr, false, IsopentaneResidual,
                                         IsopentaneSatPressure, IsopentaneSatLiquidDensity,
                                         IsopentaneSatVaporDensity};
const TSecondGroupModel kPropyleneModel{AnalyticAlpha0<PropyleneIdealGasPart>, nullptr, nullptr, true,
                                        PropyleneResidual, PropyleneSatPressure, PropyleneSatLiquidDensity,
                                        PropyleneSatVaporDensity};
const TSecondGroupModel kRC318Model{Cp0Alpha0<RC318IdealPart>, nullptr, nullptr, true, RC318Residual,
                                    RC318SatPressure, RC318SatLiquidDensity, RC318SatVaporDensity};
const TSecondGroupModel kMethanolModel{AnalyticAlpha0<MethanolIdealGasPart>,
                                       AnalyticAlpha0Tau<MethanolIdealGasPart>,
                                       nullptr,
                                       false,
                                       MethanolResidual,
                                       MethanolSatPressure,
                                       MethanolSatLiquidDensity,
                                       MethanolSatVaporDensity,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       MethanolViscosity};
const TSecondGroupModel kHydrogenModel{HydrogenAlpha0, HydrogenAlpha0Tau, nullptr, true, HydrogenResidual,
                                       HydrogenSatPressure, HydrogenSatLiquidDensity, HydrogenSatVaporDensity};
const TSecondGroupModel kCarbonMonoxideModel{Cp0Alpha0<CarbonMonoxideIdealPart>,
                                             nullptr,
                                             nullptr,
                                             true,
                                             CarbonMonoxideResidual,
                                             CarbonMonoxideSatPressure,
                                             CarbonMonoxideSatLiquidDensity,
                                             CarbonMonoxideSatVaporDensity};
const TSecondGroupModel kHexaneModel{Cp0Alpha0<HexaneIdealPart>, nullptr, nullptr, true, HexaneResidual,
                                     HexaneSatPressure, HexaneSatLiquidDensity, HexaneSatVaporDensity};
const TSecondGroupModel kR123Model{AnalyticAlpha0<R123IdealGasPart>,
                                   AnalyticAlpha0Tau<R123IdealGasPart>,
                                   nullptr,
                                   false,
                                   R123Residual,
                                   R123SatPressure,
                                   R123SatLiquidDensity,
                                   R123SatVaporDensity};

// ---- Constant sets --------------------------------------------------------

// Surface-tension limits copied from the constant set.
constexpr Extended kAtTMin = -1;
constexpr Extended kAtTCrit = -2;

struct TConstantSet {
  int32_t row;
  Extended gasConstant, tCrit, pCrit;
  Extended vCrit;         // m3/kg, or 0: 1/(rhoCrit M)
  Extended rhoCrit;       // kmol/m3
  Extended molarMass, tMin, tMax, pMax, plotTLow, plotTHigh;
  Extended sigmaTMin, sigmaTMax;  // K, or kAtTMin, kAtTCrit
  std::array<Extended, 3> sigmaCoef, sigmaExp;
};

void WriteConstants(TGeneralEosSubstance& o, const TConstantSet& c) {
  InitSubstanceBase(o);
  o.CatalogRow = c.row;
  o.TwoPhaseDewPressure = 0;
  o.GasConstant = c.gasConstant;
  o.TCrit = c.tCrit;
  o.PCrit = c.pCrit;
  o.MolarMassValue = c.molarMass;
  o.VCrit = c.vCrit != 0 ? c.vCrit : 1 / (c.rhoCrit * o.MolarMassValue);
  o.TMin = c.tMin;
  o.TMax = c.tMax;
  o.PMax = c.pMax;
  o.PlotTLow = c.plotTLow;
  o.PlotTHigh = c.plotTHigh;
  auto limit = [&](Extended v) { return v == kAtTMin ? o.TMin : v == kAtTCrit ? o.TCrit : v; };
  o.SigmaTMin = limit(c.sigmaTMin);
  o.SigmaTMax = limit(c.sigmaTMax);
  o.SigmaCoef = c.sigmaCoef;
  o.SigmaExp = c.sigmaExp;
}

constexpr std::array<Extended, 3> kSigmaExp125{1.25L, 2.25L, 3.25L};

// Xenon's surface tension: A. Mulero, I. Cachadina and M. I. Parra,
// "Recommended Correlations for the Surface Tension of Common Fluids", J.
// Phys. Chem. Ref. Data 41(4):043105 (2012): sigma = -0.11538 theta^1.0512 +
// 0.16598 theta^1.098 N/m, from the triple point to the critical point.
const TConstantSet kNeon{55, 8.3144L, 44.49L, 2680, 0, 23.88L, 20.179L, 24.56L, 700, 70000, 25, 80,
                         24.55L, 44.5L, {0.0082803L, 0.0173278L, -0.0027336L}, kSigmaExp125};
const TConstantSet kXenon{75, 8.3143L, 289.74L, 5840, 0.0009099181073703366697L, 0, 131.3L, 161.4L, 800, 350000,
                          150, 350, kAtTMin, kAtTCrit, {-0.11538L, 0.16598L, 0}, {1.0512L, 1.098L, 1}};
const TConstantSet kIsopentane{60, 8.3143L, 460.39L, 3369.6L, 0, 3.2709179L, 72.151L, 200, 600, 10000, 273, 500,
                               kAtTMin, kAtTCrit, {0.055101L, 0, 0}, {1.0955L, 1, 1}};
const TConstantSet kEthylene{34, 8.31434L, 282.3452L, 5040.1L, 0.00466931369437425584L, 0, 28.054L, 104, 450, 260000,
                             160, 400, 104, 282.34L, {0.0534828L, -0.0132207L, 0.0199706L}, kSigmaExp125};
const TConstantSet kPropylene{61, 8.31434L, 365.5699L, 4664.6L, 0.0044765161960355972567L, 0, 42.0804L, 100, 600,
                              200000, 150, 450, kAtTMin, kAtTCrit, {0.052169L, 0, 0}, {1.1847L, 1, 1}};
const TConstantSet kRC318{62, 8.31451L, 388.38L, 2777.5L, 0, 3.09938L, 200.04L, 233.5L, 623, 60000, 260, 450,
                          kAtTMin, kAtTCrit, {0.047095L, 0, 0}, {1.1725L, 1, 1}};
const TConstantSet kMethanol{64, 8.31448L, 513.38L, 8103.5L, 0.003552448347401028789L, 0, 32.04216L, 175.61L, 570,
                             800000, 200, 550, 176, 512.6L, {0.1226257L, -0.1994044L, 0.1533744L}, kSigmaExp125};
// n-Pentane's reducing density is that of the Span-Wagner equation whose
// terms it sums (3.215577588 mol/dm3): with 3.182524394 the liquid came out
// about 1.1 % light.
const TConstantSet kPentane{35, 8.315952424L, 469.69L, 3364, 0, 3.215577588L, 72.147L, 177, 590, 55000, 200, 500,
                            144, 469, {0.0562267L, -0.0037496L, -0.0029861L}, kSigmaExp125};
const TConstantSet kHydrogen{65, 8.31434L, 33.19L, 1315.2L, 0, 14.936L, 2.01594L, 13.95L, 500, 40000, 20, 50,
                             13.95L, 33.2L, {0.0064906L, 0.00051694L, -0.0026287L}, kSigmaExp125};
const TConstantSet kCarbonMonoxide{67, 8.31431L, 132.8L, 3493.5L, 0, 10.85L, 28.001L, 68.127L, 1000, 30000, 75, 225,
                                   68.1271L, kAtTCrit, {0.0350998L, -0.0093076L, -0.0017393L}, kSigmaExp125};
const TConstantSet kHexane{68, 8.315952424L, 507.85L, 3058, 0, 2.715922819L, 86.172L, 222.04L, 644, 55000, 250, 550,
                           177.83L, kAtTCrit, {0.0522937L, 0.0061685L, -0.0035869L}, kSigmaExp125};
const TConstantSet kR23{49, 8.31451L, 299.2793L, 4827.3L, 0.001901491339657693529L, 0, 70.014L, 118.02L, 475, 120000,
                        160, 400, kAtTMin, kAtTCrit, {0.06562L, 0, 0}, {1.29L, 1, 1}};
const TConstantSet kR123{17, 8.31451L, 456.831L, 3668, 0.0018181818181818181818L, 0, 152.93L, 166, 525, 40000, 200,
                         500, kAtTMin, kAtTCrit, {0.05602L, 0, 0}, {1.235L, 1, 1}};
const TConstantSet kR125{73, 8.314471L, 339.165L, 3618, 0.0017605633802816901408L, 0, 120.022L, 172.52L, 440, 70000,
                         200, 400, kAtTMin, kAtTCrit, {0.0526L, 0, 0}, {1.24L, 1, 1}};
const TConstantSet kButane{54, 8.31434L, 425.16L, 3796, 0.0043888523151195962255L, 0, 58.125L, 134.86L, 500, 70000,
                           200, 500, 134.9L, 425.16L, {0.0550822L, -0.0025019L, -0.0037758L}, kSigmaExp125};
const TConstantSet kIsobutane{53, 8.31434L, 407.85L, 3640, 0.004457072817427154716L, 0, 58.125L, 113.55L, 600, 35000,
                              200, 500, 113.54L, 408, {0.0500587L, 0.0040246L, -0.00334L}, kSigmaExp125};
const TConstantSet kPropane{52, 8.31434L, 369.85L, 4247.66L, 0.0045353530772370629053L, 0, 44.098L, 85.47L, 600,
                            100000, 200, 500, 86, 369.8L, {0.0551756L, -0.00786L, 0.0021428L}, kSigmaExp125};

// ---- Transport family A blocks ---------------------------------------------

const TTransportConstantsA kNeonTransport{
    2,  27, 1000, {0.002920369L, 0.000201711L, -1.797972e-7L, 8.466614e-11L},
    26, 44, {0.4158779L, -0.02383733L, 0.0006923518L, -7.78127e-6L},
    21, 27, 1000, {1522462, 132953.6L, -121.0937L, 0.05751615L},
    25, 44, {932.9838L, -56.47833L, 1.265551L, -0.01027686L}};
const TTransportConstantsA kXenonTransport{2,   200, 1500, {0.0004123846L, 1.816733e-5L, -3.145182e-9L, 0},
                                           173, 175, {0.068L, 0, 0, 0},
                                           21,  120, 1500, {1167022, 78269.1L, -15.88055L, 0},
                                           173, 175, {444, 0, 0, 0}};
const TTransportConstantsA kIsopentaneTransport{2,   -1,  -1, {-0.0009231946L, 2.687541e-5L, 1.487888e-7L, 0},
                                                -1,  -1,  {0.3715454L, -0.001095929L, 6.832366e-8L, 0},
                                                21,  273, 500, {1016651, 18752.28L, 6.19811L, 0},
                                                200, 300, {12785.53L, -127.8772L, 0.4442108L, -0.0005257374L}};
const TTransportConstantsA kEthyleneTransport{2,   169, 475, {-0.0009231946L, 2.687541e-5L, 1.487888e-7L, 0},
                                              104, 270, {0.3715454L, -0.001095929L, 6.832366e-8L, 0},
                                              21,  169, 475, {-1373599, 45071.27L, -20.15093L, 0},
                                              110, 270, {3111.31L, -39.82256L, 0.1774713L, -0.0002671139L}};
const TTransportConstantsA kPropyleneTransport{
    2,   200, 600, {-0.009336824L, 6.184987e-5L, 8.439854e-8L, 0},
    100, 360, {0.2813954L, -0.0007749675L, 1.266735e-6L, -1.902468e-9L},
    22,  225, 575, {-1122706, 36131.15L, -11.43829L, 0},
    100, 325, {196.2013L, -96733.38L, 14849900, 1.304392e9L}};
const TTransportConstantsA kRC318Transport{2,   233, 575, {-0.00830294L, 6.877231e-5L, 0, 0},
                                           230, 360, {0.1404283L, -0.0001724551L, -2.612388e-7L, 0},
                                           21,  232, 575, {246032.9L, 37866.96L, 0, 0},
                                           290, 375, {4024.914L, -19.95172L, 0.02521645L, 0}};
const TTransportConstantsA kMethanolTransport{2,    -999, -999, {-0.00830294L, 6.877231e-5L, 0, 0},
                                              290,  350,  {0.2207L, -0.000075L, 0, 0},
                                              21,   0,    0, {246032.9L, 37866.96L, 0, 0},
                                              -999, 350,  {0, -0.000075L, 0.02521645L, 0}};
const TTransportConstantsA kPentaneTransport{2,   290, 600, {-0.004740728L, 3.174056e-5L, 1.066017e-7L, 0},
                                             144, 470, {0.2127936L, -0.0002958655L, -8.424014e-8L, 0},
                                             21,  290, 1000, {-1815619, 31842.51L, -10.88013L, 0},
                                             177, 470, {5969.232L, -46.79928L, 0.1258519L, -0.0001136323L}};
const TTransportConstantsA kHydrogenTransport{2,  14, 1000, {0.005538174L, 0.0006360428L, -2.058751e-7L, 0},
                                              14, 32, {-0.2258847L, 0.03837044L, -0.001454693L, 1.755615e-5L},
                                              21, 18, 1000, {749528.5L, 35234.07L, -29.31211L, 0.01363444L},
                                              14, 32, {111.494L, -10.5763L, 0.3761205L, -0.004680285L}};
const TTransportConstantsA kCarbonMonoxideTransport{
    2,  70, 1000, {0.0001137922L, 0.0001090438L, -8.111346e-8L, 3.391962e-11L},
    70, 130, {0.275452L, -0.001566155L, -1.149184e-6L, 0},
    21, 70, 1000, {273744.5L, 71908.55L, -53.26172L, 0.02160956L},
    70, 130, {2095.326L, -51.0894L, 0.4480442L, -0.001354604L}};
const TTransportConstantsA kHexaneTransport{
    2,   222,     644, {-0.005009562L, 3.464424e-5L, 8.988663e-8L, 0},
    222, 505,     {0.2700711L, -0.0007038558L, 9.127346e-7L, -5.91038e-10L},
    21,  222.01L, 644, {-0.5348299L, 0.02472961L, -3.438549e-6L, 0},
    222, 505,     {5970.291L, -41.38045L, 0.09860561L, -7.923934e-5L}};
const TTransportConstantsA kR123Transport{2,   220, 620, {-0.0011109L, 1.6959e-5L, 7.7341e-8L, -4.9502e-11L},
                                          220, 450, {0.032973L, 0.00087614L, -3.3552e-6L, 3.2717e-9L},
                                          21,  220, 620, {-390290, 35998, 5.0061L, -0.011163L},
                                          220, 450, {13297, -99.562L, 0.25538L, -0.0002206L}};

// The reference offsets need the whole model: a fluid whose parts are not
// all built keeps them 0 (the factory does not give it out).
TGeneralEosSubstance* Finish(TGeneralEosSubstance* o, const TSecondGroupModel& model) {
  if (model.Complete()) InitGeneralEos(*o);
  return o;
}

TGeneralEosSubstance* FamilyA(const TSecondGroupModel& model, const TConstantSet& c, const TTransportConstantsA& t) {
  auto* o = new TSecondGroupFamilyAEos(model);
  WriteConstants(*o, c);
  o->Transport = t;
  return Finish(o, model);
}

TGeneralEosSubstance* Short(const TSecondGroupModel& model, const TConstantSet& c) {
  auto* o = new TSecondGroupShortEos(model);
  WriteConstants(*o, c);
  return Finish(o, model);
}

// A fluid whose equation data sit in the object (helmholtz_mbwr_fluids.h).
TGeneralEosSubstance* InObject(const TConstantSet& c, const TMbwrTables& tables) {
  auto* o = new TInObjectMbwrEos();
  WriteConstants(*o, c);
  static_cast<TFamilyCFields&>(*o) = *tables.data;
  o->Tables = &tables;
  InitGeneralEos(*o);
  return o;
}

}  // namespace

bool SecondGroupModelComplete(const TGeneralEosSubstance& o) {
  if (const auto* a = dynamic_cast<const TSecondGroupFamilyAEos*>(&o)) return a->Model().Complete();
  if (const auto* b = dynamic_cast<const TSecondGroupFamilyBEos*>(&o)) return b->Model().Complete();
  if (const auto* s = dynamic_cast<const TSecondGroupShortEos*>(&o)) return s->Model().Complete();
  if (dynamic_cast<const TInObjectMbwrEos*>(&o) != nullptr) return true;
  return false;
}

TGeneralEosSubstance* CreateEosNeon() { return FamilyA(kNeonModel, kNeon, kNeonTransport); }
TGeneralEosSubstance* CreateEosXenon() { return FamilyA(kXenonModel, kXenon, kXenonTransport); }
TGeneralEosSubstance* CreateEosIsopentane() { return FamilyA(kIsopentaneModel, kIsopentane, kIsopentaneTransport); }
TGeneralEosSubstance* CreateEosEthylene() { return FamilyA(kEthyleneModel, kEthylene, kEthyleneTransport); }
TGeneralEosSubstance* CreateEosPropylene() { return FamilyA(kPropyleneModel, kPropylene, kPropyleneTransport); }
TGeneralEosSubstance* CreateEosRC318() { return FamilyA(kRC318Model, kRC318, kRC318Transport); }
TGeneralEosSubstance* CreateEosMethanol() { return FamilyA(kMethanolModel, kMethanol, kMethanolTransport); }
TGeneralEosSubstance* CreateEosPentane() { return FamilyA(kPentaneModel, kPentane, kPentaneTransport); }
TGeneralEosSubstance* CreateEosHydrogen() { return FamilyA(kHydrogenModel, kHydrogen, kHydrogenTransport); }
TGeneralEosSubstance* CreateEosCarbonMonoxide() {
  return FamilyA(kCarbonMonoxideModel, kCarbonMonoxide, kCarbonMonoxideTransport);
}
TGeneralEosSubstance* CreateEosHexane() { return FamilyA(kHexaneModel, kHexane, kHexaneTransport); }
TGeneralEosSubstance* CreateEosR23() { return Short(kR23Model, kR23); }
TGeneralEosSubstance* CreateEosR125() { return Short(kR125Model, kR125); }

// R123: the general family's blocks, then the refrigerant family's core
// volume (75.69, -25, 12.11) and roughness factor (1.55, 0).
TGeneralEosSubstance* CreateEosR123() {
  auto* o = new TSecondGroupFamilyBEos(kR123Model);
  WriteConstants(*o, kR123);
  o->Transport = kR123Transport;
  o->CoreVolumeCoef = {75.69L, -25, 12.11L};
  o->CondRoughnessCoef = {1.55L, 0};
  return Finish(o, kR123Model);
}

// The in-object fluids: the constant set, then the equation data.
TGeneralEosSubstance* CreateEosButane() { return InObject(kButane, ButaneMbwrTables); }
TGeneralEosSubstance* CreateEosIsobutane() { return InObject(kIsobutane, IsobutaneMbwrTables); }
TGeneralEosSubstance* CreateEosPropane() { return InObject(kPropane, PropaneMbwrTables); }

}  // namespace voq
