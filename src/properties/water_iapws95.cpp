#include "properties/water_iapws95.h"

#include <array>
#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kWaterRow = 56;
constexpr Extended kWaterTCrit = 647.096L;                   // K
constexpr Extended kWaterVCrit = 0.00310559006211180124L;    // m3/kg, 1/322
constexpr int32_t kT = 1, kU = 4, kV = 6;
// Exponentials below exp(-700) are taken as 0 rather than left to underflow.
constexpr Extended kExpLimit = 700;

// Saturation ancillaries (IAPWS saturation equations); theta = 1 - T/TCrit.
constexpr std::array<Extended, 6> kVaporPressureA{-7.85951783L, 1.84408259L,  -11.7866497L,
                                                  22.6807411L,  -15.9618719L, 1.80122502L};
constexpr std::array<Extended, 6> kVaporPressureK{1, 1.5L, 3, 3.5L, 4, 7.5L};
constexpr std::array<Extended, 6> kLiquidDensityB{1.99274064L, 1.09965342L, -0.510839303L,
                                                  -1.75493479L, -45.5170352L, -674694.45L};
constexpr std::array<Extended, 6> kVaporDensityC{-2.0315024L,  -2.6830294L,  -5.38626492L,
                                                 -17.2991605L, -44.7586581L, -63.9201063L};

// Reducing constants of the IAPS 1985 transport formulations.
constexpr Extended kTransportT = 647.226L;      // K
constexpr Extended kTransportRho = 317.763L;    // kg/m3
constexpr Extended kTransportP = 22.115L;       // MPa
constexpr Extended kViscosityScale = 5.5071e-5L;  // Pa-s
constexpr Extended kConductivityScale = 0.4945L;  // W/m-K

bool Selected(uint32_t selection, uint32_t flag) { return (selection & flag) != 0; }

bool TwoPhase(Extended x) { return x > 0.001L && x < 0.999L; }

std::string FormatForMessage(Extended value) { return FormatValue(TDisplayFormat{kStyleAutomatic, 4}, value); }

// The term sums, in either real type: 8-byte reals for the state solvers
// (the model slots), 10-byte reals for the published API and the analytic
// specific heats.
template <class R>
struct TParts {
  R phi = 0, d = 0, dd = 0, t = 0, tt = 0, dt = 0;
};

template <class R>
R PowerR(R x, R y) {
  return x <= 0 ? R(0) : std::exp(y * std::log(x));
}

template <class R>
R IntPowerR(int32_t n, R x) {
  R r = 1;
  const R base = n < 0 ? 1 / x : x;
  for (int32_t m = n < 0 ? -n : n; m > 0; --m) r *= base;
  return r;
}

// Sums of the 44 exponential terms with integer d, t and l: the powers of
// delta and tau are tables of repeated products, one exponential per l.
template <class R>
void AddExponentialTerms(R delta, R tau, uint32_t sel, TParts<R>& r) {
  std::array<R, 16> dPow{};
  dPow[0] = 1;
  for (size_t i = 1; i < dPow.size(); ++i) dPow[i] = dPow[i - 1] * delta;
  std::array<R, 51> tPow{};
  tPow[0] = 1;
  for (size_t i = 1; i < tPow.size(); ++i) tPow[i] = tPow[i - 1] * tau;
  // exp(-delta^l) for l = 1..6; 0 where delta^l exceeds the limit.
  std::array<R, 7> expL{};
  std::array<R, 7> deltaL{};
  for (int32_t l : {1, 2, 3, 4, 6}) {
    const auto li = static_cast<size_t>(l);
    deltaL[li] = dPow[li];
    expL[li] = dPow[li] > static_cast<R>(kExpLimit) ? 0 : std::exp(-dPow[li]);
  }
  const bool wantD = Selected(sel, kWaterPhiD) || Selected(sel, kWaterPhiDT);
  for (size_t i = 0; i < WaterExpN.size(); ++i) {
    const auto l = static_cast<size_t>(WaterExpL[i]);
    if (expL[l] == 0) continue;
    const int32_t d = WaterExpD[i];
    const int32_t t = WaterExpT[i];
    const R nE = static_cast<R>(WaterExpN[i]) * expL[l];
    const R dl = static_cast<R>(l) * deltaL[l];  // l delta^l
    const R base = nE * dPow[static_cast<size_t>(d)] * tPow[static_cast<size_t>(t)];
    if (Selected(sel, kWaterPhi)) r.phi += base;
    if (wantD || Selected(sel, kWaterPhiDD)) {
      const R dTerm = nE * dPow[static_cast<size_t>(d - 1)] * tPow[static_cast<size_t>(t)];
      if (Selected(sel, kWaterPhiD)) r.d += dTerm * (d - dl);
      if (Selected(sel, kWaterPhiDD)) {
        const R dd = d == 1 ? dTerm / delta : nE * dPow[static_cast<size_t>(d - 2)] * tPow[static_cast<size_t>(t)];
        r.dd += dd * ((d - dl) * (d - 1 - dl) - static_cast<R>(l) * dl);
      }
      if (Selected(sel, kWaterPhiDT) && t > 0) {
        r.dt += nE * dPow[static_cast<size_t>(d - 1)] * t * tPow[static_cast<size_t>(t - 1)] * (d - dl);
      }
    }
    if (Selected(sel, kWaterPhiT) && t > 0) r.t += nE * dPow[static_cast<size_t>(d)] * t * tPow[static_cast<size_t>(t - 1)];
    if (Selected(sel, kWaterPhiTT) && t > 1) {
      r.tt += nE * dPow[static_cast<size_t>(d)] * t * (t - 1) * tPow[static_cast<size_t>(t - 2)];
    }
  }
}

// The polynomial terms n delta^d tau^t (t real).
template <class R>
void AddPolynomialTerms(R delta, R tau, uint32_t sel, TParts<R>& r) {
  for (size_t i = 0; i < WaterPolyN.size(); ++i) {
    const int32_t d = WaterPolyD[i];
    const R t = static_cast<R>(WaterPolyT[i]);
    // n delta^d tau^t; the derivatives divide by delta and tau.
    const R term = static_cast<R>(WaterPolyN[i]) * IntPowerR<R>(d, delta) * PowerR<R>(tau, t);
    if (Selected(sel, kWaterPhi)) r.phi += term;
    if (Selected(sel, kWaterPhiD)) r.d += term * d / delta;
    if (Selected(sel, kWaterPhiDD)) r.dd += term * d * (d - 1) / (delta * delta);
    if (Selected(sel, kWaterPhiT)) r.t += term * t / tau;
    if (Selected(sel, kWaterPhiTT)) r.tt += term * t * (t - 1) / (tau * tau);
    if (Selected(sel, kWaterPhiDT)) r.dt += term * d * t / (delta * tau);
  }
}

// The Gaussian bell terms n delta^d tau^t exp(-alpha (delta-eps)^2 - beta (tau-gamma)^2).
template <class R>
void AddGaussianTerms(R delta, R tau, uint32_t sel, TParts<R>& r) {
  for (size_t i = 0; i < WaterGaussN.size(); ++i) {
    const R alpha = WaterGaussAlpha[i];
    const R beta = WaterGaussBeta[i];
    const R de = delta - WaterGaussEpsilon[i];
    const R tg = tau - static_cast<R>(WaterGaussGamma[i]);
    const R exponent = alpha * de * de + beta * tg * tg;
    if (exponent > static_cast<R>(kExpLimit)) continue;
    const int32_t d = WaterGaussD[i];
    const int32_t t = WaterGaussT[i];
    const R term = static_cast<R>(WaterGaussN[i]) * IntPowerR<R>(d, delta) * IntPowerR<R>(t, tau) * std::exp(-exponent);
    // d ln(term)/d delta and d ln(term)/d tau.
    const R fd = d / delta - 2 * alpha * de;
    const R ft = t / tau - 2 * beta * tg;
    if (Selected(sel, kWaterPhi)) r.phi += term;
    if (Selected(sel, kWaterPhiD)) r.d += term * fd;
    if (Selected(sel, kWaterPhiDD)) r.dd += term * (fd * fd - d / (delta * delta) - 2 * alpha);
    if (Selected(sel, kWaterPhiT)) r.t += term * ft;
    if (Selected(sel, kWaterPhiTT)) r.tt += term * (ft * ft - t / (tau * tau) - 2 * beta);
    if (Selected(sel, kWaterPhiDT)) r.dt += term * fd * ft;
  }
}

// The two non-analytic critical terms n Delta^b delta psi with
//   Delta = theta^2 + B ((delta-1)^2)^a, theta = (1-tau) + A ((delta-1)^2)^(1/(2 beta)),
//   psi = exp(-C (delta-1)^2 - D (tau-1)^2),
// and the derivatives of the release's table of them.
template <class R>
void AddNonAnalyticTerms(R delta, R tau, uint32_t sel, TParts<R>& r) {
  const R dm = delta - 1;
  const R dm2 = dm * dm;
  const R tm = tau - 1;
  for (size_t i = 0; i < WaterNonAnalyticN.size(); ++i) {
    const R a = static_cast<R>(WaterNonAnalyticA[i]);
    const R b = static_cast<R>(WaterNonAnalyticB[i]);
    const R B = static_cast<R>(WaterNonAnalyticBB[i]);
    const R C = static_cast<R>(WaterNonAnalyticC[i]);
    const R D = static_cast<R>(WaterNonAnalyticD[i]);
    const R A = static_cast<R>(WaterNonAnalyticAA[i]);
    const R beta = static_cast<R>(WaterNonAnalyticBeta[i]);
    const R n = static_cast<R>(WaterNonAnalyticN[i]);
    const R psiExponent = -C * dm2 - D * tm * tm;
    if (psiExponent < -static_cast<R>(kExpLimit)) continue;
    const R psi = std::exp(psiExponent);
    const R theta = (1 - tau) + A * PowerR<R>(dm2, 1 / (2 * beta));
    const R Delta = theta * theta + B * PowerR<R>(dm2, a);
    const R DeltaB = PowerR<R>(Delta, b);
    // Delta^(b-1) and Delta^(b-2): 0 at Delta = 0 (PowerReal's 0 for a base <= 0).
    const R DeltaB1 = PowerR<R>(Delta, b - 1);
    const R DeltaB2 = PowerR<R>(Delta, b - 2);
    const R q = PowerR<R>(dm2, 1 / (2 * beta) - 1);
    const R dDelta = dm * (A * theta * (2 / beta) * q + 2 * B * a * PowerR<R>(dm2, a - 1));
    const R dDeltaB = b * DeltaB1 * dDelta;
    const R psiD = -2 * C * dm * psi;
    const R psiT = -2 * D * tm * psi;
    const R tDeltaB = -2 * theta * b * DeltaB1;
    if (Selected(sel, kWaterPhi)) r.phi += n * DeltaB * delta * psi;
    if (Selected(sel, kWaterPhiD)) r.d += n * (DeltaB * (psi + delta * psiD) + dDeltaB * delta * psi);
    if (Selected(sel, kWaterPhiDD)) {
      R ddDelta = 0;
      if (dm2 != 0) {
        ddDelta = dDelta / dm +
                  dm2 * (4 * B * a * (a - 1) * PowerR<R>(dm2, a - 2) + 2 * A * A * (1 / (beta * beta)) * q * q +
                         A * theta * (4 / beta) * (1 / (2 * beta) - 1) * PowerR<R>(dm2, 1 / (2 * beta) - 2));
      }
      const R ddDeltaB = b * (DeltaB1 * ddDelta + (b - 1) * DeltaB2 * dDelta * dDelta);
      const R psiDD = (2 * C * dm2 - 1) * 2 * C * psi;
      r.dd += n * (DeltaB * (2 * psiD + delta * psiDD) + 2 * dDeltaB * (psi + delta * psiD) + ddDeltaB * delta * psi);
    }
    if (Selected(sel, kWaterPhiT)) r.t += n * delta * (tDeltaB * psi + DeltaB * psiT);
    if (Selected(sel, kWaterPhiTT)) {
      const R ttDeltaB = 2 * b * DeltaB1 + 4 * theta * theta * b * (b - 1) * DeltaB2;
      const R psiTT = (2 * D * tm * tm - 1) * 2 * D * psi;
      r.tt += n * delta * (ttDeltaB * psi + 2 * tDeltaB * psiT + DeltaB * psiTT);
    }
    if (Selected(sel, kWaterPhiDT)) {
      const R dtDeltaB = -A * b * (2 / beta) * DeltaB1 * dm * q - 2 * theta * b * (b - 1) * DeltaB2 * dDelta;
      const R psiDT = 4 * C * D * dm * tm * psi;
      r.dt += n * (DeltaB * (psiT + delta * psiDT) + delta * dDeltaB * psiT + tDeltaB * (psi + delta * psiD) +
                   dtDeltaB * delta * psi);
    }
  }
}

// sum a_i theta^k_i and sum k_i a_i theta^(k_i - 1) of the vapour-pressure
// equation, k = 1, 1.5, 3, 3.5, 4, 7.5: the half powers from sqrt(theta)
// and products (a theta at or below 0, above the critical point, keeps the
// general power, which is 0 there).
void VaporPressureSums(Extended theta, Extended& S, Extended& dS) {
  S = 0;
  dS = 0;
  if (theta > 0) {
    const Extended r = std::sqrt(theta);
    const Extended t2 = theta * theta;
    const Extended t3 = t2 * theta;
    const Extended t6 = t3 * t3;
    const std::array<Extended, 6> power{theta, theta * r, t3, t3 * r, t3 * theta, t6 * theta * r};
    const std::array<Extended, 6> lower{1, r, t2, t2 * r, t3, t6 * r};
    for (size_t i = 0; i < kVaporPressureA.size(); ++i) {
      S += kVaporPressureA[i] * power[i];
      dS += kVaporPressureK[i] * kVaporPressureA[i] * lower[i];
    }
    return;
  }
  for (size_t i = 0; i < kVaporPressureA.size(); ++i) {
    S += kVaporPressureA[i] * PowerReal(theta, kVaporPressureK[i]);
    dS += kVaporPressureK[i] * kVaporPressureA[i] * PowerReal(theta, kVaporPressureK[i] - 1);
  }
}

// sum coef_i theta^(k_i/m) for whole k_i, theta > 0: from root = theta^(1/m)
// by products; 0 powers of a theta at or below 0.
Extended RootPowerSum(const std::array<Extended, 6>& coef, const std::array<int32_t, 6>& k, Extended root) {
  Extended sum = 0;
  for (size_t i = 0; i < coef.size(); ++i) sum += coef[i] * IntPower(k[i], root);
  return sum;
}

// The state of a property call, solved as the shared slots do: asking for
// u, or h when u is one of the givens.
void SolveCallState(TGeneralEosSubstance& o, TPropertyArgumentRecord& a) {
  const int32_t wanted = (o.ArgKind[1] == kU || o.ArgKind[2] == kU) ? 3 : kU;
  SolveEosState(o, o.ArgCount, wanted, o.ArgKind[1], o.ArgKind[2], a.Value[1], a.Value[2]);
}

}  // namespace

namespace {

template <class R>
TParts<R> IdealParts(R delta, R tau, uint32_t sel) {
  TParts<R> r;
  if (Selected(sel, kWaterPhi)) {
    R phi = std::log(delta) + static_cast<R>(WaterIdealN1) + static_cast<R>(WaterIdealN2) * tau +
            static_cast<R>(WaterIdealN3) * std::log(tau);
    for (size_t i = 0; i < WaterIdealN.size(); ++i) {
      phi += static_cast<R>(WaterIdealN[i]) * std::log1p(-std::exp(-static_cast<R>(WaterIdealGamma[i]) * tau));
    }
    r.phi = phi;
  }
  if (Selected(sel, kWaterPhiD)) r.d = 1 / delta;
  if (Selected(sel, kWaterPhiDD)) r.dd = -1 / (delta * delta);
  if (Selected(sel, kWaterPhiT)) {
    R t = static_cast<R>(WaterIdealN2) + static_cast<R>(WaterIdealN3) / tau;
    for (size_t i = 0; i < WaterIdealN.size(); ++i) {
      const R g = static_cast<R>(WaterIdealGamma[i]);
      t += static_cast<R>(WaterIdealN[i]) * g * (1 / (1 - std::exp(-g * tau)) - 1);
    }
    r.t = t;
  }
  if (Selected(sel, kWaterPhiTT)) {
    R tt = -static_cast<R>(WaterIdealN3) / (tau * tau);
    for (size_t i = 0; i < WaterIdealN.size(); ++i) {
      const R g = static_cast<R>(WaterIdealGamma[i]);
      const R e = std::exp(-g * tau);
      tt -= static_cast<R>(WaterIdealN[i]) * g * g * e / ((1 - e) * (1 - e));
    }
    r.tt = tt;
  }
  return r;
}

template <class R>
TParts<R> ResidualParts(R delta, R tau, uint32_t sel) {
  TParts<R> r;
  AddPolynomialTerms(delta, tau, sel, r);
  AddExponentialTerms(delta, tau, sel, r);
  AddGaussianTerms(delta, tau, sel, r);
  AddNonAnalyticTerms(delta, tau, sel, r);
  return r;
}

template <class R>
TWaterHelmholtzParts ToExtended(const TParts<R>& p) {
  return TWaterHelmholtzParts{p.phi, p.d, p.dd, p.t, p.tt, p.dt};
}

}  // namespace

TWaterHelmholtzParts WaterIdealParts(Extended delta, Extended tau, uint32_t sel) {
  return ToExtended(IdealParts<Extended>(delta, tau, sel));
}

TWaterHelmholtzParts WaterResidualParts(Extended delta, Extended tau, uint32_t sel) {
  return ToExtended(ResidualParts<Extended>(delta, tau, sel));
}

TWaterHelmholtzParts WaterIdealPartsFast(Extended delta, Extended tau, uint32_t sel) {
  return ToExtended(IdealParts<double>(static_cast<double>(delta), static_cast<double>(tau), sel));
}

TWaterHelmholtzParts WaterResidualPartsFast(Extended delta, Extended tau, uint32_t sel) {
  return ToExtended(ResidualParts<double>(static_cast<double>(delta), static_cast<double>(tau), sel));
}

TEosDerivatives TWaterIapws95Eos::Derivatives(Extended tau, Extended delta) {
  constexpr uint32_t kAll = kWaterPhi | kWaterPhiD | kWaterPhiDD | kWaterPhiT | kWaterPhiTT | kWaterPhiDT;
  const TWaterHelmholtzParts ideal = WaterIdealPartsFast(delta, tau, kWaterPhi | kWaterPhiT | kWaterPhiTT);
  const TWaterHelmholtzParts res = WaterResidualPartsFast(delta, tau, kAll);
  TEosDerivatives r;
  r.a0 = ideal.phi;
  r.a0Tau = ideal.t;
  r.a0TauTau = ideal.tt;
  r.aR = res.phi;
  r.aRDelta = res.d;
  r.aRTau = res.t;
  r.aRDeltaDelta = res.dd;
  r.aRTauTau = res.tt;
  r.aRDeltaTau = res.dt;
  return r;
}

Extended TWaterIapws95Eos::Alpha0(Extended tau, Extended delta) { return WaterIdealParts(delta, tau, kWaterPhi).phi; }
Extended TWaterIapws95Eos::Alpha0Tau(Extended tau, Extended delta) {
  return WaterIdealParts(delta, tau, kWaterPhiT).t;
}
Extended TWaterIapws95Eos::AlphaR(Extended tau, Extended delta) {
  return WaterResidualParts(delta, tau, kWaterPhi).phi;
}
Extended TWaterIapws95Eos::AlphaRDelta(Extended tau, Extended delta) {
  return WaterResidualParts(delta, tau, kWaterPhiD).d;
}
Extended TWaterIapws95Eos::AlphaRTau(Extended tau, Extended delta) {
  return WaterResidualParts(delta, tau, kWaterPhiT).t;
}

// ln(P/PCrit) = (TCrit/T) sum a_i theta^k_i.
Extended TWaterIapws95Eos::SatPressure(Extended T, Extended) {
  Extended S = 0, dS = 0;
  VaporPressureSums(1 - T / TCrit, S, dS);
  return PCrit * std::exp(TCrit / T * S);
}

// Newton in (ln p, 1/Tr) from a start of the reduced vapour-pressure curve,
// kept inside 0.422 <= Tr <= 0.9996; a step to Tr >= 1 is pulled back just
// below the critical point, where the equation still has a slope.
Extended TWaterIapws95Eos::SatTemperature(Extended P, Extended) {
  const Extended x = P / PCrit;
  const Extended lnX = std::log(x);
  const Extended a = 2.302585L * lnX + 7.1226152L;
  Extended Tr = (((3e-5L * a + 3.837e-4L) * a + 0.00368L) * a + 0.042887L) * a + 0.57602L;
  Tr = std::fmin(std::fmax(Tr, 0.422L), 0.9996L);
  for (int32_t count = 1;; ++count) {
    Extended S = 0, dS = 0;
    VaporPressureSums(1 - Tr, S, dS);
    const Extended p = std::exp(S / Tr);
    if (std::fabs((p - x) / x) < 8e-6L) break;
    if (count > 200) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
    // d(ln p)/d(1/Tr) = -Tr^2 (dp/dTr)/p with dp/dTr = -p (S/Tr + S')/Tr.
    const Extended dpdTr = -p * (S / Tr + dS) / Tr;
    Extended inverse = 1 / Tr + (lnX - std::log(p)) / (-Tr * Tr * dpdTr / p);
    Tr = 1 / inverse;
    if (Tr >= 1) Tr = 0.999999L;
  }
  return Tr * TCrit;
}

// rho/rhoc = 1 + sum b_i theta^(k_i/3), k = 1, 2, 5, 16, 43, 110.
Extended TWaterIapws95Eos::SatLiquidDensity(Extended T) {
  static constexpr std::array<int32_t, 6> kK{1, 2, 5, 16, 43, 110};
  const Extended theta = 1 - T / TCrit;
  const Extended root = theta > 0 ? std::cbrt(theta) : 0;
  return (1 + RootPowerSum(kLiquidDensityB, kK, root)) / VCrit;
}

// ln(rho/rhoc) = sum c_i theta^(k_i/6), k = 2, 4, 8, 18, 37, 71.
Extended TWaterIapws95Eos::SatVaporDensity(Extended T) {
  static constexpr std::array<int32_t, 6> kK{2, 4, 8, 18, 37, 71};
  const Extended theta = 1 - T / TCrit;
  const Extended root = theta > 0 ? std::sqrt(std::cbrt(theta)) : 0;
  return std::exp(RootPowerSum(kVaporDensityC, kK, root)) / VCrit;
}

// cv/R = -tau^2 (phi0_tautau + phir_tautau);
// cp/R = cv/R + (1 + delta phir_delta - delta tau phir_deltatau)^2 / (1 + 2 delta phir_delta + delta^2 phir_deltadelta).
Extended TWaterIapws95Eos::SpecHeat(TPropertyArgumentRecord& a) {
  const Extended failed = -999;
  SolveCallState(*this, a);
  if (CalcErrorCode > 0) return failed;
  if (SuppressWarnings != 0) return 1;
  const Extended x = EosStateCache[7];
  if (TwoPhase(x)) {
    SetMessageArg(1, "SpecHeat");
    SetMessageArg(2, FormatForMessage(x));
    CalcErrorCode = kMsgTwoPhaseUndetermined;
    return failed;
  }
  Extended T = EosStateCache[1];
  PropertyToInternalUnits(kT, T);
  Extended v = EosStateCache[6];
  PropertyToInternalUnits(kV, v);
  if (DocumentSettings.MolarBasis != 0) v /= MolarMassValue;
  const Extended delta = VCrit / v;
  const Extended tau = TCrit / T;
  const TWaterHelmholtzParts ideal = WaterIdealParts(delta, tau, kWaterPhiTT);
  const TWaterHelmholtzParts res = WaterResidualParts(delta, tau, kWaterPhiD | kWaterPhiDD | kWaterPhiTT | kWaterPhiDT);
  const Extended cvR = -tau * tau * (ideal.tt + res.tt);
  const Extended num = 1 + delta * res.d - delta * tau * res.dt;
  const Extended cpR = cvR + num * num / (1 + 2 * delta * res.d + delta * delta * res.dd);
  Extended cv = cvR * kWaterR;
  Extended cp = cpR * kWaterR;
  if (DocumentSettings.MolarBasis != 0) {
    cv *= MolarMassValue;
    cp *= MolarMassValue;
  }
  SpecHeatFromInternalUnits(cv);
  SpecHeatFromInternalUnits(cp);
  WaterCvCache = cv;
  return cp;
}

Extended TWaterIapws95Eos::Cv(TPropertyArgumentRecord& a) {
  SpecHeat(a);
  SetMessageArg(1, "Cv");
  if (CalcErrorCode > 0) return -999;
  return WaterCvCache;
}

Extended TWaterIapws95Eos::CvByDifference(TPropertyArgumentRecord& a) {
  SpecHeat(a);
  if (CalcErrorCode > 0) return -999;
  return WaterCvCache;
}

// sigma = 0.2358 y^1.256 (1 - 0.625 y) N/m, y = (0.999686 - T/647.27)/0.999686.
Extended TWaterIapws95Eos::SurfaceTension(TPropertyArgumentRecord& a) {
  const Extended failed = -999;
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "SurfaceTension");
    return failed;
  }
  if (SuppressWarnings != 0) return 1;
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  if (T < TMin || T > TCrit) {
    SetMessageArg(1, "273.15 K < T < 647.09 K");
    SetMessageArg(2, FormatForMessage(T) + " K");
    SetMessageArg(3, "");
    if (HelpContext >= 1) MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgTemperatureRange;
    return failed;
  }
  const Extended y = (0.999686L - T / 647.27L) / 0.999686L;
  Extended sigma = 0.2358L * PowerReal(y, 1.256L) * (1 - 0.625L * y);
  PropertyFromInternalUnits(16, sigma);
  return sigma;
}

Extended TWaterIapws95Eos::Viscosity(TPropertyArgumentRecord& a) { return Transport(a, true); }
Extended TWaterIapws95Eos::Conductivity(TPropertyArgumentRecord& a) { return Transport(a, false); }

// The IAPS 1985 viscosity eta = eta0 eta1 (times the critical factor) and
// conductivity lambda = lambda0 lambda1 + lambda2, with the compressibility
// and (dP/dT)_rho of the critical terms from the residual Helmholtz energy.
TWaterTransport WaterTransportProperties(Extended T, Extended rho) {
  TWaterTransport out;
  const Extended delta = rho * kWaterVCrit;
  const Extended tau = kWaterTCrit / T;
  const TWaterHelmholtzParts res = WaterResidualParts(delta, tau, kWaterPhiD | kWaterPhiDD | kWaterPhiDT);
  const Extended kappaT = 1000 / (rho * kWaterR * T * (1 + 2 * delta * res.d + delta * delta * res.dd));  // 1/MPa
  const Extended dPdT = rho * kWaterR * (1 + delta * res.d - delta * tau * res.dt) / 1000;           // MPa/K
  const Extended Tb = T / kTransportT;
  const Extended rb = rho / kTransportRho;
  const Extended chi = rb * rb * kappaT * kTransportP;
  const Extended invT1 = 1 / Tb - 1;
  const Extended rb1 = rb - 1;

  Extended sumH = 0;
  for (int32_t i = 0; i < 4; ++i) sumH += WaterViscosityH[static_cast<size_t>(i)] / IntPower(i, Tb);
  const Extended eta0 = std::sqrt(Tb) / sumH;
  Extended sumHij = 0;
  for (int32_t i = 0; i < 6; ++i) {
    for (int32_t j = 0; j < 7; ++j) {
      const Extended h = WaterViscosityHij[static_cast<size_t>(i)][static_cast<size_t>(j)];
      if (h != 0) sumHij += h * IntPower(i, invT1) * IntPower(j, rb1);
    }
  }
  const Extended eta1 = std::exp(rb * sumHij);
  if (Tb >= 0.997L && Tb <= 1.0082L && rb1 >= -0.245L && rb1 <= 0.29L && chi >= 21.93L) {
    out.viscosityFactor = 0.922L * PowerReal(chi, 0.0263L);
  }
  out.viscosity = eta0 * eta1 * out.viscosityFactor * kViscosityScale;

  Extended sumL = 0;
  for (int32_t i = 0; i < 4; ++i) sumL += WaterConductivityL[static_cast<size_t>(i)] / IntPower(i, Tb);
  const Extended lambda0 = std::sqrt(Tb) / sumL;
  Extended sumLij = 0;
  for (int32_t i = 0; i < 5; ++i) {
    for (int32_t j = 0; j < 6; ++j) {
      const Extended l = WaterConductivityLij[static_cast<size_t>(i)][static_cast<size_t>(j)];
      if (l != 0) sumLij += l * IntPower(i, invT1) * IntPower(j, rb1);
    }
  }
  const Extended lambda1 = std::exp(rb * sumLij);
  if (rb < 3) {
    Extended PT = dPdT * kTransportT / kTransportP;
    if (PT < 0) PT = 0;
    const Extended g = -18.66L * (Tb - 1) * (Tb - 1) - rb1 * rb1 * rb1 * rb1;
    if (g >= -600) {
      const Extended f = Tb / rb * PT;
      out.lambda2 = 0.0013848L * f * f * PowerReal(std::fabs(chi), 0.4678L) * std::sqrt(rb) * std::exp(g) / (eta0 * eta1);
    }
  }
  out.conductivity = (lambda0 * lambda1 + out.lambda2) * kConductivityScale;
  return out;
}

Extended TWaterIapws95Eos::Transport(TPropertyArgumentRecord& a, bool viscosity) {
  const Extended failed = -999;
  TTransportStatePoint point;
  if (!TransportState(*this, viscosity ? "Viscosity" : "Conductivity", a, point)) return failed;
  if (point.P > 1e7L) {
    SetMessageArg(1, "P <= 10000 MPa");
    if (HelpContext >= 1) MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgPressureRange;
    return failed;
  }
  const TWaterTransport t = WaterTransportProperties(point.T, point.rho);
  Extended value = viscosity ? t.viscosity : t.conductivity;
  PropertyFromInternalUnits(viscosity ? 9 : 10, value);
  return value;
}

TGeneralEosSubstance* CreateEosWater() {
  auto* o = new TWaterIapws95Eos();
  InitSubstanceBase(*o);
  o->CatalogRow = kWaterRow;
  o->PlotTLow = 300;
  o->PlotTHigh = 900;
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.3144L;
  o->TCrit = kWaterTCrit;
  o->PCrit = 22064;
  o->VCrit = kWaterVCrit;
  o->MolarMassValue = 18.015268L;
  o->TMin = 273.15L;
  o->TMax = 5000;
  o->PMax = 1000000;
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
