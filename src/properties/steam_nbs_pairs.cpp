#include "properties/steam_nbs_pairs.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "properties/steam_nbs_core.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;
constexpr Extended kTc = 647.134L;
constexpr Extended kTolerance = 1e-7L;
// A scheme that takes this many steps has not converged.
constexpr int32_t kStepLimit = 20;

bool ErrorPending() { return CalcErrorCode > 0; }

// Leaves z unchanged: the default bound of a secant scheme.
struct NoLimit {
  Extended operator()(Extended z, Extended, int32_t) const { return z; }
};

// The single-variable secant scheme of every pair: start z0 and second
// point z1; each step is one SecantStep, followed by halvings towards the
// previous point while the residual grew. Stops when |f| < 1e-7 (after more
// than minSteps steps), after more than 20 steps or on an error. Returns the
// last point; steps is the number of steps taken.
template <typename Residual, typename Limit>
Extended SecantScheme(Extended z0, Extended z1, Residual residual, Limit limit, int32_t maxHalvings,
                      int32_t minSteps, int32_t& steps, bool firstPointsEvaluated = false, Extended f0In = 0,
                      Extended f1In = 0) {
  steps = 0;
  Extended fOld = firstPointsEvaluated ? f0In : residual(z0);
  Extended xOld = z0;
  if (ErrorPending()) return z0;
  Extended z = z1;
  Extended f = firstPointsEvaluated ? f1In : residual(z);
  bool bisecting = false;
  Extended fNeg = 0, xNeg = 0, fPos = 0, xPos = 0;
  while (!ErrorPending()) {
    ++steps;
    SecantStep(steps, z, f, bisecting, fNeg, xNeg, fPos, xPos, fOld, xOld);
    z = limit(z, xOld, steps);
    f = residual(z);
    for (int32_t h = 0; h < maxHalvings && std::fabs(f) > std::fabs(fOld) && !ErrorPending(); ++h) {
      z = (z + xOld) / 2;
      f = residual(z);
    }
    if (std::fabs(f) < kTolerance && steps > minSteps) break;
    if (steps > kStepLimit) break;
  }
  return z;
}

void NotConvergedUnlessError(int32_t steps) {
  if (!ErrorPending() && steps >= kStepLimit) CalcErrorCode = kMsgPropertyNoConvergence;
}

// The two-phase state at T and quality x from the saturated states.
bool MixtureAtT(Extended T, Extended x, TSteamState& st) {
  const TSteamSatState sat = SteamSatStateAtT(T);
  if (ErrorPending()) return false;
  st.T = T;
  st.P = sat.P;
  st.x = x;
  st.v = sat.vf + x * (sat.vg - sat.vf);
  st.u = sat.uf + x * (sat.ug - sat.uf);
  st.h = sat.hf + x * (sat.hg - sat.hf);
  st.s = sat.sf + x * (sat.sg - sat.sf);
  return true;
}

void FromPointState(Extended T, Extended P, const TSteamPointState& point, TSteamState& st) {
  st.T = T;
  st.P = P;
  st.v = point.v;
  st.u = point.u;
  st.h = point.h;
  st.s = point.s;
  st.x = point.x;
}

TSteamState StateAtTP(Extended T, Extended P, int32_t phase = 0) {
  TSteamState st;
  FromPointState(T, P, SteamStateAtTP(T, P, phase), st);
  return st;
}

Extended SatValue(const TSteamSatState& sat, int32_t kind, bool vapour) {
  switch (kind) {
    case kH: return vapour ? sat.hg : sat.hf;
    case kU: return vapour ? sat.ug : sat.uf;
    case kS: return vapour ? sat.sg : sat.sf;
    default: return vapour ? sat.vg : sat.vf;
  }
}

// P-secant at fixed T on the property of the given kind. A volume residual
// is taken relative to the target and scaled so that the scheme's 1e-7
// stops at 1e-12 of v: an absolute 1e-7 m3/kg is 7e-5 of a liquid's volume,
// which moves its pressure by some 100 kPa.
TSteamState PressureSecant(Extended T, int32_t kind, Extended target, Extended start) {
  TSteamState st;
  const Extended scale = kind == kV && target != 0 ? 1e5L / target : 1;
  auto residual = [&](Extended P) {
    st = StateAtTP(T, P);
    return (target - st.ByKind(kind)) * scale;
  };
  int32_t steps = 0;
  const Extended P = SecantScheme(start, 1.01L * start, residual, NoLimit{}, 19, kind == kV ? 3 : 0, steps);
  NotConvergedUnlessError(steps);
  st.P = P;
  return st;
}

// Keeps a temperature step on one side of the saturation temperature: a
// step across it lands halfway between the last point and the line.
struct SideOfSaturation {
  Extended Ts = 0;
  bool above = true;
  Extended operator()(Extended z, Extended zOld, int32_t) const {
    if (above ? z > Ts : z < Ts) return z;
    return (zOld + Ts) / 2;
  }
};

// T-secant at fixed P on the property of the given kind. Below the critical
// pressure the search stays on the side of the saturation temperature Ts
// that the start lies on, and in that side's phase: Ts comes from the
// saturation-temperature equation, which lies some 0.03 K from where the
// formulation's own Gibbs equality puts the line (at 101.325 kPa 99.975 C
// against 100.001 C). Choosing the phase by the latter made a vapour a few
// J/kg above hg a liquid whose h is 2000 kJ/kg away: no convergence.
TSteamState TemperatureSecant(Extended P, int32_t kind, Extended target, Extended start, Extended Ts = 0) {
  TSteamState st;
  const int32_t phase = Ts > 0 ? (start > Ts ? 1 : -1) : 0;
  auto residual = [&](Extended T) {
    st = StateAtTP(T, P, phase);
    return target - st.ByKind(kind);
  };
  int32_t steps = 0;
  Extended T = 0;
  if (Ts > 0) {
    T = SecantScheme(start, 1.01L * start, residual, SideOfSaturation{Ts, start > Ts}, 19, 0, steps);
  } else {
    T = SecantScheme(start, 1.01L * start, residual, NoLimit{}, 19, 0, steps);
  }
  NotConvergedUnlessError(steps);
  st.T = T;
  return st;
}

// (T, h), (T, u), (T, s), (T, v).
TSteamState SolveTAndProperty(Extended T, int32_t kind, Extended value) {
  if (T > kTc) return PressureSecant(T, kind, value, 500);
  const TSteamSatState sat = SteamSatStateAtT(T);
  TSteamState st;
  if (ErrorPending()) return st;
  const Extended liquid = SatValue(sat, kind, false);
  const Extended vapour = SatValue(sat, kind, true);
  if (value >= liquid && value <= vapour) {
    MixtureAtT(T, (value - liquid) / (vapour - liquid), st);
    return st;
  }
  if (value > vapour) return PressureSecant(T, kind, value, 0.9L * sat.P);
  if (kind == kH) {
    CalcErrorCode = kMsgNoStateForTH;
    return st;
  }
  return PressureSecant(T, kind, value, 5 * sat.P);
}

TSteamState SolveTAndQuality(Extended T, Extended x, bool ice) {
  TSteamState st;
  if (T > 647.134001L) {
    CalcErrorCode = kMsgAboveCriticalPoint;
    return st;
  }
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return st;
  }
  // At the triple point the flag chooses the ice or the liquid side.
  const bool atTriple = std::fabs(T - 273.15L) < 1e-6L;
  const Extended tUsed = atTriple ? (ice ? 273.149999L : 273.150001L) : T;
  if (MixtureAtT(tUsed, x, st) && atTriple) st.T = 273.15L;
  return st;
}

// (P, h), (P, u), (P, s), (P, v).
TSteamState SolvePAndProperty(Extended P, int32_t kind, Extended value) {
  if (P >= 22050) return TemperatureSecant(P, kind, value, 400);
  TSteamState st;
  const Extended Ts = WaterSatTemperature(P);
  if (ErrorPending()) return st;
  const TSteamSatState sat = SteamSatStateAtT(Ts);
  if (ErrorPending()) return st;
  const Extended liquid = SatValue(sat, kind, false);
  const Extended vapour = SatValue(sat, kind, true);
  if (value >= liquid && value <= vapour) {
    MixtureAtT(Ts, (value - liquid) / (vapour - liquid), st);
    st.P = P;
    return st;
  }
  if (value < liquid) return TemperatureSecant(P, kind, value, 0.95L * Ts, Ts);
  return TemperatureSecant(P, kind, value, 1.1L * Ts, Ts);
}

TSteamState SolvePAndQuality(Extended P, Extended x) {
  TSteamState st;
  if (P > 22064) {
    CalcErrorCode = kMsgAboveCriticalPoint;
    return st;
  }
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return st;
  }
  Extended T = WaterSatTemperature(P);
  if (CalcErrorCode == kMsgAboveCriticalPoint) {
    T = kTc;
    CalcErrorCode = 0;
  }
  if (ErrorPending()) return st;
  if (!MixtureAtT(T, x, st)) {
    st.T = st.h = st.s = st.v = st.u = -999;
    st.x = 0;
  }
  st.P = P;
  return st;
}

// (h, s), (u, s), (h, v), (u, v), (s, v): an outer P-secant whose every
// trial pressure solves the pair of P with the second property.
TSteamState SolveWithoutTPX(int32_t innerKind, Extended innerValue, int32_t outerKind, Extended outerTarget) {
  TSteamState st;
  auto residual = [&](Extended P) {
    st = SolvePAndProperty(P, innerKind, innerValue);
    st.P = P;
    return outerTarget - st.ByKind(outerKind);
  };
  auto limit = [](Extended P, Extended, int32_t) { return P < 0.001L ? 0.001L : P; };
  int32_t steps = 0;
  SecantScheme(100, 105, residual, limit, 19, 0, steps);
  if (ErrorPending() || steps > kStepLimit) CalcErrorCode = kMsgHsNoConvergence;
  return st;
}

// Start of the (v, x) scheme: the saturation temperature at which an ideal
// vapour of volume v/x is saturated.
Extended VolumeQualityStart(Extended v, Extended x, bool ice) {
  if (ice) return 250;
  if (x <= 0) return 350;
  const Extended vg = v / x;
  auto f = [&](Extended T) { return 1 - WaterSatPressure(T) * vg / (0.0004615198875621139388L * T); };
  Extended T0 = 350, T1 = 355;
  Extended f0 = f(T0), f1 = f(T1);
  for (int32_t k = 1; k <= 16 && std::fabs(f1) >= 1e-4L && !ErrorPending(); ++k) {
    if (f1 == f0) break;
    Extended next = T1 - f1 * (T1 - T0) / (f1 - f0);
    if (next < 273.15L) next = 273.15L + 0.1L * k;
    if (next > kTc) next = kTc - 0.1L * k;
    T0 = T1;
    f0 = f1;
    T1 = next;
    f1 = f(T1);
  }
  return T1;
}

// (h, x), (u, x), (s, x), (v, x): T-secant on the mixture property.
TSteamState SolvePropertyAndQuality(int32_t kind, Extended value, Extended x, bool ice) {
  TSteamState st;
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return st;
  }
  auto residual = [&](Extended T) {
    if (kind == kS) CalcErrorCode = 0;
    if (!MixtureAtT(T, x, st)) return Extended(0);
    return value - st.ByKind(kind);
  };
  int32_t steps = 0;
  Extended T = 0;
  switch (kind) {
    case kH: {
      auto limit = [](Extended t, Extended previous, int32_t n) {
        if (t < 100) return previous / 2;
        if (t > kTc) return previous + (kTc - previous) / (n + 1);
        return t;
      };
      T = SecantScheme(500, 505, residual, limit, 19, 0, steps);
      break;
    }
    case kU:
    case kS: {
      auto limit = [](Extended t, Extended, int32_t) { return t > kTc ? kTc : t; };
      if (kind == kU) {
        T = SecantScheme(500, 505, residual, limit, 19, 0, steps);
        break;
      }
      const Extended f500 = residual(500);
      if (ErrorPending()) break;
      Extended second = 505;
      Extended f2 = residual(second);
      if (ErrorPending()) break;
      if (std::fabs(f2) > std::fabs(f500)) {
        second = 495;
        f2 = residual(second);
      }
      T = SecantScheme(500, second, residual, limit, 19, 0, steps, true, f500, f2);
      break;
    }
    default: {
      const Extended start = VolumeQualityStart(value, x, ice);
      if (ErrorPending()) break;
      const Extended second = 1.01L * start > kTc ? 647.133L : 1.01L * start;
      auto limit = [](Extended t, Extended, int32_t n) { return t > kTc ? kTc - 0.001L / n : t; };
      T = SecantScheme(start, second, residual, limit, 9, 0, steps);
      break;
    }
  }
  if (ErrorPending()) {
    if (kind == kS) st.T = 999;
    return st;
  }
  const bool atOrAbove = (kind == kH || kind == kS) ? T >= kTc : T > kTc;
  if (steps >= kStepLimit || atOrAbove) CalcErrorCode = kMsgPropertyNoConvergence;
  st.T = T;
  return st;
}

}  // namespace

Extended& TSteamState::ByKind(int32_t kind) {
  switch (kind) {
    case kT: return T;
    case kP: return P;
    case kH: return h;
    case kU: return u;
    case kS: return s;
    case kV: return v;
    default: return x;
  }
}

TSteamState SolveSteamPair(int32_t kind1, int32_t kind2, Extended value1, Extended value2, bool ice) {
  if (kind1 == kT) {
    if (kind2 == kP) {
      if (value2 < 0) {
        // A solver's trial point: the formulation has no state there.
        CalcErrorCode = kMsgPressureBecameNegative;
        return TSteamState{};
      }
      return StateAtTP(value1, value2);
    }
    if (kind2 == kX) return SolveTAndQuality(value1, value2, ice);
    return SolveTAndProperty(value1, kind2, value2);
  }
  if (kind1 == kP) {
    if (kind2 == kX) return SolvePAndQuality(value1, value2);
    return SolvePAndProperty(value1, kind2, value2);
  }
  if (kind2 == kX) return SolvePropertyAndQuality(kind1, value1, value2, ice);
  TSteamState st;
  switch (kind1 * 10 + kind2) {
    case 34: CalcErrorCode = kMsgEnthalpyIndependent; break;
    case 35: return SolveWithoutTPX(kH, value1, kS, value2);
    case 45: return SolveWithoutTPX(kU, value1, kS, value2);
    case 36: return SolveWithoutTPX(kV, value2, kH, value1);
    case 46: return SolveWithoutTPX(kV, value2, kU, value1);
    case 56: return SolveWithoutTPX(kV, value2, kS, value1);
    default: CalcErrorCode = kMsgPropertyIndicator; break;
  }
  return st;
}

}  // namespace voq
