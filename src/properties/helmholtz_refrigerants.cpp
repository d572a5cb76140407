#include "properties/helmholtz_refrigerants.h"

#include <array>
#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

constexpr int32_t kR134aRow = 47;
constexpr int32_t kR22Row = 57;
constexpr int32_t kR32Row = 37;
constexpr int32_t kR152aRow = 58;

// The parts of one constant set that differ between the four fluids.
struct TRefrigerantConstants {
  int32_t row;
  Extended plotTLow, plotTHigh;
  Extended sigmaCoef, sigmaExp;
  Extended gasConstant, tCrit, pCrit, rhoCrit, molarMass, tMin, tMax, pMax;
};

// Transport constants of the refrigerant family: the general family's
// dilute-gas and liquid fits, the core volume and the roughness factor.
struct TRefrigerantTransport {
  TTransportConstantsA general;
  std::array<Extended, 3> coreVolume;
  std::array<Extended, 2> roughness;
};

void SetConstants(TRefrigerantEos& o, const TRefrigerantConstants& c, const TRefrigerantTransport& t) {
  InitSubstanceBase(o);
  o.CatalogRow = c.row;
  o.PlotTLow = c.plotTLow;
  o.PlotTHigh = c.plotTHigh;
  o.SigmaCoef = {c.sigmaCoef, 0, 0};
  o.SigmaExp = {c.sigmaExp, 1, 1};
  o.TwoPhaseDewPressure = 0;
  o.GasConstant = c.gasConstant;
  o.TCrit = c.tCrit;
  o.PCrit = c.pCrit;
  o.VCrit = 1 / c.rhoCrit;
  o.MolarMassValue = c.molarMass;
  o.TMin = c.tMin;
  o.TMax = c.tMax;
  o.PMax = c.pMax;
  // The surface-tension correlation holds from the triple point to the
  // critical point unless the fluid says otherwise.
  o.SigmaTMin = c.tMin;
  o.SigmaTMax = c.tCrit;
  o.Transport = t.general;
  o.CoreVolumeCoef = t.coreVolume;
  o.CondRoughnessCoef = t.roughness;
}

// Sum of a_i theta^e_i over real exponents (0 for theta at or below 0).
template <size_t N>
Extended PowerSum(const std::array<Extended, N>& a, const std::array<Extended, N>& e, Extended theta) {
  Extended sum = 0;
  for (size_t i = 0; i < N; ++i) sum += a[i] * PowerReal(theta, e[i]);
  return sum;
}

}  // namespace

// ---- Shared Helmholtz slots ---------------------------------------------

Extended TRefrigerantEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(residual_, THelmholtzPart::kValue, tau, delta);
}
Extended TRefrigerantEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(residual_, THelmholtzPart::kDDelta, tau, delta);
}
Extended TRefrigerantEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(residual_, THelmholtzPart::kDTau, tau, delta);
}
TEosDerivatives TRefrigerantEos::Derivatives(Extended tau, Extended delta) {
  return EvaluateHelmholtz(ideal_, residual_, tau, delta);
}

Extended TR152aEos::AlphaR(Extended tau, Extended delta) {
  return TRefrigerantEos::AlphaR(tau, delta) +
         SumRealExponentialTerms(R152aRealExponentialTerms, THelmholtzPart::kValue, tau, delta);
}
Extended TR152aEos::AlphaRDelta(Extended tau, Extended delta) {
  return TRefrigerantEos::AlphaRDelta(tau, delta) +
         SumRealExponentialTerms(R152aRealExponentialTerms, THelmholtzPart::kDDelta, tau, delta);
}
Extended TR152aEos::AlphaRTau(Extended tau, Extended delta) {
  return TRefrigerantEos::AlphaRTau(tau, delta) +
         SumRealExponentialTerms(R152aRealExponentialTerms, THelmholtzPart::kDTau, tau, delta);
}

// The one-pass sums of the ideal part and the polynomial terms, plus the
// real-d terms a = n delta^d tau^t f, f = exp(-delta^l), L = l delta^l:
//   a_delta = a (d - L)/delta,  a_deltadelta = a ((d - L)(d - 1 - L) - l L)/delta^2,
//   a_tau = a t/tau,  a_tautau = a t (t - 1)/tau^2,  a_deltatau = a_delta t/tau.
TEosDerivatives TR152aEos::Derivatives(Extended tau, Extended delta) {
  TEosDerivatives r = TRefrigerantEos::Derivatives(tau, delta);
  const TRealExponentialTable& x = R152aRealExponentialTerms;
  const double logTau = std::log(static_cast<double>(tau));
  const double logDelta = std::log(static_cast<double>(delta));
  const double invTau = 1 / static_cast<double>(tau);
  const double invDelta = 1 / static_cast<double>(delta);
  double aR = 0, aRD = 0, aRDD = 0, aRT = 0, aRTT = 0, aRDT = 0;
  for (size_t i = 0; i < x.n.size(); ++i) {
    const auto d = static_cast<double>(x.d[i]);
    const auto t = static_cast<double>(x.t[i]);
    const int32_t l = x.l[i];
    const double deltaL = std::exp(l * logDelta);
    const double L = l * deltaL;
    const double a = static_cast<double>(x.n[i]) * std::exp(d * logDelta + t * logTau - deltaL);
    const double ad = a * (d - L) * invDelta;
    aR += a;
    aRD += ad;
    aRDD += a * ((d - L) * (d - 1 - L) - l * L) * invDelta * invDelta;
    aRT += a * t * invTau;
    aRTT += a * t * (t - 1) * invTau * invTau;
    aRDT += ad * t * invTau;
  }
  r.aR += aR;
  r.aRDelta += aRD;
  r.aRDeltaDelta += aRDD;
  r.aRTau += aRT;
  r.aRTauTau += aRTT;
  r.aRDeltaTau += aRDT;
  return r;
}

// ---- R134a: ancillaries on theta = 1 - T/374.18 K ---------------------------

Extended TR134aEos::SatPressure(Extended T, Extended) {
  const Extended theta = Theta(T, 374.18L);
  return PCrit * std::exp((2.311791L * PowerReal(theta, 1.5L) - 7.686556L * theta - 2.039554L * theta * theta -
                           3.583758L * IntPower(4, theta)) /
                          (T / 374.18L));
}

// Above 374.18 K the real powers vanish and the start is 518.2 kg/m3.
Extended TR134aEos::SatLiquidDensity(Extended T) {
  static constexpr std::array<Extended, 3> kB{884.13L, 485.84L, 193.29L};
  static constexpr std::array<Extended, 3> kE{1.0L / 3, 2.0L / 3, 10.0L / 3};
  const Extended start = 518.2L + PowerSum(kB, kE, Theta(T, 374.18L));
  return RefineSatDensity(*this, T, start, 0);
}

// On |theta|, so that the start is defined above 374.18 K too.
Extended TR134aEos::SatVaporDensity(Extended T) {
  static constexpr std::array<Extended, 5> kC{-2.837294L, -7.875988L, 4.478586L, -14.140125L, -52.361297L};
  static constexpr std::array<Extended, 5> kE{1.0L / 3, 2.0L / 3, 0.5L, 2.25L, 5.5L};
  const Extended start = 516.86L * std::exp(PowerSum(kC, kE, std::fabs(Theta(T, 374.18L))));
  return RefineSatDensity(*this, T, start, 1);
}

TGeneralEosSubstance* CreateEosR134a() {
  auto* o = new TR134aEos();
  SetConstants(*o, {kR134aRow, 220, 500, 0.06015L, 1.2596L, 8.3144L, 374.1799L, 4059, 508, 102.032L, 169.85L, 460, 70000},
               {{2, 230, 475, {-0.024142L, 1.7633e-4L, -1.6387e-7L, -6.7929e-13L}, 230, 375,
                 {0.17091L, 1.5035e-4L, -2.274e-6L, 2.8021e-9L}, 21, 230, 475, {-746310, 43317, 0.044895L, -0.013643L},
                 230, 375, {3902, -25.827L, 0.059549L, -4.7095e-5L}},
                {50.74L, -7.48L, 0},
                {1.74L, 0.74L}});
  o->SigmaTMin = 170;
  o->SigmaTMax = 374.1L;
  InitGeneralEos(*o);
  return o;
}

// ---- R22 -------------------------------------------------------------------

Extended TR22Eos::SatPressure(Extended T, Extended) {
  const Extended theta = Theta(T, TCrit);
  return PCrit * std::exp((2.13594632671L * PowerReal(theta, 1.5L) - 7.12505905806L * theta -
                           1.85470171486L * theta * theta - 3.18937899429L * PowerReal(theta, 4.5L) +
                           7.65063249703L * PowerReal(theta, 12.5L)) /
                          (T / TCrit));
}

Extended TR22Eos::SatLiquidDensity(Extended T) {
  static constexpr std::array<Extended, 4> kB{1.66782802662L, 1.10000518217L, 0.573361957841L, 0.20527063112L};
  static constexpr std::array<Extended, 4> kE{1.0L / 3, 2.0L / 3, 4.0L / 3, 13.0L / 3};
  const Extended theta = Theta(T, TCrit);
  const Extended start = (1 + PowerSum(kB, kE, theta) - 0.625414021491L * theta) / VCrit;
  return RefineSatDensity(*this, T, start, 0);
}

Extended TR22Eos::SatVaporDensity(Extended T) {
  static constexpr std::array<Extended, 4> kC{-1.69481229867L, -2.25856327934L, 13.5492947722L, 38.956980898L};
  static constexpr std::array<Extended, 4> kE{1.0L / 3, 2.0L / 3, 7.0L / 3, 11.0L / 3};
  const Extended theta = Theta(T, TCrit);
  const Extended start = std::exp(PowerSum(kC, kE, theta) + 90.5505883904L * theta + 33.6728099593L * theta * theta +
                                  17.6998069847L * IntPower(8, theta) + 92.6025375349L * std::log(T / TCrit)) /
                         VCrit;
  return RefineSatDensity(*this, T, start, 1);
}

TGeneralEosSubstance* CreateEosR22() {
  auto* o = new TR22Eos();
  SetConstants(*o, {kR22Row, 200, 500, 0.061918L, 1.2348L, 8.31451L, 369.28L, 4988.5L, 520, 86.4686L, 116, 550.001L,
                    200000},
               {{2, 220, 645, {-0.007L, 6e-5L, 0, 0}, 144, 340, {0.23530925L, -4.95e-4L, 0, 0}, 11, 220, 440,
                 {6.1943e-7L, 2.39551e-4L, -0.00760574L, 0}, 170, 360, {5765.2L, -53.815L, 0.17657L, -1.9663e-4L}},
                {51.8L, -38.31L, 22.85L},
                {1.62L, 0.44L}});
  InitGeneralEos(*o);
  return o;
}

// ---- R32: ancillaries on theta = 1 - T/351.255 K and 5781.16 kPa ------------

Extended TR32Eos::SatPressure(Extended T, Extended) {
  const Extended theta = Theta(T, 351.255L);
  return 5781.16L * std::exp((1.6886L * PowerReal(theta, 1.5L) - 7.44892L * theta - 1.908L * PowerReal(theta, 2.5L) -
                              2.81L * IntPower(5, theta)) /
                             (T / 351.255L));
}

Extended TR32Eos::SatLiquidDensity(Extended T) {
  static constexpr std::array<Extended, 3> kB{434.55L, 1296.53L, 366.84L};
  static constexpr std::array<Extended, 3> kE{0.25L, 2.0L / 3, 5.0L / 3};
  const Extended theta = Theta(T, 351.255L);
  return RefineSatDensity(*this, T, 424 + PowerSum(kB, kE, theta) - 777.49L * theta, 0);
}

// Below 220 K the vapour is near enough to an ideal gas at the vapour
// pressure.
Extended TR32Eos::SatVaporDensity(Extended T) {
  static constexpr std::array<Extended, 4> kC{-1.969L, -2.0222L, -6.7409L, -27.479L};
  static constexpr std::array<Extended, 4> kE{1.0L / 3, 2.0L / 3, 4.0L / 3, 11.0L / 3};
  const Extended start = T > 220 ? 424 * std::exp(PowerSum(kC, kE, Theta(T, 351.255L)))
                                 : SatPressure(T, 0) * MolarMassValue / (8.314471L * T);
  return RefineSatDensity(*this, T, start, 1);
}

TGeneralEosSubstance* CreateEosR32() {
  auto* o = new TR32Eos();
  SetConstants(*o, {kR32Row, 140, 400, 0.07216L, 1.252L, 8.3144L, 351.255L, 5784, 424, 52.024L, 136.34L, 435, 70000},
               {{2, 190, 350, {0.00229059183L, 7.2935466e-6L, 1.26162096e-7L, -5.80680852e-11L}, 190, 350,
                 {0.233370166L, 0.00172824123L, -1.18118087e-5L, 1.6325071e-8L}, 21, 190, 350,
                 {575246.411L, 35421.9975L, 26.7145938L, -0.0503600143L}, 190, 350,
                 {1886.35923L, -12.218996L, 0.0268708601L, -1.910348e-5L}},
                {33.07L, -18.61L, 9.26L},
                {1.75L, 0.44L}});
  InitGeneralEos(*o);
  return o;
}

// ---- R152a -----------------------------------------------------------------

// P = PCrit exp((TCrit/T) sum a_i theta^(k_i/2)).
Extended TR152aEos::SatPressure(Extended T, Extended) {
  static constexpr std::array<Extended, 6> kA{-7.45327148L, 2.15316333L,   -1.65433092L,
                                              -2.95084968L, -208.908493L, 149204765};
  static constexpr std::array<Extended, 6> kE{1, 1.5L, 2, 4, 15.5L, 36};
  const Extended theta = Theta(T, TCrit);
  // The integer powers keep their sign above the critical temperature.
  const Extended sum = kA[0] * theta + kA[1] * PowerReal(theta, kE[1]) + kA[2] * theta * theta +
                       kA[3] * IntPower(4, theta) + kA[4] * PowerReal(theta, kE[4]) + kA[5] * IntPower(36, theta);
  return PCrit * std::exp(TCrit / T * sum);
}

// (1 + sum b_i theta^(k_i/6))/VCrit.
Extended TR152aEos::SatLiquidDensity(Extended T) {
  static constexpr std::array<Extended, 7> kB{45.3931906L,  -490.92384L,  4905.17957L, -11257.9389L,
                                              9146.18119L,  -3891.76428L, 1547.38314L};
  static constexpr std::array<Extended, 7> kE{4.0L / 6, 1, 8.0L / 6, 1.5L, 10.0L / 6, 2, 13.0L / 6};
  const Extended start = (1 + PowerSum(kB, kE, Theta(T, TCrit))) / VCrit;
  return RefineSatDensity(*this, T, start, 0);
}

// exp(sum c_i theta^((k_i+1)/3) - 0.655407892 theta^0.325 + 107.600725
// ln(TCrit/T))/VCrit, returned as it stands.
Extended TR152aEos::SatVaporDensity(Extended T) {
  static constexpr std::array<Extended, 7> kC{-20.2698333L, -326.308568L, 480.243917L, -350.558489L,
                                              -128.120129L, -1289618.49L, 1565212.8L};
  static constexpr std::array<Extended, 7> kE{2.0L / 3, 4.0L / 3, 5.0L / 3, 2, 16.0L / 3, 59.0L / 3, 20};
  const Extended theta = Theta(T, TCrit);
  return std::exp(PowerSum(kC, kE, theta) - 0.655407892L * PowerReal(theta, 0.325L) +
                  107.600725L * std::log(TCrit / T)) /
         VCrit;
}

TGeneralEosSubstance* CreateEosR152a() {
  auto* o = new TR152aEos();
  SetConstants(*o, {kR152aRow, 200, 425, 0.059L, 1.221L, 8.314471L, 386.41L, 4519.8L, 368, 66.051L, 213, 433.01L,
                    20000},
               {{2, 160, 440, {-0.014942L, 9.733e-5L, 0, 0}, 160, 440, {0.27878L, -7.5896e-4L, 5.8688e-7L, 0}, 21, 160,
                 440, {-469100, 35962, 0, 0}, 180, 370, {14593, -138, 44.063e-2L, -4.698e-4L}},
                {47.63L, -16.91L, 5.67L},
                {1.65L, 0.75L}});
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
