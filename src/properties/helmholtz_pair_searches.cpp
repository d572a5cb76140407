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

// One of h, u, s (kind) at (tau, delta) less its given value y, with its
// derivatives by delta and by tau from the second derivatives of phi:
//   h = R T (1 + tau (phi0_t + phiR_t) + delta phiR_d),  u = R TCrit (phi0_t + phiR_t),
//   s = R (tau (phi0_t + phiR_t) - phi0 - phiR).
struct TKindRow {
  Extended f = 0, dDelta = 0, dTau = 0;
};
TKindRow KindRow(const TGeneralEosSubstance& o, int32_t kind, const TEosDerivatives& a, Extended tau, Extended delta,
                 Extended y) {
  const Extended R = o.R();
  const Extended Tc = o.TCrit;
  const Extended T = Tc / tau;
  const Extended z = 1 + delta * a.aRDelta;
  const Extended tauSum = a.a0Tau + a.aRTau;
  const Extended tauTau = a.a0TauTau + a.aRTauTau;
  TKindRow r;
  switch (kind) {
    case kH:
      r.f = R * T * (1 + tau * tauSum + delta * a.aRDelta) - y;
      r.dDelta = R * T * (tau * a.aRDeltaTau + a.aRDelta + delta * a.aRDeltaDelta);
      r.dTau = -R * Tc / (tau * tau) * z + R * Tc / tau * delta * a.aRDeltaTau + R * Tc * tauTau;
      break;
    case kU:
      r.f = R * Tc * tauSum - y;
      r.dDelta = R * Tc * a.aRDeltaTau;
      r.dTau = R * Tc * tauTau;
      break;
    default:
      r.f = R * (tau * tauSum - a.a0 - a.aR) - y;
      r.dDelta = R * (tau * a.aRDeltaTau - 1 / delta - a.aRDelta);
      r.dTau = R * tau * tauTau;
      break;
  }
  return r;
}

// Two residuals of (tau, delta) with their Jacobian and a scaled norm.
struct TNewtonResidual {
  Extended f1 = 0, f2 = 0, norm = 0;
  Extended j11 = 0, j12 = 0, j21 = 0, j22 = 0;  // d/d(delta), d/d(tau)
};

// Newton steps on (tau, delta) from the start given, at most 30: each step
// is cut to at most half of delta and a fifth of tau, and halved (up to ten
// times) while it does not lower the norm. True when settled(residual)
// held at a positive (tau, delta), which are then the solution.
template <class Evaluate, class Settled>
bool NewtonTauDelta(Evaluate&& evaluate, Settled&& settled, Extended& tau, Extended& delta) {
  TNewtonResidual r = evaluate(tau, delta);
  for (int32_t n = 0; n < 30 && std::isfinite(r.norm); ++n) {
    if (settled(r)) return tau > 0 && delta > 0;
    const Extended det = r.j11 * r.j22 - r.j12 * r.j21;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) break;
    Extended dDelta = -(r.f1 * r.j22 - r.j12 * r.f2) / det;
    Extended dTau = -(r.j11 * r.f2 - r.f1 * r.j21) / det;
    const Extended limit = std::fmax(std::fabs(dDelta) / (0.5L * delta), std::fabs(dTau) / (0.2L * tau));
    if (limit > 1) {
      dDelta /= limit;
      dTau /= limit;
    }
    TNewtonResidual next = evaluate(tau + dTau, delta + dDelta);
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
  return false;
}

// P with h, u or s (kind) of a single-phase state by Newton steps on
// (tau, delta), solving
//   F1 = P(tau, delta) - P = rho R T (1 + delta phiR_d) - P = 0
//   F2 = y(tau, delta) - y = 0
// with the analytic Jacobian from the second derivatives:
//   dP/ddelta = R T/VCrit (1 + 2 delta phiR_d + delta^2 phiR_dd)
//   dP/dtau   = -(rho R T/tau)(1 + delta phiR_d - delta tau phiR_dt)
// and y's row from KindRow. Below the critical pressure it starts from a
// saturated state of the same side (liquid: T below the saturation
// temperature, or vapour: above it) and must end on that side; at and
// above it, from the (T, P) state at TCrit where the temperature search
// starts, and the state is labelled 100 as that search labels it. False,
// with nothing set, when it does not settle within 30 steps, ends below
// TMin or on the other side, or the state it ends at does not meet the
// residual of the temperature search; that search then runs as before.
bool NewtonStatePY(TGeneralEosSubstance& o, int32_t kind, Extended P, Extended y, Extended tau0, Extended delta0,
                   bool liquid, bool supercritical, TEosWorkState& w) {
  const Extended R = o.R();
  const Extended Tc = o.TCrit;
  const Extended yScale = kind == kS ? R : R * Tc;
  // A liquid's pressure moves by its whole size for a small change of
  // density: its residual is measured against rho R T at the start.
  const Extended pScale = P + delta0 / o.VCrit * R * (Tc / tau0);
  auto evaluate = [&](Extended tau, Extended delta) {
    const TEosDerivatives& a = o.Helmholtz(tau, delta);
    const Extended T = Tc / tau;
    const Extended rho = delta / o.VCrit;
    const Extended z = 1 + delta * a.aRDelta;
    TNewtonResidual r;
    r.f1 = rho * R * T * z - P;
    r.j11 = R * T / o.VCrit * (1 + 2 * delta * a.aRDelta + delta * delta * a.aRDeltaDelta);
    r.j12 = -(rho * R * T / tau) * (z - delta * tau * a.aRDeltaTau);
    const TKindRow row = KindRow(o, kind, a, tau, delta, y);
    r.f2 = row.f;
    r.j21 = row.dDelta;
    r.j22 = row.dTau;
    r.norm = std::fabs(r.f1 / pScale) + std::fabs(r.f2 / yScale);
    return r;
  };
  auto settled = [&](const TNewtonResidual& r) {
    return std::fabs(r.f1) < 1e-10L * P && std::fabs(r.f2) < 0.5L * kFineTolerance;
  };
  Extended tau = tau0, delta = delta0;
  if (!NewtonTauDelta(evaluate, settled, tau, delta)) return false;
  const Extended T = Tc / tau;
  if (T < o.TMin) return false;
  if (!supercritical) {
    // The side it started on: below the critical temperature a liquid lies
    // above the vapour pressure and a vapour below it, as the (T, P)
    // solver labels them.
    if (T < Tc) {
      const Extended pSat = o.SatPressure(T, 1);
      if (liquid != (P > pSat) || std::fabs(P - pSat) < 1e-7L) return false;
    } else if (liquid) {
      return false;
    }
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

// h or u (energyKind) with s of a single-phase state by Newton steps on
// (tau, delta), solving
//   F1 = e(tau, delta) - e = 0,  F2 = s(tau, delta) - s = 0
// with the rows of KindRow. The start comes from the ancillaries: the
// saturated state whose entropy is s (the liquid when s is below the
// entropy at the critical point, the vapour above it). Along an isentrope
// the energy grows with the pressure (dh = v dP, du = -P dv), so an energy
// above the saturated one is a compressed liquid, a superheated vapour or
// a supercritical fluid, and Newton starts from that saturated state; an
// energy at or below it lies in the dome, which is the volume search's.
// A vapour whose entropy is above the saturated vapour's at TMin starts
// from that saturated vapour. False, with nothing set, when there is no such start, the steps do not
// settle, or they end inside the dome by the saturated volumes (the label
// of the volume search) or short of its residual.
bool NewtonStateEnergyS(TGeneralEosSubstance& o, int32_t energyKind, Extended e, Extended s, TEosWorkState& w) {
  const Extended R = o.R();
  const Extended Tc = o.TCrit;
  const TEosPoint critical = StateFromTauDelta(o, 1, 1);
  if (ErrorPending()) return false;
  const bool liquid = s < critical.s;
  // The saturated entropy of the chosen side at T, less s.
  TEosPoint sat;
  auto satResidual = [&](Extended T) {
    const Extended rho = liquid ? o.SatLiquidDensity(T) : o.SatVaporDensity(T);
    sat = StateFromTauDelta(o, Tc / T, rho * o.VCrit);
    return sat.s - s;
  };
  // A secant on T between TMin and just below TCrit; a start needs no more
  // than a few digits.
  const Extended tLow = o.TMin;
  const Extended tHigh = 0.999L * Tc;
  if (!(tLow < tHigh)) return false;
  Extended t0 = 0.8L * Tc, t1 = 0.85L * Tc;
  if (t0 < tLow) t0 = tLow;
  Extended r0 = satResidual(t0);
  Extended r1 = satResidual(t1);
  bool found = false, beyondTMin = false, lowTried = false;
  for (int32_t n = 0; n < 30 && !ErrorPending() && std::isfinite(r1); ++n) {
    if (std::fabs(r1) < 1e-6L * R) {
      found = true;
      break;
    }
    if (r1 == r0) break;
    Extended t2 = t1 - r1 * (t1 - t0) / (r1 - r0);
    if (t2 < tLow) {
      // Once: the saturated entropy at TMin on the same side of s as at
      // t1 means the isentrope meets the saturation line nowhere above it.
      if (!lowTried) {
        lowTried = true;
        const Extended rLow = satResidual(tLow);
        if ((rLow < 0) == (r1 < 0)) {
          beyondTMin = true;
          break;
        }
      }
      t2 = (t1 + tLow) / 2;
    }
    if (t2 > tHigh) t2 = (t1 + tHigh) / 2;
    t0 = t1;
    r0 = r1;
    t1 = t2;
    r1 = satResidual(t1);
  }
  if (ErrorPending()) {
    CalcErrorCode = 0;
    return false;
  }
  if (found) {
    if (!(e > ValueOfKind(sat, energyKind))) return false;
  } else if (beyondTMin && !liquid) {
    // A vapour whose entropy lies above the saturated vapour's at TMin
    // (nitrogen at 1 MPa from about 140 K up) meets the saturation line
    // nowhere the ancillaries reach, nor can it be inside the dome: it
    // starts from the saturated vapour at TMin (sat holds that state).
    t1 = tLow;
  } else {
    return false;
  }
  const Extended eScale = R * Tc;
  auto evaluate = [&](Extended tau, Extended delta) {
    const TEosDerivatives& a = o.Helmholtz(tau, delta);
    const TKindRow energy = KindRow(o, energyKind, a, tau, delta, e);
    const TKindRow entropy = KindRow(o, kS, a, tau, delta, s);
    TNewtonResidual r;
    r.f1 = energy.f;
    r.j11 = energy.dDelta;
    r.j12 = energy.dTau;
    r.f2 = entropy.f;
    r.j21 = entropy.dDelta;
    r.j22 = entropy.dTau;
    r.norm = std::fabs(r.f1 / eScale) + std::fabs(r.f2 / R);
    return r;
  };
  auto settled = [&](const TNewtonResidual& r) {
    return std::fabs(r.f1) < 0.5L * kFineTolerance && std::fabs(r.f2) < 0.5L * kFineTolerance;
  };
  Extended tau = Tc / t1, delta = o.VCrit / sat.v;
  if (!NewtonTauDelta(evaluate, settled, tau, delta)) return false;
  const TEosPoint p = StateFromTauDelta(o, tau, delta);
  if (ErrorPending()) {
    CalcErrorCode = 0;
    return false;
  }
  // Outside the equation's range the volume search has no start that
  // reaches a state, and a state there is none the fluid's slots accept.
  if (p.T < o.TMin || p.T > o.TMax || !(p.P > 0) || p.P > o.PMax) return false;
  const Extended x = QualityByVolume(o, p.T, p.v);
  if (x != 100 && x != -100) return false;
  if (!(std::fabs(e - ValueOfKind(p, energyKind)) < kFineTolerance) || !(std::fabs(s - p.s) < kFineTolerance))
    return false;
  TakePoint(p, w);
  w.x = x;
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
      if (NewtonStatePY(o, kind, P, y, o.TCrit / start.T, o.VCrit / start.v, liquid, false, w)) return;
      CalcErrorCode = 0;
    }
  } else if (EosPairNewton) {
    // One phase at any temperature: Newton from the (T, P) state at TCrit.
    TEosWorkState start;
    SolveStateTP(o, o.TCrit, P, start);
    if (!ErrorPending() && NewtonStatePY(o, kind, P, y, 1, o.VCrit / start.v, false, true, w)) return;
    CalcErrorCode = 0;
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
  if (EosPairNewton) {
    if (NewtonStateEnergyS(o, energyKind, e, s, w)) return;
    CalcErrorCode = 0;
  }
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
