// Pair solvers of the high-accuracy fluids: from two state arguments (in
// internal units, per unit mass, reference offsets applied) to the full
// working state T, P, v, u, h, s and x.
#include <cmath>

#include "core/message_ids.h"
#include "properties/helmholtz_pair_internal.h"

namespace voq {

using namespace eos_pairs;

namespace {

constexpr int32_t kDensityIterations = kIterationLimit;

// The density at (T, P) by a secant search on delta at fixed tau, from the
// volume vStart. Returns the iteration count; errors 204 (two equal
// residuals) and any slot error stay in CalcErrorCode.
int32_t SolveDensityTP(TGeneralEosSubstance& o, Extended T, Extended P, Extended vStart, Extended& delta) {
  Extended tau = o.TCrit / T;
  if (tau == 1) tau = 0.999999L;
  const Extended R = o.R();
  // r(delta) = (1 + delta alphaR_delta) R T / v - P, v = VCrit/delta
  auto residual = [&](Extended d) { return (1 + d * o.HelmholtzAlphaRDelta(tau, d)) * R * T * d / o.VCrit - P; };
  Extended d1 = o.VCrit / vStart;
  Extended r1 = residual(d1);
  Extended d2 = 0.98L * d1;
  Extended r2 = residual(d2);
  delta = d2;
  int32_t n = 1;
  while (true) {
    ++n;
    if (r2 == r1) {
      CalcErrorCode = kMsgSaturationPhaseUnknown;
      break;
    }
    Extended step = r2 * (d2 - d1) / (r2 - r1);
    Extended d = d2 - step;
    for (int32_t k = 0; k < 20 && d < 0; ++k) {
      step /= 2;
      d = d2 - step;
    }
    if (d < 0) d = o.VCrit / (0.7L * R * T / P);
    d1 = d2;
    r1 = r2;
    Extended r = d > 0 ? residual(d) : r1;
    if (std::fabs(r) > std::fabs(r1) || d < 0) {
      Extended scale = 1;
      for (int32_t k = 1; k <= 12; ++k) {
        scale /= 2;
        d = d1 - step * scale;
        if (d > 0) r = residual(d);
        if (std::fabs(r) < std::fabs(r1) && d > 0) break;
      }
    }
    d2 = d;
    r2 = r;
    delta = d2;
    if (std::fabs(r) < 1e-7L || n > kDensityIterations || ErrorPending()) break;
  }
  return n;
}

}  // namespace

void SolveStateTP(TGeneralEosSubstance& o, Extended T, Extended P, TEosWorkState& w) {
  if (T <= 0) {
    CalcErrorCode = kMsgNegativeTemperature;
    return;
  }
  if (P <= 0) {
    CalcErrorCode = kMsgNegativePressure;
    return;
  }
  const Extended R = o.R();
  Extended Z = 0.91L;
  if (P / o.PCrit > 10) Z = 1 + 0.1L * (P / o.PCrit - 10) * std::exp(-0.36L * T / o.TCrit);
  Extended pSat = 0;
  Extended vStart = Z * R * T / P;
  if (T < o.TCrit) {
    pSat = o.SatPressure(T, 1);
    if (std::fabs(P - pSat) < 1e-7L) {
      CalcErrorCode = kMsgSaturationPhaseUnknown;
      return;
    }
    if (P > pSat) vStart = 1 / o.SatLiquidDensity(T);
  }
  Extended delta = 0;
  int32_t n = SolveDensityTP(o, T, P, vStart, delta);
  bool firstTry = true;
  if (ErrorPending() || n >= kDensityIterations) {
    firstTry = false;
    bool solved = false;
    for (const Extended z : {0.9L, 0.8L, 0.7L, 0.6L, 0.5L, 0.4L}) {
      CalcErrorCode = 0;
      n = SolveDensityTP(o, T, P, z * R * T / P, delta);
      if (!ErrorPending() && n < kDensityIterations) {
        solved = true;
        break;
      }
    }
    if (!solved) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      return;
    }
  }
  Extended tau = o.TCrit / T;
  TakePoint(StateFromTauDelta(o, tau, delta), w);
  w.P = P;
  w.x = 100;
  if (T < o.TCrit && P < o.PCrit) {
    const bool liquid = firstTry ? P > pSat : w.v < 1 / o.SatVaporDensity(T);
    if (liquid) w.x = -100;
  }
}

void SolveStateTV(TGeneralEosSubstance& o, Extended T, Extended v, TEosWorkState& w) {
  const Extended tau = o.TCrit / T;
  // At TCrit the saturated densities meet (and some ancillaries divide by
  // zero there): the critical isotherm has one phase.
  if (T < o.TCrit) {
    const Extended vl = 1 / o.SatLiquidDensity(T);
    const Extended vv = 1 / o.SatVaporDensity(T);
    if (vl <= v && v <= vv) {
      const TEosPoint l = StateFromTauDelta(o, tau, o.VCrit / vl);
      const TEosPoint g = StateFromTauDelta(o, tau, o.VCrit / vv);
      w.T = T;
      w.v = v;
      w.x = vv > vl ? (v - vl) / (vv - vl) : 1;
      w.s = l.s + w.x * (g.s - l.s);
      w.u = l.u + w.x * (g.u - l.u);
      w.P = g.P;
      w.h = w.P * v + w.u;
      return;
    }
    TakePoint(StateFromTauDelta(o, tau, o.VCrit / v), w);
    w.x = v <= vv ? -100 : 100;
    return;
  }
  TakePoint(StateFromTauDelta(o, tau, o.VCrit / v), w);
  w.x = 100;
}

void SolveStateTX(TGeneralEosSubstance& o, Extended T, Extended x, TEosWorkState& w) {
  if (T <= 0) {
    CalcErrorCode = kMsgDivisionByZero;
    return;
  }
  if (T > o.TCrit) {
    CalcErrorCode = kMsgAboveCriticalPoint;
    return;
  }
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return;
  }
  const Extended tau = o.TCrit / T;
  if (T == o.TCrit) {
    // The critical point itself, at its own density: the ancillaries are
    // not asked at the point where they may divide by zero.
    TakePoint(StateFromTauDelta(o, 1, 1), w);
    w.x = x;
    return;
  }
  const TEosPoint l = StateFromTauDelta(o, tau, o.SatLiquidDensity(T) * o.VCrit);
  TEosPoint g = StateFromTauDelta(o, tau, o.SatVaporDensity(T) * o.VCrit);
  if (std::fabs(l.h - g.h) < 1e-6L) {
    // At the critical point both ancillaries meet: the vapour density just
    // above T keeps the two states apart.
    g = StateFromTauDelta(o, tau, o.SatVaporDensity(1.0001L * T) * o.VCrit);
  }
  w.T = T;
  w.x = x;
  w.P = o.SatPressure(T, x);
  w.h = l.h + x * (g.h - l.h);
  w.s = l.s + x * (g.s - l.s);
  w.v = l.v + x * (g.v - l.v);
  w.u = w.h - w.P * w.v;
}

void SolveStatePX(TGeneralEosSubstance& o, Extended P, Extended x, TEosWorkState& w) {
  if (P > o.PCrit) {
    CalcErrorCode = kMsgAboveCriticalPoint;
    return;
  }
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return;
  }
  const Extended T = o.SatTemperature(P, x);
  if (ErrorPending()) return;
  if (!(T < o.TCrit)) {
    TakePoint(StateFromTauDelta(o, 1, 1), w);
    w.P = P;
    w.x = x;
    return;
  }
  const TSaturatedPair sat = SaturatedStates(o, T);
  w.T = T;
  w.P = P;
  w.x = x;
  w.h = sat.liquid.h + x * (sat.vapor.h - sat.liquid.h);
  w.s = sat.liquid.s + x * (sat.vapor.s - sat.liquid.s);
  w.v = sat.liquid.v + x * (sat.vapor.v - sat.liquid.v);
  w.u = w.h - P * w.v;
}

void SolveStateQualityPair(TGeneralEosSubstance& o, int32_t kind, Extended y, Extended x, TEosWorkState& w) {
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return;
  }
  const Extended tc = o.TCrit;
  TSaturatedPair sat;
  bool errorDuringSearch = false;
  // r(T) = y - (y_l + x (y_v - y_l)) at the saturated states of T.
  auto residual = [&](Extended T) -> Extended {
    if (kind == kH && 1 / o.SatLiquidDensity(T) < 0) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      return ErrorResultValue;
    }
    sat = SaturatedStates(o, T);
    if (ErrorPending()) errorDuringSearch = true;
    const Extended yl = ValueOfKind(sat.liquid, kind);
    const Extended yv = ValueOfKind(sat.vapor, kind);
    return y - (yl + x * (yv - yl));
  };
  // A volume differs from its neighbours in its fifth digit where an energy
  // does in its tenth: (v, x) stops at a relative residual.
  const Extended tolerance = kind == kV ? 1e-12L * std::fabs(y) : kFineTolerance;
  Extended tOld = 0.7L * tc;
  Extended rOld = residual(tOld);
  Extended T = 1.01L * tOld;
  Extended r = residual(T);
  bool bisecting = false;
  Extended fNeg = 0, xNeg = 0, fPos = 0, xPos = 0;
  int32_t n = 0;
  while (true) {
    ++n;
    Extended next = T;
    Extended f = r;
    SecantStep(n, next, f, bisecting, fNeg, xNeg, fPos, xPos, rOld, tOld);
    // SecantStep left the previous point in (tOld, rOld).
    if (kind == kV) {
      if (next < o.TMin) next = (tOld + o.TMin) / 2;
      if (next > tc) {
        next = tOld + (tc - tOld) / (n + 1);
      } else if (next < o.TMin) {
        next = tOld + (tc - tOld) / (n + 1);
      }
    } else {
      if (next < 0) next = tOld / 2;
      // Far below the lowest temperature the ancillaries are no guide back.
      if (next < o.TMin) next = (tOld + o.TMin) / 2;
      if (next > tc) next = tOld + (tc - tOld) / (n + 1);
    }
    T = next;
    r = residual(T);
    for (int32_t k = 0; k < 19 && std::fabs(r) > std::fabs(rOld); ++k) {
      T = (T + tOld) / 2;
      r = residual(T);
    }
    if (std::fabs(r) < tolerance || n > kDensityIterations || ErrorPending()) break;
  }
  // A search that stopped on an error or away from its tolerance is no
  // solution, whatever the last trial left behind.
  const bool met = std::fabs(r) < tolerance;
  if (n >= kDensityIterations || !(T < tc) || !met || (kind == kH && errorDuringSearch)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  w.T = T;
  w.P = sat.vapor.P;
  w.x = x;
  w.h = sat.liquid.h + x * (sat.vapor.h - sat.liquid.h);
  w.u = sat.liquid.u + x * (sat.vapor.u - sat.liquid.u);
  w.s = sat.liquid.s + x * (sat.vapor.s - sat.liquid.s);
  w.v = sat.liquid.v + x * (sat.vapor.v - sat.liquid.v);
  if (kind == kH) {
    w.u = w.h - w.P * w.v;
  } else {
    w.h = w.P * w.v + w.u;
  }
  CalcErrorCode = 0;
}

}  // namespace voq
