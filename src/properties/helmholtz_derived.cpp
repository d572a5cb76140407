// Derived properties of the high-accuracy fluids by finite differences of
// solved states, and the surface tension: no fluid supplies second derivatives of its Helmholtz
// function. Each slot solves the given state, then one to three neighbours
// through the object's own state slots. The state slots take and return
// document units, so the differences come out in document units without a
// further conversion (the speed of sound excepted).
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kU = 4, kV = 6;
constexpr int32_t kSpecHeatHelp = 139;
constexpr int32_t kVolExpCoefHelp = 347;
constexpr int32_t kSoundSpeedHelp = 367;

bool ErrorStands() { return CalcErrorCode > 0; }

bool TwoPhase(Extended x) { return x > 0.001L && x < 0.999L; }

// The caller's arguments and kinds, put back when a slot returns, so that
// the neighbour solves do not change what the evaluator passed in.
class SavedArguments {
 public:
  SavedArguments(TGeneralEosSubstance& o, TPropertyArgumentRecord& a)
      : object_(o), args_(a), saved_(a), count_(o.ArgCount), kinds_(o.ArgKind) {}
  ~SavedArguments() {
    args_ = saved_;
    object_.ArgCount = count_;
    object_.ArgKind = kinds_;
  }
  SavedArguments(const SavedArguments&) = delete;
  SavedArguments& operator=(const SavedArguments&) = delete;

 private:
  TGeneralEosSubstance& object_;
  TPropertyArgumentRecord& args_;
  TPropertyArgumentRecord saved_;
  int32_t count_;
  std::array<int32_t, 4> kinds_;
};

// The state cache after the first solve, put back before the slot returns
// so that the caller sees the state it asked for.
class SavedCache {
 public:
  SavedCache() : saved_(EosStateCache) {}
  ~SavedCache() { EosStateCache = saved_; }
  SavedCache(const SavedCache&) = delete;
  SavedCache& operator=(const SavedCache&) = delete;

 private:
  std::array<Extended, 12> saved_;
};

void SetArguments(TGeneralEosSubstance& o, TPropertyArgumentRecord& a, int32_t k1, Extended v1, int32_t k2,
                  Extended v2) {
  o.ArgCount = 2;
  o.ArgKind[1] = k1;
  o.ArgKind[2] = k2;
  a.Value[1] = v1;
  a.Value[2] = v2;
}

void TwoPhaseError(const char* name, Extended x, int32_t help) {
  SetMessageArg(1, name);
  SetMessageArg(2, FormatValue(TDisplayFormat{kStyleAutomatic, 4}, x));
  MessageHelpContext = help;
  CalcErrorCode = kMsgTwoPhaseUndetermined;
}

// A saturated end moves 1 % into its own phase, so that the differences
// stay in one phase: liquid to a higher, vapour to a lower pressure.
Extended OnePhasePressure(Extended P, Extended x) {
  if (x >= 0 && x <= 0.001L) return 1.01L * P;
  if (x >= 0.99L && x <= 1) return 0.99L * P;
  return P;
}

}  // namespace

// The first step of the difference slots: solve the given state, asking for
// u (or h when u is one of the givens, so that the solve is not a cache
// shortcut of the argument itself). During the compiler's trial call only
// the kinds are checked.
void TGeneralEosSubstance::SolveGivenState(TPropertyArgumentRecord& a) {
  const int32_t wanted = (ArgKind[1] == kU || ArgKind[2] == kU) ? 3 : kU;
  SolveEosState(*this, ArgCount, wanted, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
}

// cp = (h(T, P) - h(T - 0.001, P))/0.001, or the forward difference when the
// backward neighbour has another phase label.
Extended TGeneralEosSubstance::SpecHeat(TPropertyArgumentRecord& a) {
  if (SuppressWarnings != 0) return 1;
  SolveGivenState(a);
  if (ErrorStands()) return -1;
  SavedCache cache;
  const Extended x = EosStateCache[7];
  if (TwoPhase(x)) {
    TwoPhaseError("SpecHeat", x, kSpecHeatHelp);
    return -1;
  }
  const Extended T = EosStateCache[1];
  const Extended P = OnePhasePressure(EosStateCache[2], x);
  SavedArguments saved(*this, a);
  SkipRangeCheck = 0;
  SetArguments(*this, a, kT, T, kP, P);
  const Extended h1 = Enthalpy(a);
  const Extended x1 = EosStateCache[7];
  a.Value[1] = T - 0.001L;
  const Extended h2 = Enthalpy(a);
  const Extended x2 = EosStateCache[7];
  if (x1 == x2) return (h1 - h2) / 0.001L;
  a.Value[1] = T + 0.001L;
  const Extended h3 = Enthalpy(a);
  return (h3 - h1) / 0.001L;
}

Extended TGeneralEosSubstance::Cv(TPropertyArgumentRecord& a) {
  SpecHeat(a);
  SetMessageArg(1, "Cv");
  if (ErrorStands()) return -1;
  return CvByDifference(a);
}

// cv = du/dT at constant volume. A liquid (compressed, or saturated at
// x = 0) takes it at its own density from the Helmholtz functions:
// cv = -R tau^2 d(alpha0_tau + alphaR_tau)/d tau at constant delta, the tau
// derivative by a central difference of the first derivatives (relative
// step 1e-4: truncation about 1e-9, rounding far below). A temperature step
// at constant volume would leave a liquid near saturation for the two-phase
// region, and one at constant pressure gives cp, not cv. Every other state
// takes a step of 0.1 K (0.01 K near the critical point, where cv changes
// fast) at constant volume through the state solver.
Extended TGeneralEosSubstance::CvByDifference(TPropertyArgumentRecord& a) {
  SolveGivenState(a);
  SavedCache cache;
  Extended result = -999;
  const Extended u0 = EosStateCache[4];
  Extended x0 = EosStateCache[7];
  const Extended v = EosStateCache[6];
  const Extended T = EosStateCache[1];
  SkipRangeCheck = 0;
  if (SuppressWarnings != 0 || ErrorStands()) return result;
  Extended TK = T;
  PropertyToInternalUnits(kT, TK);
  if (x0 < 1e-6L) {
    Extended vK = v;
    PropertyToInternalUnits(kV, vK);
    if (DocumentSettings.MolarBasis != 0) vK /= MolarMassValue;
    const Extended tau = TCrit / TK;
    const Extended delta = VCrit / vK;
    const Extended step = 1e-4L * tau;
    const Extended up = Alpha0Tau(tau + step, delta) + AlphaRTau(tau + step, delta);
    const Extended down = Alpha0Tau(tau - step, delta) + AlphaRTau(tau - step, delta);
    Extended cv = -R() * tau * tau * (up - down) / (2 * step);
    if (DocumentSettings.MolarBasis != 0) cv *= MolarMassValue;
    SpecHeatFromInternalUnits(cv);
    return cv;
  }
  const Extended dT = std::fabs(TK - TCrit) < 10 ? 0.01L : 0.1L;
  SavedArguments saved(*this, a);
  SetArguments(*this, a, kT, T - dT, kV, v);
  const Extended u1 = IntEnergy(a);
  Extended x1 = EosStateCache[7];
  if (x1 < 1e-6L) x1 = -100;
  if (x1 == x0) {
    result = (u0 - u1) / dT;
  } else {
    a.Value[1] = T + dT;
    const Extended u2 = IntEnergy(a);
    result = (u2 - u0) / dT;
  }
  return result;
}

// beta = -(1/rho)(d rho/dT) at constant P.
Extended TGeneralEosSubstance::VolExpCoef(TPropertyArgumentRecord& a) {
  SolveGivenState(a);
  if (ErrorStands()) return -1;
  if (SuppressWarnings != 0) return 1;
  SavedCache cache;
  const Extended x = EosStateCache[7];
  if (TwoPhase(x)) {
    TwoPhaseError("VolExpCoef", x, kVolExpCoefHelp);
    return -1;
  }
  const Extended T = EosStateCache[1];
  const Extended P = OnePhasePressure(EosStateCache[2], x);
  SavedArguments saved(*this, a);
  SkipRangeCheck = 0;
  SetArguments(*this, a, kT, T, kP, P);
  const Extended rho1 = 1 / Volume(a);
  const Extended x1 = EosStateCache[7];
  a.Value[1] = T - 0.001L;
  const Extended rho2 = 1 / Volume(a);
  const Extended x2 = EosStateCache[7];
  if (x1 == x2) return -(rho1 - rho2) / (rho1 * 0.001L);
  a.Value[1] = T + 0.001L;
  const Extended rho3 = 1 / Volume(a);
  return (rho1 - rho3) / (rho1 * 0.001L);
}

// c^2 = -v^2 (dP/dv)_T cp/cv with (dP/dv)_T by a pressure difference of
// 0.1 kPa (1 % of P at low pressure), then the unit factors of the
// document's pressure and energy units.
Extended TGeneralEosSubstance::SoundSpeed(TPropertyArgumentRecord& a) {
  const Extended cp = SpecHeat(a);
  SetMessageArg(1, "SoundSpeed");
  if (ErrorStands()) return -1;
  const Extended cv = CvByDifference(a);
  if (SuppressWarnings != 0) return 1;
  SolveGivenState(a);
  if (ErrorStands()) return -99;
  SavedCache cache;
  const Extended x = EosStateCache[7];
  if (TwoPhase(x)) {
    TwoPhaseError("SoundSpeed", x, kSoundSpeedHelp);
    return -1;
  }
  const Extended T = EosStateCache[1];
  const Extended v = EosStateCache[6];
  const Extended P = OnePhasePressure(EosStateCache[2], x);
  SavedArguments saved(*this, a);
  SkipRangeCheck = 0;
  const uint8_t pressureUnit = DocumentSettings.PressureUnit;
  const bool english = DocumentSettings.UnitSystem != 0;
  Extended dP = 0.1L;
  if (!english) {
    switch (pressureUnit) {
      case 1: dP = 0.001L; break;
      case 2: dP = 100; break;
      case 3: dP = 0.0001L; break;
      default: break;
    }
  }
  if (dP / P > 0.1L) dP = P / 100;
  SetArguments(*this, a, kT, T, kP, P + dP);
  const Extended va = Volume(a);
  const Extended x1 = EosStateCache[7];
  a.Value[2] = P - dP;
  const Extended vb = Volume(a);
  const Extended x2 = EosStateCache[7];
  Extended dPdv = 0;
  bool flat = false;
  if (x1 == x2) {
    flat = std::fabs(vb - va) < 1e-12L;
    if (!flat) dPdv = 2 * dP / (va - vb);
  } else {
    a.Value[2] = P + 2 * dP;
    const Extended vc = Volume(a);
    flat = std::fabs(vc - va) < 1e-12L;
    if (!flat) dPdv = dP / (vc - va);
  }
  if (flat) {
    dPdv = -P / v;
    SetMessageArg(1, "SoundSpeed");
    CalcErrorCode = kMsgDataNotAvailableAtState;
  }
  Extended square = -v * v * dPdv * cp / cv;
  Extended c = 0;
  if (!english) {
    c = std::sqrt(square * 1000);
    if (pressureUnit == 1) c *= 10;
    if (pressureUnit == 2) c /= std::sqrt(1000.0L);
    if (pressureUnit == 3) c *= std::sqrt(1000.0L);
  } else {
    square *= 144 * 32.17L;
    if (pressureUnit != 0) square *= 14.697L;
    c = std::sqrt(square);
    PropertyToInternalUnits(18, c);
  }
  if (DocumentSettings.MolarBasis != 0) c /= std::sqrt(MolarMassValue);
  PropertyFromInternalUnits(18, c);
  return c;
}

// Pr = mu cp/k.
Extended TGeneralEosSubstance::Prandtl(TPropertyArgumentRecord& a) {
  SetMessageArg(1, "Prandtl");
  if (SuppressWarnings != 0) return -999;
  const Extended mu = Viscosity(a);
  if (ErrorStands()) return -999;
  Extended cp = SpecHeat(a);
  if (ErrorStands()) return -999;
  Extended k = Conductivity(a);
  if (ErrorStands()) return -999;
  if (DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit == 1) k /= 1000;
  if (DocumentSettings.MolarBasis != 0) cp /= MolarMassValue;
  return mu * cp / k;
}

// f = P0 exp(((h - h0)/T - (s - s0))/R) against the state at the same T
// and P0 = 0.001 kPa, where the fluid is an ideal gas.
Extended TGeneralEosSubstance::Fugacity(TPropertyArgumentRecord& a) {
  SolveGivenState(a);
  if (ErrorStands()) return -999;
  if (SuppressWarnings != 0) return 1;
  SavedCache cache;
  SavedArguments saved(*this, a);
  const Extended T = EosStateCache[1];
  const Extended h = EosStateCache[3];
  const Extended s = EosStateCache[5];
  Extended P0 = 0.001L;
  PropertyFromInternalUnits(kP, P0);
  SetArguments(*this, a, kT, T, kP, P0);
  SolveEosState(*this, 2, kU, kT, kP, T, P0);
  if (ErrorStands()) return -999;
  const Extended h0 = EosStateCache[3];
  const Extended s0 = EosStateCache[5];
  Extended R = GasConstant;
  PropertyFromInternalUnits(5, R);
  if (DocumentSettings.MolarBasis == 0) R /= MolarMassValue;
  Extended Tabs = T;
  PropertyToInternalUnits(kT, Tabs);
  if (DocumentSettings.UnitSystem != 0) Tabs *= 1.8L;
  return P0 * std::exp(((h - h0) / Tabs - (s - s0)) / R);
}

// sigma = sum SigmaCoef[i] (1 - T/TCrit)^SigmaExp[i] N/m, from the
// temperature alone: no state solve.
Extended TGeneralEosSubstance::SurfaceTension(TPropertyArgumentRecord& a) {
  const Extended result = -999;
  if (SigmaTMin < 0) {
    SetCalcError(kMsgSubstanceDataUnavailable, "Surface tension");
    return result;
  }
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "SurfaceTension");
    return result;
  }
  if (SuppressWarnings != 0) return 1;
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  if (T < SigmaTMin || T > SigmaTMax) {
    const TDisplayFormat f{kStyleAutomatic, 3};
    SetMessageArg(1, FormatValue(f, SigmaTMin) + " K < T < " + FormatValue(f, SigmaTMax) + " K");
    SetMessageArg(2, FormatValue(f, T) + " K");
    SetMessageArg(3, "");
    if (HelpContext >= 1) MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgTemperatureRange;
    return result;
  }
  Extended sigma = 0;
  for (size_t i = 0; i < 3; ++i) sigma += SigmaCoef[i] * PowerReal(1 - T / TCrit, SigmaExp[i]);
  PropertyFromInternalUnits(16, sigma);
  return sigma;
}

}  // namespace voq
