// Pair solvers of the high-accuracy fluids that search: T with h, u or s
// (a density search at fixed tau), P with h, u or s (a temperature search
// over (T, P) states), P with v and h, u or s with v (a tau search at fixed
// density), and h or u with s (a volume search over energy-volume states).
#include <cmath>
#include <utility>

#include "core/message_ids.h"
#include "properties/helmholtz_pair_internal.h"

namespace voq {

using namespace eos_pairs;

namespace {

// x of a state at T and v by the saturated volumes: -100 compressed liquid,
// the volume fraction inside the dome, 100 vapour or supercritical.
Extended QualityByVolume(TGeneralEosSubstance& o, Extended T, Extended v) {
  if (!(T < o.TCrit)) return 100;
  const Extended vl = 1 / o.SatLiquidDensity(T);
  const Extended vv = 1 / o.SatVaporDensity(T);
  if (v < vl) return -100;
  if (v > vv) return 100;
  return vv > vl ? (v - vl) / (vv - vl) : 1;
}

// P with h, u or s (kind) of a single-phase state below the critical
// pressure by Newton steps on (tau, delta) from a saturated state of the
// same side (liquid: T below the saturation temperature, or vapour: above
// it), solving
//   F1 = P(tau, delta) - P = rho R T (1 + delta phiR_d) - P = 0
//   F2 = y(tau, delta) - y = 0
// with the analytic Jacobian from the second derivatives:
//   dP/ddelta = R T/VCrit (1 + 2 delta phiR_d + delta^2 phiR_dd)
//   dP/dtau   = -(rho R T/tau)(1 + delta phiR_d - delta tau phiR_dt)
//   h = R T (1 + tau (phi0_t + phiR_t) + delta phiR_d),  u = R TCrit (phi0_t + phiR_t),
//   s = R (tau (phi0_t + phiR_t) - phi0 - phiR).
// Steps that grow the scaled residual are halved. False, with nothing set,
// when it does not settle within 30 steps on the side it started, or the
// state it ends at does not meet the residual of the temperature search;
// that search then runs as before.
bool NewtonStatePY(TGeneralEosSubstance& o, int32_t kind, Extended P, Extended y, Extended tau0, Extended delta0,
                   bool liquid, TEosWorkState& w) {
  const Extended R = o.R();
  const Extended Tc = o.TCrit;
  struct TResidual {
    Extended f1 = 0, f2 = 0, norm = 0;
    Extended j11 = 0, j12 = 0, j21 = 0, j22 = 0;  // d/d(delta), d/d(tau)
  };
  const Extended yScale = kind == kS ? R : R * Tc;
  // A liquid's pressure moves by its whole size for a small change of
  // density: its residual is measured against rho R T at the start.
  const Extended pScale = P + delta0 / o.VCrit * R * (Tc / tau0);
  auto evaluate = [&](Extended tau, Extended delta) {
    const TEosDerivatives& a = o.Helmholtz(tau, delta);
    const Extended T = Tc / tau;
    const Extended rho = delta / o.VCrit;
    const Extended z = 1 + delta * a.aRDelta;
    const Extended tauSum = a.a0Tau + a.aRTau;
    const Extended tauTau = a.a0TauTau + a.aRTauTau;
    TResidual r;
    r.f1 = rho * R * T * z - P;
    r.j11 = R * T / o.VCrit * (1 + 2 * delta * a.aRDelta + delta * delta * a.aRDeltaDelta);
    r.j12 = -(rho * R * T / tau) * (z - delta * tau * a.aRDeltaTau);
    switch (kind) {
      case kH:
        r.f2 = R * T * (1 + tau * tauSum + delta * a.aRDelta) - y;
        r.j21 = R * T * (tau * a.aRDeltaTau + a.aRDelta + delta * a.aRDeltaDelta);
        r.j22 = -R * Tc / (tau * tau) * z + R * Tc / tau * delta * a.aRDeltaTau + R * Tc * tauTau;
        break;
      case kU:
        r.f2 = R * Tc * tauSum - y;
        r.j21 = R * Tc * a.aRDeltaTau;
        r.j22 = R * Tc * tauTau;
        break;
      default:
        r.f2 = R * (tau * tauSum - a.a0 - a.aR) - y;
        r.j21 = R * (tau * a.aRDeltaTau - 1 / delta - a.aRDelta);
        r.j22 = R * tau * tauTau;
        break;
    }
    r.norm = std::fabs(r.f1 / pScale) + std::fabs(r.f2 / yScale);
    return r;
  };
  Extended tau = tau0, delta = delta0;
  TResidual r = evaluate(tau, delta);
  bool settled = false;
  for (int32_t n = 0; n < 30 && std::isfinite(r.norm); ++n) {
    if (std::fabs(r.f1) < 1e-10L * P && std::fabs(r.f2) < 0.5L * kFineTolerance) {
      settled = true;
      break;
    }
    const Extended det = r.j11 * r.j22 - r.j12 * r.j21;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) break;
    Extended dDelta = -(r.f1 * r.j22 - r.j12 * r.f2) / det;
    Extended dTau = -(r.j11 * r.f2 - r.f1 * r.j21) / det;
    // At most half of delta and a fifth of tau per step.
    const Extended limit = std::fmax(std::fabs(dDelta) / (0.5L * delta), std::fabs(dTau) / (0.2L * tau));
    if (limit > 1) {
      dDelta /= limit;
      dTau /= limit;
    }
    TResidual next = evaluate(tau + dTau, delta + dDelta);
    for (int32_t k = 0; k < 10 && !(next.norm < r.norm); ++k) {
      dDelta /= 2;
      dTau /= 2;
      next = evaluate(tau + dTau, delta + dDelta);
    }
    if (!(next.norm < r.norm) && !(next.norm < 1e-14L)) break;
    tau += dTau;
    delta += dDelta;
    r = next;
  }
  if (!settled || !(tau > 0) || !(delta > 0)) return false;
  const Extended T = Tc / tau;
  // The side it started on: below the critical temperature a liquid lies
  // above the vapour pressure and a vapour below it, as the (T, P) solver
  // labels them.
  if (T < o.TMin) return false;
  if (T < Tc) {
    const Extended pSat = o.SatPressure(T, 1);
    if (liquid != (P > pSat) || std::fabs(P - pSat) < 1e-7L) return false;
  } else if (liquid) {
    return false;
  }
  const TEosPoint p = StateFromTauDelta(o, tau, delta);
  TEosWorkState state;
  TakePoint(p, state);
  state.P = P;
  state.h = state.u + P * state.v;
  const Extended yFound = ValueOfKind(TEosPoint{state.T, state.P, state.v, state.u, state.h, state.s}, kind);
  if (ErrorPending() || !(std::fabs(y - yFound) < kFineTolerance)) return false;
  w = state;
  w.x = liquid ? -100 : 100;
  return true;
}

}  // namespace

bool EosPairNewton = true;

void SolveStateTY(TGeneralEosSubstance& o, int32_t kind, Extended T, Extended y, TEosWorkState& w) {
  const Extended tau = o.TCrit / T;
  Extended rho0 = 0;
  Extended label = 100;
  if (T < o.TCrit) {
    const TSaturatedPair sat = SaturatedStates(o, T);
    const Extended yl = ValueOfKind(sat.liquid, kind);
    const Extended yv = ValueOfKind(sat.vapor, kind);
    if (yl <= y && y <= yv) {
      const Extended x = yv > yl ? (y - yl) / (yv - yl) : 1;
      auto mix = [&](Extended a, Extended b) { return a + x * (b - a); };
      w.T = T;
      w.P = sat.vapor.P;
      w.x = x;
      w.v = mix(sat.liquid.v, sat.vapor.v);
      w.s = mix(sat.liquid.s, sat.vapor.s);
      if (kind == kH) {
        w.h = y;
        w.u = y - w.P * w.v;
      } else {
        w.u = mix(sat.liquid.u, sat.vapor.u);
        w.h = w.P * w.v + w.u;
        if (kind == kS) w.s = y;
        if (kind == kU) w.u = y;
      }
      return;
    }
    if (y < yl) {
      rho0 = 1 / sat.liquid.v;
      label = -100;
    } else {
      rho0 = 0.9L / sat.vapor.v;
    }
  } else {
    // At and above the critical temperature there is one phase.
    rho0 = o.PCrit / (o.R() * T);
  }
  TEosPoint last;
  auto residual = [&](Extended rho) {
    last = StateFromTauDelta(o, tau, rho * o.VCrit);
    return y - ValueOfKind(last, kind);
  };
  // A negative density: (T, h) halves the previous one, (T, u) evaluates it
  // (its equation of state answers for any density), (T, s) skips it; the
  // halving loop then brings all three back.
  auto guard = [&](Extended next, Extended previous, int32_t) {
    if (kind == kH && next < 0) return previous / 2;
    return next;
  };
  const TSearchEnd end = SecantSearch(rho0, 1.01L * rho0, residual, guard, kind != kS, kFineTolerance);
  if (end.n > kIterationLimit || ErrorPending() || !end.Met()) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  TakePoint(last, w);
  w.x = label;
}

void SolveStatePY(TGeneralEosSubstance& o, int32_t kind, Extended P, Extended y, TEosWorkState& w) {
  Extended T0 = o.TCrit;
  Extended label = 100;
  if (P < o.PCrit) {
    const Extended Tl = o.SatTemperature(P, 0);
    if (ErrorPending()) return;
    Extended Tv = Tl;
    if (o.TwoPhaseDewPressure == 1) {
      Tv = o.SatTemperature(P, 1);
      if (ErrorPending()) return;
    }
    const TEosPoint l = StateFromTauDelta(o, o.TCrit / Tl, o.SatLiquidDensity(Tl) * o.VCrit);
    const TEosPoint g = StateFromTauDelta(o, o.TCrit / Tv, o.SatVaporDensity(Tv) * o.VCrit);
    const Extended yl = ValueOfKind(l, kind);
    const Extended yv = ValueOfKind(g, kind);
    if (yl <= y && y <= yv) {
      const Extended x = yv > yl ? (y - yl) / (yv - yl) : 1;
      auto mix = [&](Extended a, Extended b) { return a + x * (b - a); };
      w.P = P;
      w.x = x;
      w.T = mix(Tl, Tv);
      w.v = mix(l.v, g.v);
      w.s = mix(l.s, g.s);
      if (kind == kH) {
        w.h = y;
        w.u = y - P * w.v;
      } else {
        w.u = mix(l.u, g.u);
        if (kind == kU) w.u = y;
        if (kind == kS) w.s = y;
        w.h = P * w.v + w.u;
      }
      return;
    }
    if (y < yl) {
      T0 = 0.95L * Tl;
      label = -100;
    } else {
      T0 = 1.1L * Tl;
    }
    if (EosPairNewton) {
      const bool liquid = label < 0;
      const TEosPoint& start = liquid ? l : g;
      if (NewtonStatePY(o, kind, P, y, o.TCrit / start.T, o.VCrit / start.v, liquid, w)) return;
      CalcErrorCode = 0;
    }
  }
  TEosWorkState trial;
  auto residual = [&](Extended T) {
    trial = TEosWorkState{};
    SolveStateTP(o, T, P, trial);
    if (ErrorPending()) return Extended{0};
    return y - ValueOfKind(TEosPoint{trial.T, trial.P, trial.v, trial.u, trial.h, trial.s}, kind);
  };
  // A step below the lowest temperature of the equation goes half way down
  // to it instead: far below it the (T, P) states are no guide back.
  auto guard = [&](Extended next, Extended previous, int32_t) {
    return next < o.TMin ? (previous + o.TMin) / 2 : next;
  };
  const TSearchEnd end = SecantSearch(T0, 1.01L * T0, residual, guard, true, kFineTolerance);
  if (ErrorPending()) return;  // 204 and the (T, P) solver's own errors stand
  if (end.n >= kIterationLimit || !end.Met()) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  w = trial;
  w.x = label;
}

void SolveStatePV(TGeneralEosSubstance& o, Extended P, Extended v, TEosWorkState& w) {
  const Extended delta = o.VCrit / v;
  TEosPoint last;
  auto residual = [&](Extended tau) {
    last = StateFromTauDelta(o, tau, delta);
    return P - last.P;
  };
  auto guard = [&](Extended next, Extended previous, int32_t) {
    for (int32_t k = 0; k < 19 && next < 0; ++k) next = (next + previous) / 2;
    return next;
  };
  const Extended tau0 = 1 / 0.9L;
  const TSearchEnd end = SecantSearch(tau0, 1.01L * tau0, residual, guard, true);
  if (ErrorPending()) return;
  if (end.n >= kIterationLimit || !end.Met()) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  TakePoint(last, w);
  w.P = P;
  w.v = v;
  w.x = QualityByVolume(o, w.T, v);
}

// h or u (kind) with v, or s with v: a tau search at the fixed density.
void SolveStateYV(TGeneralEosSubstance& o, int32_t kind, Extended y, Extended v, TEosWorkState& w) {
  const Extended delta = o.VCrit / v;
  TEosPoint last;
  auto residual = [&](Extended tau) {
    last = StateFromTauDelta(o, tau, delta);
    return y - ValueOfKind(last, kind);
  };
  auto guard = [&](Extended next, Extended previous, int32_t) { return next < 0 ? previous / 2 : next; };
  const TSearchEnd end = SecantSearch(1.4L, 1.47L, residual, guard, true, kFineTolerance);
  TakePoint(last, w);
  w.x = QualityByVolume(o, w.T, w.v);
  if (end.n > kIterationLimit || ErrorPending() || !end.Met()) CalcErrorCode = kMsgHsNoConvergence;
}

void SolveStateEnergyV(TGeneralEosSubstance& o, int32_t energyKind, Extended e, Extended v, TEosWorkState& w) {
  SolveStateYV(o, energyKind, e, v, w);
}

void SolveStateSV(TGeneralEosSubstance& o, Extended s, Extended v, TEosWorkState& w) {
  SolveStateYV(o, kS, s, v, w);
}

void SolveStateEnergyS(TGeneralEosSubstance& o, int32_t energyKind, Extended e, Extended s, TEosWorkState& w) {
  TEosWorkState trial;
  auto residual = [&](Extended v) {
    trial = TEosWorkState{};
    SolveStateEnergyV(o, energyKind, e, v, trial);
    return s - trial.s;
  };
  // Denser than the critical point a liquid's volume moves by per cents: a
  // secant step that would shrink it by more than a tenth is held at a
  // tenth, since far beyond the liquid line the energy-volume solve has no
  // temperature to find.
  auto guard = [&](Extended next, Extended previous, int32_t) {
    if (next < 0) next = previous / 2;
    if (next < o.VCrit && next < 0.9L * previous) next = 0.9L * previous;
    return next;
  };
  // The first start, half the critical volume, is a dense fluid; a liquid
  // well below the critical temperature is out of its reach, since every
  // trial on the way has to solve its own energy-volume state. Further starts
  // on the liquid side and far on the vapour side are tried in turn.
  const Extended starts[] = {o.VCrit / 2, o.VCrit / 2.6L, o.VCrit / 2.4L, 3 * o.VCrit, 30 * o.VCrit};
  for (const Extended va : starts) {
    CalcErrorCode = 0;
    const TSearchEnd end = SecantSearch(va, 1.05L * va, residual, guard, true, kFineTolerance);
    w = trial;
    if (end.n <= kIterationLimit && !ErrorPending() && end.Met()) return;
  }
  // Last, a liquid denser than three times the critical density (cold
  // water), from two points that are both liquid: a second point 5 % out
  // would lie in the two-phase region, where s barely moves with v at fixed
  // h and the secant loses its slope.
  const std::pair<Extended, Extended> liquidStarts[] = {{o.VCrit / 3.2L, o.VCrit / 3.15L},
                                                        {o.VCrit / 3.15L, o.VCrit / 3.1L}};
  for (const auto& [va, vb] : liquidStarts) {
    CalcErrorCode = 0;
    const TSearchEnd end = SecantSearch(va, vb, residual, guard, true, kFineTolerance);
    w = trial;
    if (end.n <= kIterationLimit && !ErrorPending() && end.Met()) return;
  }
  CalcErrorCode = kMsgHsNoConvergence;
}

}  // namespace voq
