// Pair solvers with temperature or pressure among the given properties.
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_pairs.h"
#include "properties/martin_hou_pairs_internal.h"
#include "properties/martin_hou_solver.h"
#include "properties/martin_hou_solver_iteration.h"

namespace voq {

using namespace martin_hou_detail;

void MartinHouSetSubstanceHelp(const TMartinHouSolveInputs& in) {
  if (in.SubstanceIndex > 0 && MartinHouSolverServices.SubstanceHelpContext != nullptr) {
    const int32_t help = MartinHouSolverServices.SubstanceHelpContext(in.SubstanceIndex);
    if (help > 0) MessageHelpContext = help;
  }
}

namespace martin_hou_detail {

void SubcooledEstimate(Extended givenP) {
  TMartinHouState& st = MartinHouState;
  st.x = -100;
  st.P = givenP;
  st.h = st.u + givenP * st.v * kMartinHouPvToBtu;
}

}  // namespace martin_hou_detail

namespace {

// Single-phase state at P and T.
void SinglePhase(Extended T, Extended P) {
  TMartinHouState& st = MartinHouState;
  st.T = T;
  st.P = P;
  st.v = MartinHouVaporVolume(P, T);
  st.h = MartinHouEnthalpy(T, st.v, P);
  st.s = MartinHouEntropy(st.v, T);
  st.x = 100;
  st.u = MartinHouInternalEnergy();
}

}  // namespace

void MartinHouSolveTX(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended x = in.Second;
  st.T = T;
  st.x = x;
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return;
  }
  if (T > Tc()) {
    MartinHouSetSubstanceHelp(in);
    CalcErrorCode = kMsgAboveCriticalPoint;
    return;
  }
  const Extended vf = LiquidVolume(T);
  Extended P = MartinHouSatPressure(T);
  if (in.IsBlend) P += x * (MartinHouBlendDewPressure(T) - P);
  st.P = P;
  if (Failed()) return;
  const Extended vg = MartinHouVaporVolume(P, T);
  st.v = vf + x * (vg - vf);
  const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
  st.h = MartinHouEnthalpy(T, vg, P) - (1 - x) * lh;
  st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveTP(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended P = in.Second;
  st.T = T;
  st.P = P;
  Extended ps = ErrorResultValue;
  if (T < Tc()) {
    ps = MartinHouSatPressure(T);
    if (std::fabs(P - ps) < 1e-7L) CalcErrorCode = kMsgSaturationPhaseUnknown;
  }
  if (Failed()) return;
  if (P > ps && T <= Tc()) {
    in.Second = 0;
    MartinHouSolveTX(in);
    if (Failed()) return;
    SubcooledEstimate(P);
    return;
  }
  SinglePhase(T, P);
}

void MartinHouSolveTPBlend(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended P = in.Second;
  st.T = T;
  st.P = P;
  const Extended pb = MartinHouSatPressure(T);
  const Extended pd = MartinHouBlendDewPressure(T);
  if (Failed()) return;
  if (P > pb && T <= Tc()) {
    in.Second = 0;
    MartinHouSolveTX(in);
    if (Failed()) return;
    SubcooledEstimate(P);
    return;
  }
  if (pd <= P && P <= pb && T <= Tc()) {
    in.Second = 1 - (P - pd) / (pb - pd);
    MartinHouSolveTX(in);
    return;
  }
  SinglePhase(T, P);
}

namespace {

// Gas from (T, v).
void GasFromTV(Extended T, Extended v) {
  TMartinHouState& st = MartinHouState;
  st.x = 100;
  st.P = MartinHouPressure(v, T);
  st.h = MartinHouEnthalpy(T, v, st.P);
  st.s = MartinHouEntropy(v, T);
  st.u = MartinHouInternalEnergy();
}

// Gas from (T, h): secant on v. Below Tc it starts from the saturated
// vapour volume vgStart, since from the critical volume the secant may
// settle on a dense root of the isotherm; above Tc from the critical volume
// stepped up by doubling while the residual falls.
void GasFromTH(Extended T, Extended h, Extended vgStart) {
  TMartinHouState& st = MartinHouState;
  st.x = 100;
  Extended v = vgStart > 0 ? vgStart : MartinHouScanDoubling(MartinHouVolumeEnthalpyResidual, h, T, Vc(), 16);
  MartinHouSecantSolve(v, MartinHouVolumeEnthalpyResidual, 1e-5L, h, T);
  st.v = v;
  if (Failed()) return;
  st.P = MartinHouPressure(v, T);
  st.s = MartinHouEntropy(v, T);
  st.u = MartinHouInternalEnergy();
}


// A blend's quality at T estimated from its dew point is refined on the
// blend's two-phase states, whose vapour sits at the pressure of the quality;
// the state's quality and pressure, the vapour volume and the latent heat
// follow it. A negative estimate (liquid) stays at the bubble pressure.
// False when the refinement failed (CalcErrorCode set).
bool RefineBlendQuality(Extended T, Extended value, TwoPhaseProperty property, Extended pb,
                        Extended pv, Extended vf, Extended& x, Extended& vg, Extended& lh) {
  TMartinHouState& st = MartinHouState;
  if (x >= 0) {
    x = SolveQualityAtTemperature(T, x, value, property);
    if (Failed()) return false;
    st.x = x;
  }
  st.P = pb + (x < 0 ? 0 : x) * (pv - pb);
  vg = MartinHouVaporVolume(st.P, T);
  lh = MartinHouLatentHeat(st.P, vf, vg, T);
  return true;
}

// Volume and entropy of the two-phase state of quality x at T; below the
// saturated liquid (x < 0) the state is saturated liquid, marked -100.
void TwoPhaseVolumeEntropy(Extended T, Extended x, Extended vf, Extended vg, Extended lh) {
  TMartinHouState& st = MartinHouState;
  st.v = vg - (1 - x) * (vg - vf);
  st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  if (x < 0) {
    st.x = -100;
    st.v = vf;
    st.s = MartinHouEntropy(vg, T) - lh / T;
  }
}
}  // namespace

void MartinHouSolveTV(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended v = in.Second;
  st.T = T;
  st.v = v;
  if (T > Tc()) {
    GasFromTV(T, v);
    return;
  }
  const Extended pb = MartinHouSatPressure(T);
  const Extended pd = in.IsBlend ? MartinHouBlendDewPressure(T) : pb;
  if (Failed()) return;
  Extended vg = MartinHouVaporVolume(pd, T);
  if (v > vg) {
    GasFromTV(T, v);
    return;
  }
  const Extended vf = LiquidVolume(T);
  Extended x = (v - vf) / (vg - vf);
  if (in.IsBlend && x >= 0) {
    // A blend's vapour volume belongs to the pressure of the quality, not to
    // the dew point: repeat until quality, pressure and volume agree.
    for (int pass = 0; pass < 30; ++pass) {
      const Extended p = pb + x * (pd - pb);
      vg = MartinHouVaporVolume(p, T);
      const Extended next = (v - vf) / (vg - vf);
      const bool done = std::fabs(next - x) < 1e-12L;
      x = next;
      if (done) break;
    }
  }
  st.x = x;
  Extended q = x;
  if (x < 0) {
    st.x = -100;
    q = 0;
  }
  const Extended P = in.IsBlend ? pb + q * (pd - pb) : pb;
  st.P = P;
  if (in.IsBlend) vg = MartinHouVaporVolume(P, T);
  const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
  st.h = MartinHouEnthalpy(T, vg, P) - (1 - q) * lh;
  st.s = MartinHouEntropy(vg, T) - (1 - q) * lh / T;
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveTH(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended h = in.Second;
  st.T = T;
  st.h = h;
  if (T > Tc()) {
    GasFromTH(T, h, 0);
    return;
  }
  const Extended pb = MartinHouSatPressure(T);
  const Extended pv = in.IsBlend ? MartinHouBlendDewPressure(T) : pb;
  if (Failed()) return;
  Extended vg = MartinHouVaporVolume(pv, T);
  const Extended hg = MartinHouEnthalpy(T, vg, pv);
  if (h > hg) {
    GasFromTH(T, h, vg);
    return;
  }
  const Extended vf = LiquidVolume(T);
  st.P = pv;
  Extended lh = MartinHouLatentHeat(pv, vf, vg, T);
  Extended x = 1 - (hg - h) / lh;
  st.x = x;
  if (in.IsBlend && !RefineBlendQuality(T, h, TwoPhaseProperty::kEnthalpy, pb, pv, vf, x, vg, lh)) return;
  TwoPhaseVolumeEntropy(T, x, vf, vg, lh);
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveTS(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended s = in.Second;
  st.T = T;
  st.s = s;
  const Extended pb = MartinHouSatPressure(T);
  const Extended pv = in.IsBlend ? MartinHouBlendDewPressure(T) : pb;
  if (Failed()) return;
  Extended vg = MartinHouVaporVolume(pv, T);
  const Extended sg = MartinHouEntropy(vg, T);
  if (s > sg || T > Tc()) {
    st.x = 100;
    // Below Tc the gas lies beyond the saturated vapour volume; scanning
    // from twice the liquid volume may stop on a dense root.
    const Extended vStart = T > Tc() ? 2 * LiquidVolume(T) : vg;
    Extended v = MartinHouScanDoubling(MartinHouVolumeEntropyResidual, s, T, vStart, 16);
    MartinHouSecantSolve(v, MartinHouVolumeEntropyResidual, 1e-5L, s, T);
    st.v = v;
    if (Failed()) return;
    st.P = MartinHouPressure(v, T);
    st.h = MartinHouEnthalpy(T, v, st.P);
  } else {
    const Extended vf = LiquidVolume(T);
    st.P = pv;
    Extended lh = MartinHouLatentHeat(pv, vf, vg, T);
    Extended x = 1 - (sg - s) / (lh / T);
    st.x = x;
    if (in.IsBlend && !RefineBlendQuality(T, s, TwoPhaseProperty::kEntropy, pb, pv, vf, x, vg, lh)) return;
    st.v = vg - (1 - x) * (vg - vf);
    st.h = MartinHouEnthalpy(T, vg, st.P) - (1 - x) * lh;
    if (x < 0) {
      st.x = -100;
      st.v = vf;
      st.h = MartinHouEnthalpy(T, vg, st.P) - lh;
    }
  }
  st.u = MartinHouInternalEnergy();
}

void MartinHouSolveTU(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended T = in.First;
  const Extended u = in.Second;
  st.T = T;
  st.u = u;
  st.P = MartinHouSatPressure(T);
  if (Failed()) return;
  const Extended pb = st.P;
  const Extended pv = in.IsBlend ? MartinHouBlendDewPressure(T) : pb;
  if (Failed()) return;
  Extended vg = MartinHouVaporVolume(pv, T);
  const Extended hg = MartinHouEnthalpy(T, vg, pv);
  const Extended ug = hg - pv * vg * kMartinHouPvToBtu;
  if (u > ug || T > Tc()) {
    // Gas: secant on the state's pressure from just below the saturation
    // (dew) pressure: right at it the first probe would land on the liquid
    // side of the volume function and the slope would be meaningless.
    st.x = 100;
    st.P = 0.95L * pv;
    MartinHouSecantSolve(st.P, MartinHouStatePressureEnergyResidual, 1e-5L, u, T);
    if (Failed()) return;
    st.h = st.P * st.v * kMartinHouPvToBtu + u;
    st.s = MartinHouEntropy(st.v, T);
    st.v = MartinHouVaporVolume(st.P, T);
    return;
  }
  const Extended vf = LiquidVolume(T);
  st.P = pv;
  Extended lh = MartinHouLatentHeat(pv, vf, vg, T);
  const Extended ufg = lh - (vg - vf) * pv * kMartinHouPvToBtu;
  Extended x = 1 - (ug - u) / ufg;
  st.x = x;
  if (in.IsBlend && !RefineBlendQuality(T, u, TwoPhaseProperty::kEnergy, pb, pv, vf, x, vg, lh)) return;
  TwoPhaseVolumeEntropy(T, x, vf, vg, lh);
  st.h = st.P * st.v * kMartinHouPvToBtu + u;
}

void MartinHouSolvePX(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended P = in.First;
  const Extended x = in.Second;
  st.P = P;
  st.x = x;
  if (x < 0 || x > 1) {
    CalcErrorCode = kMsgQualityRange;
    return;
  }
  if (P > Pc()) {
    MartinHouSetSubstanceHelp(in);
    CalcErrorCode = kMsgAboveCriticalPoint;
    return;
  }
  Extended tb = 0;
  Extended td = 0;
  MartinHouSatTemperatures(P, in.IsBlend, tb, td);
  if (Failed()) return;
  const Extended T = tb + x * (td - tb);
  st.T = T;
  const Extended vf = LiquidVolume(tb);
  const Extended vg = MartinHouVaporVolume(P, T);
  st.v = vg - (1 - x) * (vg - vf);
  const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
  st.h = MartinHouEnthalpy(T, vg, P) - (1 - x) * lh;
  st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  st.u = MartinHouInternalEnergy();
}

namespace {

// Gas from (P, v): Newton on T with the analytic dP/dT, from Tc + 10 R.
void GasFromPV(Extended P, Extended v, bool isBlend) {
  TMartinHouState& st = MartinHouState;
  st.x = 100;
  Extended T = Tc() + 10;
  Extended previous = 9999;
  const Extended tolerance = isBlend ? 1e-4L : 1e-5L;
  // No step has been taken before the first iteration: a first residual
  // above the start's 9999 psia then backs off nothing.
  Extended step = 0;
  int n = 0;
  for (;;) {
    Extended r = MartinHouPressure(v, T) - P;
    for (int k = 0; k < 10 && std::fabs(r) > std::fabs(previous) && step != 0; ++k) {
      T -= step / 1.7L;
      r = MartinHouPressure(v, T) - P;
    }
    ++n;
    CheckUserAbort();
    const Extended tNew = T - r / MartinHouDPdT(v, T);
    st.T = tNew;
    step = tNew - T;
    T = tNew;
    previous = r;
    if (std::fabs(step) < tolerance || n > 50 || AbortRequested || Failed()) break;
  }
  if (Failed()) return;
  if (n > 50 || !std::isfinite(T)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return;
  }
  st.h = MartinHouEnthalpy(T, v, P);
  st.s = MartinHouEntropy(v, T);
  st.u = MartinHouInternalEnergy();
}

}  // namespace

void MartinHouSolvePV(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended P = in.First;
  const Extended v = in.Second;
  st.P = P;
  st.v = v;
  if (v > Vc() && P > Pc()) {
    GasFromPV(P, v, in.IsBlend);
    return;
  }
  Extended tb = 0;
  Extended td = 0;
  MartinHouSatTemperatures(P, in.IsBlend, tb, td);
  if (Failed()) return;
  Extended vg = MartinHouVaporVolume(P, td);
  if (v > vg) {
    GasFromPV(P, v, in.IsBlend);
    return;
  }
  const Extended vf = LiquidVolume(tb);
  const Extended x = (v - vf) / (vg - vf);
  if (x >= 0 && vf <= vg) {
    if (in.IsBlend) {
      // The blend's two-phase states at P: temperature and quality together.
      SolveTwoPhaseAtPressure(P, tb, td, v, TwoPhaseProperty::kVolume);
      return;
    }
    st.x = x;
    const Extended T = tb + x * (td - tb);
    st.T = T;
    const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
    st.h = MartinHouEnthalpy(T, vg, P) - (1 - x) * lh;
    st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
    st.u = MartinHouInternalEnergy();
    return;
  }
  const Extended p0 = P;
  in.First = v;
  in.Second = 0;
  MartinHouSolveVX(in);
  if (Failed()) return;
  if (p0 > st.P) SubcooledEstimate(p0);
}

namespace {

// Gas from (P, h): secant on the state's T from where it stands.
void GasFromPH(Extended P, Extended h) {
  TMartinHouState& st = MartinHouState;
  st.x = 100;
  MartinHouSecantSolve(st.T, MartinHouPressureEnthalpyResidual, 1e-5L, h, P);
  if (Failed()) return;
  st.v = MartinHouVaporVolume(P, st.T);
  st.s = MartinHouEntropy(st.v, st.T);
  st.u = MartinHouInternalEnergy();
}

// The compressed liquid of enthalpy h0 at P0: the saturated liquid whose
// enthalpy, lifted by (P0 - Psat) vf to the given pressure, is h0.
void CompressedLiquidFromPH(TMartinHouSolveInputs& in, Extended p0, Extended h0) {
  TMartinHouState& st = MartinHouState;
  in.First = h0;
  in.Second = 0;
  MartinHouSolveHX(in);
  if (Failed()) return;
  Extended vf = LiquidVolume(st.T);
  // The correction depends on the saturation state it leads to: repeated
  // until the temperature settles (two passes suffice unless the liquid is
  // far from saturation, as near the critical point).
  for (int pass = 0; pass < 20; ++pass) {
    const Extended tPrevious = st.T;
    in.First = h0 - (p0 - st.P) * vf * kMartinHouPvToBtu;
    in.Second = 0;
    MartinHouSolveHX(in);
    if (Failed()) return;
    vf = LiquidVolume(st.T);
    if (std::fabs(st.T - tPrevious) < 1e-9L * st.T) break;
  }
  st.x = -100;
  st.h = h0;
  st.P = p0;
  st.v = vf;
}

// What both (P, h) paths do first: the state's given values, the refusal
// of a negative pressure, and the bubble and dew temperatures at P.
bool BeginPressureEnthalpy(const TMartinHouSolveInputs& in, Extended& tb, Extended& td) {
  TMartinHouState& st = MartinHouState;
  st.P = in.First;
  if (in.First < 0) {
    CalcErrorCode = kMsgPressureBelowZero;
    return false;
  }
  st.h = in.Second;
  MartinHouSatTemperatures(in.First, in.IsBlend, tb, td);
  return !Failed();
}

}  // namespace

void MartinHouSolvePH(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended P = in.First;
  const Extended h = in.Second;
  Extended tb = 0;
  Extended td = 0;
  if (!BeginPressureEnthalpy(in, tb, td)) return;
  const Extended vg = MartinHouVaporVolume(P, tb);
  const Extended hg = MartinHouEnthalpy(tb, vg, P);
  if (h > hg) {
    st.T = tb;
    GasFromPH(P, h);
    return;
  }
  const Extended T = tb > Tc() ? 0.99L * Tc() : tb;
  st.T = T;
  const Extended ps = MartinHouSatPressure(T);
  if (Failed()) return;
  const Extended vf = LiquidVolume(T);
  const Extended lh = MartinHouLatentHeat(ps, vf, vg, T);
  const Extended x = 1 - (hg - h) / lh;
  st.x = x;
  st.v = vf + x * (vg - vf);
  st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  if (x >= 0) {
    st.u = MartinHouInternalEnergy();
    return;
  }
  CompressedLiquidFromPH(in, P, h);
}

void MartinHouSolvePHBlend(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended P = in.First;
  const Extended h = in.Second;
  Extended tb = 0;
  Extended td = 0;
  if (!BeginPressureEnthalpy(in, tb, td)) return;
  Extended vg = MartinHouVaporVolume(P, td);
  const Extended hg = MartinHouEnthalpy(td, vg, P);
  // Above the critical pressure there is no two-phase band to interpolate.
  if (h > hg || P > Pc()) {
    st.T = td;
    GasFromPH(P, h);
    return;
  }
  Extended x = 1;
  for (int pass = 0; pass < 3; ++pass) {
    if (x < 0) x = 0;
    Extended T = tb + x * (td - tb);
    if (T > Tc()) T = 0.99L * Tc();
    st.T = T;
    vg = MartinHouVaporVolume(P, T);
    if (Failed()) return;
    const Extended vf = LiquidVolume(T);
    const Extended lh = MartinHouLatentHeat(P, vf, vg, T);
    x = 1 - (hg - h) / lh;
    st.x = x;
    st.v = vf + x * (vg - vf);
    st.s = MartinHouEntropy(vg, T) - (1 - x) * lh / T;
  }
  if (x >= 0) {
    // The estimate interpolates T linearly between bubble and dew point;
    // the blend's own two-phase states at P fix T and x together.
    if (td <= Tc()) SolveTwoPhaseAtPressure(P, tb, td, h, TwoPhaseProperty::kEnthalpy);
    if (!Failed()) st.u = MartinHouInternalEnergy();
    return;
  }
  CompressedLiquidFromPH(in, P, h);
}

void MartinHouSolvePS(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended P = in.First;
  const Extended s = in.Second;
  st.P = P;
  if (P < 0) {
    CalcErrorCode = kMsgPressureBelowZero;
    return;
  }
  st.s = s;
  Extended tb = 0;
  Extended td = 0;
  MartinHouSatTemperatures(P, in.IsBlend, tb, td);
  const Extended vg = MartinHouVaporVolume(P, td);
  const Extended sg = MartinHouEntropy(vg, td);
  if (s > sg || P > Pc()) {
    ClearCalcError();
    st.x = 100;
    st.T = Tc() + 10;
    MartinHouSecantSolve(st.T, MartinHouPressureEntropyResidual, 1e-5L, s, P);
    if (Failed()) return;
    st.v = MartinHouVaporVolume(P, st.T);
    st.h = MartinHouEnthalpy(st.T, st.v, P);
    st.u = MartinHouInternalEnergy();
    return;
  }
  if (Failed()) return;
  st.T = tb;
  const Extended vf = LiquidVolume(tb);
  const Extended lh = MartinHouLatentHeat(P, vf, vg, tb);
  const Extended x = 1 - (sg - s) / (lh / tb);
  st.x = x;
  st.v = vf + x * (vg - vf);
  st.T = tb + x * (td - tb);
  st.h = MartinHouEnthalpy(st.T, vg, P) - (1 - x) * lh;
  if (x >= 0 && vf <= vg) {
    if (in.IsBlend) SolveTwoPhaseAtPressure(P, tb, td, s, TwoPhaseProperty::kEntropy);
    if (!Failed()) st.u = MartinHouInternalEnergy();
    return;
  }
  const Extended p0 = P;
  in.First = s;
  in.Second = 0;
  MartinHouSolveSX(in);
  if (Failed()) return;
  // The incompressible liquid has the volume of the saturated liquid it was
  // found from.
  st.x = -100;
  st.v = LiquidVolume(st.T);
  st.P = p0;
  st.h = p0 * st.v * kMartinHouPvToBtu + st.u;
}

void MartinHouSolvePU(TMartinHouSolveInputs& in) {
  TMartinHouState& st = MartinHouState;
  const Extended p0 = in.First;
  const Extended u = in.Second;
  st.P = p0;
  st.u = u;
  // Above the critical pressure the liquid estimate and the gas may both
  // have this energy; the gas is taken when u lies above the gas's energy at
  // (Tc, P), the boundary the states from (T, P) draw.
  bool gasFirst = false;
  if (p0 >= Pc()) {
    st.T = Tc();
    MartinHouStateEnergyResidual(Tc() * (1 + 1e-9L), 0, p0);
    gasFirst = !Failed() && u > MartinHouInternalEnergy();
    ClearCalcError();
    st.P = p0;
  }
  in.First = u;
  in.Second = 0;
  if (!gasFirst) MartinHouSolveUX(in);
  if (!gasFirst && p0 > st.P && !Failed()) {
    SubcooledEstimate(p0);
    return;
  }
  ClearCalcError();
  // Inside the dome (between the saturated liquid and vapour at P) the state
  // is two-phase; the energy iteration below knows only liquid and vapour.
  if (p0 < Pc()) {
    Extended tb = 0;
    Extended td = 0;
    MartinHouSatTemperatures(p0, in.IsBlend, tb, td);
    if (Failed()) return;
    if (td <= Tc()) {
      const Extended uf = TwoPhaseEnergyAt(tb, 0, p0);
      const Extended ug = TwoPhaseEnergyAt(td, 1, p0);
      if (Failed()) return;
      if (uf <= u && u <= ug) {
        if (in.IsBlend) {
          SolveTwoPhaseAtPressure(p0, tb, td, u, TwoPhaseProperty::kEnergy);
        } else {
          TwoPhaseAt(tb, (u - uf) / (ug - uf), p0);
        }
        return;
      }
    }
  }
  st.P = p0;
  Extended T = 0;
  if (p0 >= Pc()) {
    T = Tc();
  } else {
    Extended tb = 0;
    MartinHouSatTemperatures(p0, in.IsBlend, tb, T);
    if (Failed()) return;
  }
  st.T = T + 1;
  MartinHouSecantSolve(st.T, MartinHouStateEnergyResidual, 1e-5L, u, p0);
  if (Failed()) return;
  // The vapour (or supercritical) state found is marked as the other
  // superheated results are.
  st.h = p0 * st.v * kMartinHouPvToBtu + u;
  st.s = MartinHouEntropy(st.v, st.T);
  st.v = MartinHouVaporVolume(p0, st.T);
  st.x = 100;
}

}  // namespace voq
