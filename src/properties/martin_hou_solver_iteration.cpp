#include "properties/martin_hou_solver_iteration.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "properties/martin_hou_eos.h"

namespace voq {

namespace {

inline Extended F(int field) { return MartinHouCurrentFluid[static_cast<size_t>(field)]; }

bool Failed() { return CalcErrorCode > 0; }

Extended LiquidVolume(Extended T) { return 1 / MartinHouSatLiquidDensity(T); }

}  // namespace

bool MartinHouRecordIsBlend() { return F(kMhBlendValue) > 0.001L; }

Extended MartinHouBlendDewPressure(Extended T) {
  const Extended pd = MartinHouDewPressure(T);
  const Extended pb = MartinHouSatPressure(T);
  return pd < pb ? pd : pb;
}

Extended MartinHouQualityPressure(Extended T, Extended x) {
  const Extended pb = MartinHouSatPressure(T);
  if (!MartinHouRecordIsBlend()) return pb;
  const Extended pd = MartinHouBlendDewPressure(T);
  return pb + x * (pd - pb);
}

void MartinHouSecantSolve(Extended& x, MartinHouResidual residual, Extended tolerance, Extended p1, Extended p2) {
  Extended r = residual(x, p1, p2);
  if (Failed()) return;
  int n = 0;
  bool converged = false;
  for (;;) {
    ++n;
    CheckUserAbort();
    const Extended x0 = x;
    const Extended r0 = r;
    x = x0 + std::max(tolerance * x0, tolerance);
    r = residual(x, p1, p2);
    if (Failed()) return;
    const Extended slope = (r - r0) / (x - x0);
    if (!(std::fabs(slope) >= 1e-10L)) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      return;
    }
    // The doubled step is halved before the first try, so the first try is
    // the full secant step.
    Extended step = 2 * r0 / slope;
    for (int halving = 0; halving < 11; ++halving) {
      CheckUserAbort();
      step /= 2;
      x = x0 - step;
      ClearCalcError();
      r = residual(x, p1, p2);
      if (std::fabs(r) < std::fabs(r0) && !Failed()) break;
    }
    if (AbortRequested) CheckAbortRequested();
    converged = std::fabs(step / x) < tolerance || std::fabs(step) < 1e-6L;
    if (converged || n > 50 || Failed()) break;
  }
  if (!converged && n > 50 && !Failed()) CalcErrorCode = kMsgPropertyNoConvergence;
}

void MartinHouSatTemperatures(Extended P, bool isBlend, Extended& Tb, Extended& Td) {
  Extended t = 0.8L * F(kMhTc);
  MartinHouSecantSolve(t, MartinHouBubbleResidual, 1e-5L, P, 0);
  Tb = t;
  if (isBlend) {
    MartinHouSecantSolve(t, MartinHouDewResidual, 1e-5L, P, 0);
    Td = t;
  } else {
    Td = Tb;
  }
}

Extended MartinHouBubbleResidual(Extended T, Extended P, Extended) { return MartinHouSatPressure(T) - P; }

Extended MartinHouDewResidual(Extended T, Extended P, Extended) { return MartinHouBlendDewPressure(T) - P; }

Extended MartinHouQualityResidual(Extended T, Extended v, Extended x) {
  const Extended p = MartinHouQualityPressure(T, x);
  if (Failed()) return 0;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(p, T);
  return vg - (1 - x) * (vg - vf) - v;
}

Extended MartinHouVolumeEnthalpyResidual(Extended v, Extended h, Extended T) {
  return MartinHouEnthalpy(T, v, MartinHouPressure(v, T)) - h;
}

Extended MartinHouVolumeEntropyResidual(Extended v, Extended s, Extended T) { return MartinHouEntropy(v, T) - s; }

Extended MartinHouTemperatureEntropyResidual(Extended T, Extended s, Extended v) {
  return MartinHouEntropy(v, T) - s;
}

Extended MartinHouQualityEntropyResidual(Extended T, Extended s, Extended x) {
  const Extended p = MartinHouQualityPressure(T, x);
  if (Failed()) return ErrorResultValue;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(p, T);
  return MartinHouEntropy(vg, T) - (1 - x) * MartinHouLatentHeat(p, vf, vg, T) / T - s;
}

Extended MartinHouQualityEnthalpyResidual(Extended T, Extended h, Extended x) {
  const Extended p = MartinHouQualityPressure(T, x);
  if (Failed()) return ErrorResultValue;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(p, T);
  return MartinHouEnthalpy(T, vg, p) - (1 - x) * MartinHouLatentHeat(p, vf, vg, T) - h;
}

Extended MartinHouQualityEnergyResidual(Extended T, Extended u, Extended x) {
  const Extended p = MartinHouQualityPressure(T, x);
  if (Failed()) return ErrorResultValue;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(p, T);
  const Extended v = (1 - x) * vf + x * vg;
  return MartinHouEnthalpy(T, vg, p) - (1 - x) * MartinHouLatentHeat(p, vf, vg, T) - (u + p * v * kMartinHouPvToBtu);
}

Extended MartinHouPressureEntropyResidual(Extended T, Extended s, Extended P) {
  const Extended ps = MartinHouSatPressure(T);
  if (Failed()) return ErrorResultValue;
  // Above Tc there is no liquid, whatever the extrapolated vapour pressure
  // says: the same boundary as the states from (T, P).
  if (P <= ps || P > F(kMhPc) || T > F(kMhTc)) return MartinHouEntropy(MartinHouVaporVolume(P, T), T) - s;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(ps, T);
  return MartinHouEntropy(vg, T) - MartinHouLatentHeat(ps, vf, vg, T) / T - s;
}

Extended MartinHouPressureEnthalpyResidual(Extended T, Extended h, Extended P) {
  const Extended ps = MartinHouSatPressure(T);
  if (Failed()) return ErrorResultValue;
  if (P <= ps || T > F(kMhTc)) return MartinHouEnthalpy(T, MartinHouVaporVolume(P, T), P) - h;
  const Extended vf = LiquidVolume(T);
  const Extended vg = MartinHouVaporVolume(ps, T);
  return MartinHouEnthalpy(T, vg, ps) - MartinHouLatentHeat(ps, vf, vg, T) - h;
}

Extended MartinHouStatePressureEnergyResidual(Extended P, Extended u, Extended T) {
  MartinHouState.v = MartinHouVaporVolume(P, T);
  if (Failed()) return ErrorResultValue;
  MartinHouState.h = MartinHouEnthalpy(T, MartinHouState.v, P);
  return u - MartinHouInternalEnergy();
}

Extended MartinHouStateEnergyResidual(Extended T, Extended u, Extended P) {
  const Extended pb = MartinHouSatPressure(T);
  const Extended pd = MartinHouRecordIsBlend() ? MartinHouBlendDewPressure(T) : pb;
  if (Failed()) return ErrorResultValue;
  const Extended vf = LiquidVolume(T);
  if (P > pb && T <= F(kMhTc)) {
    const Extended vg = MartinHouVaporVolume(pb, T);
    MartinHouState.h = MartinHouEnthalpy(T, vg, pb) - MartinHouLatentHeat(pb, vf, vg, T);
  } else if (P < pd || T > F(kMhTc)) {
    MartinHouState.v = MartinHouVaporVolume(P, T);
    MartinHouState.h = MartinHouEnthalpy(T, MartinHouState.v, P);
  } else {
    // The band between dew and bubble pressure. A pure fluid has none: it
    // gets here only with P exactly on its saturation line, which counts as
    // saturated liquid rather than a division by zero.
    MartinHouState.x = pd != pb ? (P - pb) / (pd - pb) : 0;
    const Extended vg = MartinHouVaporVolume(P, T);
    MartinHouState.h = MartinHouEnthalpy(T, vg, P) - MartinHouLatentHeat(P, vf, vg, T);
  }
  return u - MartinHouInternalEnergy();
}

Extended MartinHouScanStart(MartinHouResidual residual, Extended p1, Extended p2, Extended start, Extended step,
                            int maxSteps) {
  auto magnitude = [&](Extended x) {
    const Extended r = residual(x, p1, p2);
    if (Failed() || !std::isfinite(r)) {
      ClearCalcError();
      return std::numeric_limits<Extended>::infinity();
    }
    return std::fabs(r);
  };
  Extended current = start;
  Extended best = magnitude(current);
  for (int i = 0; i < maxSteps; ++i) {
    const Extended next = current + step;
    const Extended m = magnitude(next);
    if (!(m < best)) break;
    current = next;
    best = m;
  }
  return current;
}

Extended MartinHouScanDoubling(MartinHouResidual residual, Extended p1, Extended p2, Extended start, int maxSteps) {
  auto magnitude = [&](Extended x) {
    const Extended r = residual(x, p1, p2);
    if (Failed() || !std::isfinite(r)) {
      ClearCalcError();
      return std::numeric_limits<Extended>::infinity();
    }
    return std::fabs(r);
  };
  Extended current = start;
  Extended best = magnitude(current);
  for (int i = 0; i < maxSteps; ++i) {
    const Extended next = 2 * current;
    const Extended m = magnitude(next);
    if (!(m < best)) break;
    current = next;
    best = m;
  }
  return current;
}

}  // namespace voq
