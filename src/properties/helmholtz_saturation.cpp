// Saturation of the high-accuracy fluids from their ancillary equations,
// and the state at given temperature and density.
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

// What a secant step that overshoots to a negative density is replaced by:
// a small positive density, far on the vapour side, from which the search
// climbs back. A fixed value keeps repeated runs identical.
constexpr Extended kSmallPositiveDensity = 5e-7L;

}  // namespace

Extended RefineSatDensity(TGeneralEosSubstance& o, Extended T, Extended start, Extended X) {
  const Extended pSat = o.SatPressure(T, X);
  const Extended tau = o.TCrit / T;
  const Extended R = o.R();
  // r(rho) = (1 + delta alphaR_delta) R T rho - P_sat
  auto residual = [&](Extended rho) {
    const Extended delta = rho * o.VCrit;
    return (1 + delta * o.HelmholtzAlphaRDelta(tau, delta)) * R * T * rho - pSat;
  };
  Extended rho0 = start;
  Extended r0 = residual(rho0);
  Extended rho1 = 1.001L * rho0;
  for (int32_t count = 1;; ++count) {
    const Extended r1 = residual(rho1);
    if (r1 == r0) return start;
    Extended rho2 = rho1 - r1 * (rho1 - rho0) / (r1 - r0);
    if (rho2 < 0) rho2 = kSmallPositiveDensity;
    rho0 = rho1;
    r0 = r1;
    rho1 = rho2;
    if (count > 15) return start;
    if (std::fabs(r1) < 0.001L) return rho2;
  }
}

Extended SharedSatTemperature(TGeneralEosSubstance& o, Extended P, Extended X) {
  CalcErrorCode = 0;
  const Extended tc = o.TCrit;
  auto f = [&](Extended T) { return T <= tc ? P - o.SatPressure(T, X) : 9.99e9L; };
  Extended T1 = 0.7L * tc;
  Extended f1 = f(T1);
  Extended T2 = 1.01L * T1;
  Extended f2 = f(T2);
  Extended T3 = T2;
  for (int32_t n = 1;; ++n) {
    Extended d = (T2 - T1) * f2 / (f2 - f1);
    T3 = T2 - d;
    Extended f3 = f(T3);
    for (int32_t halving = 0; halving < 10 && (std::fabs(f3) > std::fabs(f2) || T3 > tc); ++halving) {
      d /= 2;
      T3 = T2 - d;
      f3 = f(T3);
    }
    T1 = T2;
    f1 = f2;
    T2 = T3;
    f2 = f3;
    if (std::fabs(f3) < 1e-6L || std::fabs(T1 - T2) < 0.001L) break;
    if (n > 100) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
    // Equal residuals leave the secant without a slope: stop where it is.
    if (f2 == f1) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
  }
  return T3;
}

TEosPoint StateFromTauDelta(TGeneralEosSubstance& o, Extended tau, Extended delta) {
  TEosPoint p;
  p.P = p.u = p.h = p.s = -999;
  p.T = o.TCrit / tau;
  const Extended rho = delta / o.VCrit;
  p.v = 1 / rho;
  const Extended T = p.T;
  auto fill = [&](Extended P, Extended d) {
    const TEosEnergies e = EnergiesFromHelmholtz(o, tau, d, T, P);
    p.P = P;
    p.u = e.u;
    p.h = e.h;
    p.s = e.s;
  };
  if (T < o.TCrit) {
    const Extended vl = 1 / o.SatLiquidDensity(T);
    if (std::fabs((p.v - vl) / vl) < 1e-9L) {
      fill(o.SatPressure(T, 0), o.VCrit / p.v);
      return p;
    }
    const Extended vv = 1 / o.SatVaporDensity(T);
    if (std::fabs(p.v - vv) < 1e-9L) {
      fill(o.SatPressure(T, 1), o.VCrit / p.v);
      return p;
    }
    if (vl <= p.v && p.v <= vv) {
      const Extended x = vv <= vl ? 1 : (p.v - vl) / (vv - vl);
      Extended P = o.SatPressure(T, x);
      if (o.TwoPhaseDewPressure == 1) P = o.DewPressure(T);
      const TEosEnergies l = EnergiesFromHelmholtz(o, tau, o.VCrit / vl, T, P);
      const TEosEnergies v = EnergiesFromHelmholtz(o, tau, o.VCrit / vv, T, P);
      p.P = P;
      p.u = (1 - x) * l.u + x * v.u;
      p.s = (1 - x) * l.s + x * v.s;
      p.h = P * p.v + p.u;
      return p;
    }
  }
  fill((1 + delta * o.Helmholtz(tau, delta).aRDelta) * o.R() * T / p.v, delta);
  return p;
}

}  // namespace voq
