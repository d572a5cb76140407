// Pair solvers without temperature or pressure among the given properties,
// and the two-phase helpers both files of pair solvers share.
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_pairs.h"
#include "properties/martin_hou_pairs_internal.h"
#include "properties/martin_hou_solver_iteration.h"

namespace voq {

using namespace martin_hou_detail;

namespace martin_hou_detail {

TTwoPhaseValues TwoPhaseValues(Extended T, Extended x, Extended P) {
  TTwoPhaseValues values;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(P, T);
  const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
  values.v = vf + x * (vg - vf);
  values.h = MartinHouEnthalpy(T, vg, P) - (1 - x) * lh;
  values.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  values.u = values.h - P * values.v * kMartinHouPvToBtu;
  return values;
}

void TwoPhaseAt(Extended T, Extended x, Extended P) {
  const TTwoPhaseValues values = TwoPhaseValues(T, x, P);
  TMartinHouState& st = MartinHouState;
  st.T = T;
  st.x = x;
  st.P = P;
  st.v = values.v;
  st.h = values.h;
  st.s = values.s;
  st.u = values.u;
}

namespace {

TwoPhaseProperty searchedProperty = TwoPhaseProperty::kVolume;

Extended Pick(const TTwoPhaseValues& values) {
  switch (searchedProperty) {
    case TwoPhaseProperty::kVolume:
      return values.v;
    case TwoPhaseProperty::kEnthalpy:
      return values.h;
    case TwoPhaseProperty::kEntropy:
      return values.s;
    case TwoPhaseProperty::kEnergy:
      return values.u;
  }
  return values.v;
}

// Unknown x at given T (p2); the pressure follows the quality.
Extended QualityAtTemperatureResidual(Extended x, Extended value, Extended T) {
  const Extended p = MartinHouQualityPressure(T, x);
  if (Failed()) return ErrorResultValue;
  return Pick(TwoPhaseValues(T, x, p)) - value;
}

// Quality of the blend's two-phase state at T whose pressure is P.
Extended QualityAtPressure(Extended T, Extended P) {
  const Extended pb = MartinHouSatPressure(T);
  const Extended pd = MartinHouBlendDewPressure(T);
  return pd != pb ? (P - pb) / (pd - pb) : 0;
}

// Unknown T at given P (p2).
Extended TemperatureAtPressureResidual(Extended T, Extended value, Extended P) {
  const Extended x = QualityAtPressure(T, P);
  if (Failed()) return ErrorResultValue;
  return Pick(TwoPhaseValues(T, x, P)) - value;
}

}  // namespace

Extended SolveQualityAtTemperature(Extended T, Extended xStart, Extended value, TwoPhaseProperty property) {
  searchedProperty = property;
  Extended x = std::clamp(xStart, Extended{0}, Extended{1});
  MartinHouSecantSolve(x, QualityAtTemperatureResidual, 1e-9L, value, T);
  return x;
}

void SolveTwoPhaseAtPressure(Extended P, Extended tb, Extended td, Extended value, TwoPhaseProperty property) {
  searchedProperty = property;
  if (std::fabs(td - tb) < 1e-6L * tb) {
    // No glide at this pressure (where a record's dew and bubble fits meet):
    // the property is linear in x at the one saturation temperature.
    const Extended f0 = Pick(TwoPhaseValues(tb, 0, P));
    const Extended f1 = Pick(TwoPhaseValues(tb, 1, P));
    if (Failed()) return;
    const Extended x = f1 != f0 ? (value - f0) / (f1 - f0) : 0;
    if (!(x >= -1e-9L && x <= 1 + 1e-9L)) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      return;
    }
    TwoPhaseAt(tb, std::clamp(x, Extended{0}, Extended{1}), P);
    return;
  }
  Extended T = std::clamp(MartinHouState.T, std::min(tb, td), std::max(tb, td));
  MartinHouSecantSolve(T, TemperatureAtPressureResidual, 1e-9L, value, P);
  if (Failed()) return;
  const Extended x = QualityAtPressure(T, P);
  if (Failed()) return;
  // Outside the band between bubble and dew point the search found no
  // two-phase state.
  if (!(x >= -1e-9L && x <= 1 + 1e-9L) || T < std::min(tb, td) - 1e-3L || T > std::max(tb, td) + 1e-3L) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  TwoPhaseAt(T, std::clamp(x, Extended{0}, Extended{1}), P);
}

}  // namespace martin_hou_detail

namespace {

// P = Psat(T), or Pb + x (Pd - Pb) for a blend.
Extended QualityPressureOf(const TMartinHouSolveInputs& in, Extended T, Extended x) {
  const Extended pb = MartinHouSatPressure(T);
  return in.IsBlend ? pb + x * (MartinHouBlendDewPressure(T) - pb) : pb;
}

bool QualityOutOfRange(Extended x) {
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return true;
  }
  return false;
}

// The quality solvers' temperature lies on the saturation line, below Tc.
// Where the quality's property is not monotonic in T the secant from the
// upper scan may cross Tc; it then tries once more from low temperatures
// upward, and a result still above Tc is refused.
bool QualitySearchAboveCritical(const TMartinHouSolveInputs& in, MartinHouResidual residual, Extended p1,
                                Extended x) {
  TMartinHouState& st = MartinHouState;
  if (st.T <= Tc()) return false;
  ClearCalcError();
  st.T = MartinHouScanStart(residual, p1, x, 0.15L * Tc(), 0.1L * Tc(), 8);
  MartinHouSecantSolve(st.T, residual, 1e-5L, p1, x);
  if (Failed()) return true;
  if (st.T <= Tc()) return false;
  MartinHouSetSubstanceHelp(in);
  CalcErrorCode = kMsgAboveCriticalPoint;
  return true;
}

}  // namespace

void MartinHouSolveVX(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended v = in.First;
  const Extended x = in.Second;
  st.v = v;
  st.x = x;
  if (QualityOutOfRange(x)) return;
  st.T = MartinHouScanStart(MartinHouQualityResidual, v, x, 0.95L * Tc(), -0.05L * Tc(), 16);
  MartinHouSecantSolve(st.T, MartinHouQualityResidual, 1e-5L, v, x);
  if (Failed()) return;
  if (QualitySearchAboveCritical(in, MartinHouQualityResidual, v, x)) return;
  const Extended T = st.T;
  const Extended P = QualityPressureOf(in, T, x);
  st.P = P;
  if (Failed()) return;
  const Extended vg = MartinHouVaporVolume(P, T);
  const Extended vf = LiquidVolume(T);
  const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
  st.h = MartinHouEnthalpy(T, vg, P) - (1 - x) * lh;
  st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveSX(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended s = in.First;
  const Extended x = in.Second;
  st.s = s;
  st.x = x;
  if (QualityOutOfRange(x)) return;
  st.T = MartinHouScanStart(MartinHouQualityEntropyResidual, s, x, 0.95L * Tc(), -0.05L * Tc(), 16);
  MartinHouSecantSolve(st.T, MartinHouQualityEntropyResidual, 1e-5L, s, x);
  if (Failed()) return;
  if (QualitySearchAboveCritical(in, MartinHouQualityEntropyResidual, s, x)) return;
  const Extended T = st.T;
  const Extended P = QualityPressureOf(in, T, x);
  st.P = P;
  if (Failed()) return;
  const Extended vg = MartinHouVaporVolume(P, T);
  const Extended vf = LiquidVolume(T);
  st.v = vg - (1 - x) * (vg - vf);
  st.h = MartinHouEnthalpy(T, vg, P) - (1 - x) * MartinHouLatentHeat(P, vf, vg, T);
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveHX(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended h = in.First;
  const Extended x = in.Second;
  st.h = h;
  st.x = x;
  if (QualityOutOfRange(x)) return;
  st.T = MartinHouScanStart(MartinHouQualityEnthalpyResidual, h, x, 0.95L * Tc(), -0.1L * Tc(), 9);
  MartinHouSecantSolve(st.T, MartinHouQualityEnthalpyResidual, 1e-5L, h, x);
  if (Failed()) return;
  if (QualitySearchAboveCritical(in, MartinHouQualityEnthalpyResidual, h, x)) return;
  const Extended T = st.T;
  // The bubble-point pressure of T, for a blend too.
  const Extended P = MartinHouSatPressure(T);
  st.P = P;
  if (Failed()) return;
  const Extended vg = MartinHouVaporVolume(P, T);
  const Extended vf = LiquidVolume(T);
  st.v = vg - (1 - x) * (vg - vf);
  st.s = MartinHouEntropy(vg, T) - (1 - x) * MartinHouLatentHeat(P, vf, vg, T) / T;
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveUX(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended u = in.First;
  const Extended x = in.Second;
  st.u = u;
  st.x = x;
  if (QualityOutOfRange(x)) return;
  st.T = 0.8L * Tc();
  MartinHouSecantSolve(st.T, MartinHouQualityEnergyResidual, 1e-5L, u, x);
  if (Failed()) return;
  if (QualitySearchAboveCritical(in, MartinHouQualityEnergyResidual, u, x)) return;
  const Extended T = st.T;
  const Extended P = MartinHouSatPressure(T);
  st.P = P;
  if (Failed()) return;
  const Extended vg = MartinHouVaporVolume(P, T);
  const Extended vf = LiquidVolume(T);
  st.v = vg - (1 - x) * (vg - vf);
  st.s = MartinHouEntropy(vg, T) - (1 - x) * MartinHouLatentHeat(P, vf, vg, T) / T;
  st.h = P * st.v * kMartinHouPvToBtu + u;
}

namespace {

// The quality mismatch of the entropy-volume search at T; keeps the last
// vapour volume and latent heat.
struct TMismatchContext {
  bool energyMode = false;
  bool isBlend = false;
  Extended given = 0;   // s for (s, v); h or u for the caloric pairs
  Extended second = 0;  // v, or s for (h, s)
  Extended vg = 0;
  Extended vf = 0;
  Extended lh = 0;
};
TMismatchContext mismatch;

Extended EntropyVolumeMismatch(Extended T, Extended, Extended) {
  TMartinHouState& st = MartinHouState;
  const Extended s = mismatch.given;
  const Extended v = mismatch.second;
  st.P = MartinHouSatPressure(T);
  if (Failed()) return 1;
  mismatch.vg = MartinHouVaporVolume(st.P, T);
  mismatch.vf = LiquidVolume(T);
  const Extended sg = MartinHouEntropy(mismatch.vg, T);
  mismatch.lh = MartinHouLatentHeat(st.P, mismatch.vf, mismatch.vg, T);
  const Extended xs = (s - sg + mismatch.lh / T) / (mismatch.lh / T);
  const Extended xv = (v - mismatch.vf) / (mismatch.vg - mismatch.vf);
  st.x = (xs + xv) / 2;
  return xs - xv;
}

Extended EnthalpyEntropyMismatch(Extended T, Extended, Extended) {
  TMartinHouState& st = MartinHouState;
  const Extended s = mismatch.second;
  st.P = MartinHouSatPressure(T);
  if (Failed()) return 1;
  const Extended vg = MartinHouVaporVolume(st.P, T);
  const Extended vf = LiquidVolume(T);
  const Extended sg = MartinHouEntropy(vg, T);
  const Extended lh = MartinHouLatentHeat(st.P, vf, vg, T);
  mismatch.vg = vg;
  mismatch.vf = vf;
  mismatch.lh = lh;
  const Extended xs = (s - sg + lh / T) / (lh / T);
  if (mismatch.energyMode) {
    st.v = xs > 1 ? vg : vf + xs * (vg - vf);
    st.h = st.P * st.v * kMartinHouPvToBtu + mismatch.given;
  }
  const Extended hg = MartinHouEnthalpy(T, vg, st.P);
  const Extended xh = (st.h - hg + lh) / lh;
  st.x = (xh + xs) / 2;
  st.v = vf + st.x * (vg - vf);
  return xh - xs;
}

Extended EnthalpyVolumeMismatch(Extended T, Extended, Extended) {
  TMartinHouState& st = MartinHouState;
  const Extended v = mismatch.second;
  st.P = MartinHouSatPressure(T);
  if (Failed()) return ErrorResultValue;
  const Extended vg = MartinHouVaporVolume(st.P, T);
  const Extended vf = LiquidVolume(T);
  const Extended lh = MartinHouLatentHeat(st.P, vf, vg, T);
  mismatch.vg = vg;
  mismatch.vf = vf;
  mismatch.lh = lh;
  const Extended xv = (v - vf) / (vg - vf);
  if (mismatch.energyMode) st.h = st.P * v * kMartinHouPvToBtu + mismatch.given;
  const Extended hg = MartinHouEnthalpy(T, vg, st.P);
  const Extended xh = (st.h - hg + lh) / lh;
  st.x = (xh + xv) / 2;
  return xh - xv;
}

// The secant on a quality mismatch from T1 and 1.05 T1 (damped by `damping`);
// returns the number of steps taken.
int MismatchSecant(MartinHouResidual m, Extended t1, Extended t2, Extended damping) {
  TMartinHouState& st = MartinHouState;
  Extended m1 = m(t1, 0, 0);
  st.T = t1;
  Extended m2 = m(t2, 0, 0);
  st.T = t2;
  int n = 0;
  for (;;) {
    ++n;
    CheckUserAbort();
    const Extended t = t2 - damping * m2 * (t2 - t1) / (m2 - m1);
    st.T = t;
    t1 = t2;
    m1 = m2;
    t2 = t;
    m2 = m(t, 0, 0);
    if (!std::isfinite(t)) CalcErrorCode = kMsgPropertyNoConvergence;
    if (n > 50 || std::fabs(m2) < 1e-5L || CalcErrorCode >= 1) break;
  }
  return n;
}

// A blend's two-phase search: the mismatch searches above read the bubble
// pressure only, so a blend's state is found on its own two-phase states:
// for each T the quality that matches the second property, then the first.
struct TBlendPairContext {
  TwoPhaseProperty firstProperty = TwoPhaseProperty::kEntropy;
  TwoPhaseProperty secondProperty = TwoPhaseProperty::kVolume;
  Extended first = 0;
  Extended second = 0;
  Extended x = 0;
};
TBlendPairContext blendPair;

Extended BlendPairResidual(Extended T, Extended, Extended) {
  const Extended x = SolveQualityAtTemperature(T, blendPair.x, blendPair.second, blendPair.secondProperty);
  if (Failed()) return ErrorResultValue;
  blendPair.x = x;
  const TTwoPhaseValues values = TwoPhaseValues(T, x, MartinHouQualityPressure(T, x));
  switch (blendPair.firstProperty) {
    case TwoPhaseProperty::kVolume:
      return values.v - blendPair.first;
    case TwoPhaseProperty::kEnthalpy:
      return values.h - blendPair.first;
    case TwoPhaseProperty::kEntropy:
      return values.s - blendPair.first;
    case TwoPhaseProperty::kEnergy:
      return values.u - blendPair.first;
  }
  return 0;
}

// Refines a blend's two-phase estimate (the state's T and x) so that both
// given properties hold; false when the search leaves the two-phase band.
bool RefineBlendTwoPhase(TwoPhaseProperty firstProperty, Extended first, TwoPhaseProperty secondProperty,
                         Extended second) {
  TMartinHouState& st = MartinHouState;
  blendPair.firstProperty = firstProperty;
  blendPair.secondProperty = secondProperty;
  blendPair.first = first;
  blendPair.second = second;
  blendPair.x = std::clamp(st.x, Extended{0}, Extended{1});
  Extended T = st.T;
  MartinHouSecantSolve(T, BlendPairResidual, 1e-9L, 0, 0);
  if (Failed()) return false;
  const Extended x = SolveQualityAtTemperature(T, blendPair.x, second, secondProperty);
  if (Failed() || x < 0 || x > 1 || T > Tc()) return false;
  TwoPhaseAt(T, x, MartinHouQualityPressure(T, x));
  return true;
}

}  // namespace

void MartinHouSolveSV(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended s = in.First;
  const Extended v = in.Second;
  st.s = s;
  st.v = v;
  mismatch = TMismatchContext{};
  mismatch.given = s;
  mismatch.second = v;
  const Extended t1 = MartinHouScanStart(EntropyVolumeMismatch, 0, 0, 0.95L * Tc(), -0.05L * Tc(), 16);
  const int n = MismatchSecant(EntropyVolumeMismatch, t1, 1.05L * t1, 1);
  if (n <= 50 && st.x <= 1 && !Failed()) {
    const Extended x = st.x;
    const Extended T = st.T;
    st.h = MartinHouEnthalpy(T, mismatch.vg, st.P) - (1 - x) * mismatch.lh;
    st.u = MartinHouInternalEnergy();
    if (in.IsBlend && x >= 0) {
      if (RefineBlendTwoPhase(TwoPhaseProperty::kEntropy, s, TwoPhaseProperty::kVolume, v)) return;
      // Restore the bubble-pressure estimate when the refinement fails.
      ClearCalcError();
    } else {
      return;
    }
  }
  ClearCalcError();
  st.T = 0.8L * Tc();
  st.s = s;
  st.v = v;
  MartinHouSecantSolve(st.T, MartinHouTemperatureEntropyResidual, 1e-5L, s, v);
  if (Failed()) return;
  st.P = MartinHouPressure(v, st.T);
  st.h = MartinHouEnthalpy(st.T, v, st.P);
  st.x = 100;
  st.u = MartinHouInternalEnergy();
}

namespace {

// Single-phase residuals of the (h, s) Newton at (P, T).
void EnthalpyEntropyResiduals(Extended P, Extended T, Extended& rs, Extended& rh) {
  TMartinHouState& st = MartinHouState;
  st.v = MartinHouVaporVolume(P, T);
  rs = MartinHouEntropy(st.v, T) - mismatch.second;
  if (mismatch.energyMode) st.h = P * st.v * kMartinHouPvToBtu + mismatch.given;
  rh = MartinHouEnthalpy(T, st.v, P) - st.h;
}

// Single-phase residuals of the (h, v) Newton at (P, T).
void EnthalpyVolumeResiduals(Extended P, Extended T, Extended& rv, Extended& rh) {
  TMartinHouState& st = MartinHouState;
  const Extended v = mismatch.second;
  std::feclearexcept(FE_ALL_EXCEPT);
  rv = MartinHouVaporVolume(P, T) - v;
  if (mismatch.energyMode) st.h = P * v * kMartinHouPvToBtu + mismatch.given;
  rh = MartinHouEnthalpy(T, v, P) - st.h;
  if (std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID) || !std::isfinite(rv) || !std::isfinite(rh)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    rv = ErrorResultValue;
    rh = ErrorResultValue;
  }
}

using TResidualPair = void (*)(Extended P, Extended T, Extended& r1, Extended& r2);

struct TNewtonSettings {
  Extended probeFraction = 0.005L;
  Extended probeMinimum = 0.05L;
  bool limitSteps = true;  // |dT| to 100 R, |dP| to 20 psia, P at least 0.01 psia
  bool triesStopOnError = false;
};

// Newton in (T, P) on the two residuals with probe-difference slopes and up
// to two halvings per iteration. Returns the iterations taken (51: none
// converged).
int NewtonTP(TResidualPair f, const TNewtonSettings& settings) {
  TMartinHouState& st = MartinHouState;
  Extended r1 = 0;
  Extended r2 = 0;
  f(st.P, st.T, r1, r2);
  if (Failed()) return 0;
  int n = 0;
  for (;;) {
    ++n;
    CheckUserAbort();
    const Extended t0 = st.T;
    const Extended p0 = st.P;
    const Extended r10 = r1;
    const Extended r20 = r2;
    const Extended norm = r10 * r10 + r20 * r20;
    const Extended dtProbe = std::max(settings.probeFraction * t0, settings.probeMinimum);
    const Extended dpProbe = std::max(settings.probeFraction * p0, settings.probeMinimum);
    Extended a = 0;
    Extended b = 0;
    f(p0, t0 + dtProbe, a, b);
    const Extended d1dT = (a - r10) / dtProbe;
    const Extended d2dT = (b - r20) / dtProbe;
    f(p0 + dpProbe, t0, a, b);
    const Extended d1dP = (a - r10) / dpProbe;
    const Extended d2dP = (b - r20) / dpProbe;
    if (Failed()) break;
    const Extended det = d1dT * d2dP - d2dT * d1dP;
    Extended dP = 2 * (r10 * d2dT - r20 * d1dT) / det;
    Extended dT = 2 * (r20 * d1dP - r10 * d2dP) / det;
    if (!std::isfinite(dP) || !std::isfinite(dT)) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
    if (settings.limitSteps) {
      if (std::fabs(dT) > 100) dT = std::copysign(Extended{100}, dT);
      if (std::fabs(dP) > 20) dP = std::copysign(Extended{20}, dP);
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
      dP /= 2;
      dT /= 2;
      st.P = p0 + dP;
      if (settings.limitSteps && st.P < 0.01L) st.P = 0.01L;
      st.T = t0 + dT;
      f(st.P, st.T, r1, r2);
      if (r1 * r1 + r2 * r2 < norm) break;
      if (settings.triesStopOnError && (AbortRequested || Failed())) break;
    }
    if ((std::fabs(st.P - p0) < 1e-5L && std::fabs(st.T - t0) < 1e-5L) || n > 50 || AbortRequested || Failed())
      break;
  }
  return n;
}

}  // namespace

void MartinHouSolveHS(TMartinHouSolveInputs& in, bool energyMode) {
  TMartinHouState& st = MartinHouState;
  const Extended given = in.First;
  const Extended s = in.Second;
  if (energyMode) {
    st.u = given;
  } else {
    st.h = given;
  }
  st.s = s;
  in.First = s;
  in.Second = 0;
  MartinHouSolveSX(in);
  if (!energyMode && !Failed()) {
    const Extended pl = (given - st.u) / (st.v * kMartinHouPvToBtu);
    if (pl > st.P) {
      // A compressed liquid: the saturated liquid of entropy s at the
      // pressure that gives it the enthalpy asked for.
      st.P = pl;
      st.h = given;
      return;
    }
  }
  ClearCalcError();
  in.First = given;
  in.Second = s;
  mismatch = TMismatchContext{};
  mismatch.energyMode = energyMode;
  mismatch.given = given;
  mismatch.second = s;
  if (energyMode) {
    st.u = given;
  } else {
    st.h = given;
  }
  st.s = s;
  // Start: the T of smallest mismatch among the trials with a quality
  // estimate that is not negative, from 0.95 Tc down to 0.1 Tc.
  Extended t1 = 0.95L * Tc();
  {
    Extended best = std::numeric_limits<Extended>::infinity();
    for (Extended t = 0.95L * Tc(); t >= 0.1L * Tc(); t -= 0.05L * Tc()) {
      const Extended m = EnthalpyEntropyMismatch(t, 0, 0);
      const bool ok = !Failed() && std::isfinite(m);
      ClearCalcError();
      if (ok && st.x >= 0 && std::fabs(m) < best) {
        best = std::fabs(m);
        t1 = t;
      }
    }
  }
  Extended m1 = EnthalpyEntropyMismatch(t1, 0, 0);
  Extended t2 = 1.05L * t1;
  Extended m2 = EnthalpyEntropyMismatch(t2, 0, 0);
  if (st.x < 0) {
    t2 = 0.96L * t1;
    m2 = EnthalpyEntropyMismatch(t2, 0, 0);
  }
  int n = 0;
  for (;;) {
    ++n;
    CheckUserAbort();
    const Extended t = t2 - 0.8L * m2 * (t2 - t1) / (m2 - m1);
    st.T = t;
    t1 = t2;
    m1 = m2;
    t2 = t;
    m2 = EnthalpyEntropyMismatch(t, 0, 0);
    if (!std::isfinite(t)) CalcErrorCode = kMsgPropertyNoConvergence;
    // The mismatch changes slowly with T where the lines of constant h and s
    // run nearly together: a quality mismatch of 1e-5 can leave T off by
    // 0.02 R, so the search goes on to 1e-9.
    if (n > 50 || std::fabs(m2) < 1e-9L || Failed()) break;
  }
  if (n <= 50 && st.x >= 0 && st.x <= 1 && !Failed()) {
    if (in.IsBlend) {
      const TwoPhaseProperty first = energyMode ? TwoPhaseProperty::kEnergy : TwoPhaseProperty::kEnthalpy;
      if (RefineBlendTwoPhase(first, given, TwoPhaseProperty::kEntropy, s)) return;
      ClearCalcError();
    }
    if (energyMode) {
      st.h = st.P * st.v * kMartinHouPvToBtu + given;
    } else {
      st.u = MartinHouInternalEnergy();
    }
    return;
  }
  // No two-phase state fits. A search that ended below quality 1 has left
  // only an unsolved trial state, which is no answer: the single-phase
  // Newton below then starts from a sound gas state instead, and failing
  // there reports the non-convergence.
  const bool searchFailed = st.x < 1;
  ClearCalcError();
  if (energyMode) {
    st.u = given;
  } else {
    st.h = given;
  }
  st.s = s;
  if (searchFailed || !(st.T > 0.1L * Tc() && st.T < 5 * Tc() && st.P > 0)) {
    st.T = Tc() + 10;
    st.P = 0.5L * Pc();
  }
  TNewtonSettings settings;
  n = NewtonTP(EnthalpyEntropyResiduals, settings);
  if (Failed()) return;
  if (n > 50) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  st.v = MartinHouVaporVolume(st.P, st.T);
  st.x = 100;
  st.s = s;
  if (energyMode) {
    st.h = st.P * st.v * kMartinHouPvToBtu + given;
  } else {
    st.u = MartinHouInternalEnergy();
  }
}

void MartinHouSolveHV(TMartinHouSolveInputs& in, bool energyMode) {
  TMartinHouState& st = MartinHouState;
  const Extended given = in.First;
  const Extended v = in.Second;
  if (energyMode) {
    st.u = given;
  } else {
    st.h = given;
  }
  st.v = v;
  mismatch = TMismatchContext{};
  mismatch.energyMode = energyMode;
  mismatch.given = given;
  mismatch.second = v;
  std::feclearexcept(FE_ALL_EXCEPT);
  Extended t1 = MartinHouScanStart(EnthalpyVolumeMismatch, 0, 0, 0.95L * Tc(), -0.05L * Tc(), 16);
  if (std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID)) {
    st.T = ErrorResultValue;
    CalcErrorCode = kMsgPropertyNoConvergence;
  } else {
    const int n = MismatchSecant(EnthalpyVolumeMismatch, t1, 1.05L * t1, 1);
    if (n <= 50 && st.T <= Tc() && st.x <= 1 && !Failed()) {
      const Extended T = st.T;
      const Extended x = st.x;
      const Extended sg = MartinHouEntropy(mismatch.vg, T);
      const Extended lh = MartinHouLatentHeat(st.P, mismatch.vf, mismatch.vg, T);
      st.s = (1 - x) * (sg - lh / T) + x * sg;
      if (in.IsBlend && x >= 0) {
        const TwoPhaseProperty first = energyMode ? TwoPhaseProperty::kEnergy : TwoPhaseProperty::kEnthalpy;
        if (RefineBlendTwoPhase(first, given, TwoPhaseProperty::kVolume, v)) return;
        ClearCalcError();
      }
      if (energyMode) {
        st.h = st.P * v * kMartinHouPvToBtu + given;
      } else {
        st.u = MartinHouInternalEnergy();
      }
      return;
    }
  }
  ClearCalcError();
  st.T = 460;
  st.P = 10;
  st.v = v;
  if (energyMode) {
    st.u = given;
  } else {
    st.h = given;
  }
  TNewtonSettings settings;
  settings.probeFraction = 1e-5L;
  settings.probeMinimum = 1e-5L;
  settings.limitSteps = false;
  settings.triesStopOnError = true;
  const int n = NewtonTP(EnthalpyVolumeResiduals, settings);
  if (Failed()) return;
  if (n > 50) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  st.v = v;
  st.s = MartinHouEntropy(v, st.T);
  st.x = 100;
  if (energyMode) {
    st.h = st.P * v * kMartinHouPvToBtu + given;
  } else {
    st.u = MartinHouInternalEnergy();
  }
}

}  // namespace voq
