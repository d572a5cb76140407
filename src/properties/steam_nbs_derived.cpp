// Heat capacities, speed of sound, expansion coefficient and fugacity of the
// water substances, by finite differences of the state slots. The
// differences are taken in the document's units, so the results come out in
// them; the slots put the argument kinds, the arguments and SteamStateBlock
// back before they return (Fugacity leaves its reference state).
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/property_units.h"
#include "properties/steam_nbs.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kV = 6, kX = 7;
constexpr Extended kSpecHeatFailure = -99;
constexpr int32_t kSpecHeatHelp = 139;

bool ErrorPending() { return CalcErrorCode > 0; }

// The object's kinds, the argument record and the block, restored on leaving.
class SavedCall {
 public:
  SavedCall(TSubstanceBase& object, TPropertyArgumentRecord& a)
      : object_(object), a_(a), count_(object.ArgCount), kinds_(object.ArgKind), args_(a), block_(SteamStateBlock) {}
  ~SavedCall() {
    object_.ArgCount = count_;
    object_.ArgKind = kinds_;
    a_ = args_;
    if (restoreBlock_) SteamStateBlock = block_;
  }
  SavedCall(const SavedCall&) = delete;
  SavedCall& operator=(const SavedCall&) = delete;
  void KeepBlock() { restoreBlock_ = false; }

 private:
  TSubstanceBase& object_;
  TPropertyArgumentRecord& a_;
  int32_t count_;
  std::array<int32_t, 4> kinds_;
  TPropertyArgumentRecord args_;
  std::array<Extended, 12> block_;
  bool restoreBlock_ = true;
};

bool HasArgumentKind(const TSubstanceBase& object, int32_t kind) {
  return object.ArgKind[1] == kind || object.ArgKind[2] == kind;
}

// Error 214 for a quality strictly between 0.001 and 0.999.
bool RejectTwoPhase(const char* name, int32_t help) {
  const Extended x = SteamStateBlock[kX];
  if (x > 0.001L && x < 0.999L) {
    DefaultDisplayFormat = TDisplayFormat{kStyleAutomatic, 4};
    SetMessageArg(1, name);
    SetMessageArg(2, FormatValue(DefaultDisplayFormat, x));
    CalcErrorCode = kMsgTwoPhaseUndetermined;
    if (help != 0) MessageHelpContext = help;
    return true;
  }
  return false;
}

Extended AsPhase(Extended x, Extended below) { return x < below ? -100 : x; }

// T of the document's scale in K.
Extended KelvinOf(Extended T) {
  PropertyToInternalUnits(kT, T);
  return T;
}

}  // namespace

Extended TSteamNBSSubstance::StateAt(Extended (TSteamNBSSubstance::*slot)(TPropertyArgumentRecord&), Extended T,
                                     int32_t kind2, Extended value2) {
  ArgCount = 2;
  ArgKind[1] = kT;
  ArgKind[2] = kind2;
  TPropertyArgumentRecord w;
  w.Value[1] = T;
  w.Value[2] = value2;
  return (this->*slot)(w);
}

Extended TSteamNBSSubstance::SpecHeat(TPropertyArgumentRecord& a) {
  for (size_t i = 1; i <= 10; ++i) SteamStateBlock[i] = -999;
  if (HasArgumentKind(*this, kH)) IntEnergy(a); else Enthalpy(a);
  if (ErrorPending()) return kSpecHeatFailure;
  if (RejectTwoPhase("SpecHeat", kSpecHeatHelp)) return kSpecHeatFailure;
  SavedCall saved(*this, a);
  const Extended T0 = SteamStateBlock[kT];
  const Extended P0 = SteamStateBlock[kP];
  const Extended x = SteamStateBlock[kX];
  // A saturated state is differenced just inside its own phase.
  Extended P = P0;
  if (x <= 0.01L) P = 1.0001L * P0;
  else if (x >= 0.999L) P = 0.999L * P0;
  if (SuppressWarnings || ErrorPending()) return kSpecHeatFailure;
  Extended T = T0;
  if (std::fabs(KelvinOf(T0) - 273.15L) < 0.001L) T = IceFlag ? T0 - 0.001L : T0 + 0.0015L;
  const Extended h1 = StateAt(&TSteamNBSSubstance::Enthalpy, T, kP, P);
  const Extended x1 = AsPhase(SteamStateBlock[kX], 0.001L);
  T -= 0.001L;
  const Extended h2 = StateAt(&TSteamNBSSubstance::Enthalpy, T, kP, P);
  Extended x2 = AsPhase(SteamStateBlock[kX], 0.001L);
  // A jump in h at equal phase indicators is a phase change (ice to liquid).
  if (std::fabs(h2 - h1) > 100 && x1 == x2) x2 = 999;
  if (x1 == x2) return (h1 - h2) / 0.001L;
  T += 0.002L;
  const Extended h3 = StateAt(&TSteamNBSSubstance::Enthalpy, T, kP, P);
  return (h3 - h1) / 0.001L;
}

Extended TSteamNBSSubstance::SteamCvByDifference(TPropertyArgumentRecord& a) {
  SavedCall saved(*this, a);
  const Extended T0 = SteamStateBlock[kT];
  if (SuppressWarnings || ErrorPending()) return ErrorResultValue;
  const Extended u0 = SteamStateBlock[kU];
  const Extended x0 = AsPhase(SteamStateBlock[kX], 1e-6L);
  const Extended vs = SteamStateBlock[kV];
  // A saturated liquid is followed along the saturation line, any other
  // state at its own volume.
  const bool saturatedLiquid = std::fabs(x0) < 0.001L;
  const int32_t kind2 = saturatedLiquid ? kX : kV;
  const Extended value2 = saturatedLiquid ? 0 : vs;
  Extended u1 = StateAt(&TSteamNBSSubstance::IntEnergy, T0 - 0.1L, kind2, value2);
  const Extended x1 = AsPhase(SteamStateBlock[kX], 0.001L);
  if (x0 == x1) return (u0 - u1) / 0.1L;
  u1 = StateAt(&TSteamNBSSubstance::IntEnergy, T0 + 0.1L, kind2, value2);
  return (u1 - u0) / 0.1L;
}

Extended TSteamNBSSubstance::Cv(TPropertyArgumentRecord& a) {
  SpecHeat(a);
  SetMessageArg(1, "Cv");
  if (ErrorPending()) return ErrorResultValue;
  return SteamCvByDifference(a);
}

Extended TSteamNBSSubstance::SoundSpeed(TPropertyArgumentRecord& a) {
  const int32_t savedCount = ArgCount;
  const auto savedKinds = ArgKind;
  const Extended cp = SpecHeat(a);
  const Extended T0 = SteamStateBlock[kT];
  const Extended P0 = SteamStateBlock[kP];
  const Extended vs = SteamStateBlock[kV];
  SetMessageArg(1, "SoundSpeed");
  if (ErrorPending()) {
    ArgCount = savedCount;
    ArgKind = savedKinds;
    return kSpecHeatFailure;
  }
  const Extended cv = SteamCvByDifference(a);
  Extended dPdv = 0;
  if (!SuppressWarnings && !ErrorPending()) {
    SavedCall saved(*this, a);
    const bool english = DocumentSettings.UnitSystem != 0;
    Extended dP = 0.1L;
    if (!english) {
      switch (DocumentSettings.PressureUnit) {
        case 1: dP = 0.001L; break;
        case 2: dP = 100; break;
        case 3: dP = 0.0001L; break;
        default: break;
      }
    } else if (DocumentSettings.PressureUnit != 0) {
      dP = 0.001L;
    }
    if (dP / P0 > 0.1L) dP = 0.01L * P0;
    const Extended va = StateAt(&TSteamNBSSubstance::Volume, T0, kP, P0 + dP / 2);
    const Extended x1 = AsPhase(SteamStateBlock[kX], 1e-6L);
    const Extended vb = StateAt(&TSteamNBSSubstance::Volume, T0, kP, P0 - dP / 2);
    const Extended x2 = AsPhase(SteamStateBlock[kX], 1e-6L);
    Extended other = vb;
    if (x1 == x2) {
      dPdv = -dP / (vb - va);
    } else {
      other = StateAt(&TSteamNBSSubstance::Volume, T0, kP, P0 + dP);
      dPdv = (dP / 2) / (other - va);
    }
    if (std::fabs(other - va) < 1e-12L) dPdv = -P0 / vs;
  }
  ArgCount = savedCount;
  ArgKind = savedKinds;
  if (dPdv == 0) return 0;
  const bool english = DocumentSettings.UnitSystem != 0;
  Extended c = 0;
  if (!english) {
    c = SafeSqrt(-vs * vs * dPdv * cp / cv * 1000);
    switch (DocumentSettings.PressureUnit) {
      case 1: c *= 10; break;
      case 2: c /= std::sqrt(1000.0L); break;
      case 3: c *= std::sqrt(1000.0L); break;
      default: break;
    }
  } else {
    const Extended factor = DocumentSettings.PressureUnit != 0 ? 14.697L * 144 * 32.17L : 144 * 32.17L;
    c = SafeSqrt(-vs * vs * dPdv * cp / cv * factor);
    PropertyToInternalUnits(18, c);
  }
  if (DocumentSettings.MolarBasis != 0) c /= std::sqrt(kSteamMolarMass);
  PropertyFromInternalUnits(18, c);
  return c;
}

Extended TSteamNBSSubstance::VolExpCoef(TPropertyArgumentRecord& a) {
  if (HasArgumentKind(*this, kH)) IntEnergy(a); else Enthalpy(a);
  if (ErrorPending()) return ErrorResultValue;
  SavedCall saved(*this, a);
  // The compiler's probe solves nothing: the block's quality is not this state's.
  if (SuppressWarnings) return ErrorResultValue;
  if (RejectTwoPhase("VolExpCoef", 0)) return ErrorResultValue;
  const Extended T0 = SteamStateBlock[kT];
  const Extended P0 = SteamStateBlock[kP];
  const Extended x = SteamStateBlock[kX];
  Extended P = P0;
  if (x >= 0 && x <= 0.001L) P = 1.01L * P0;
  else if (x >= 0.99L && x <= 1) P = 0.99L * P0;
  if (SuppressWarnings || ErrorPending()) return ErrorResultValue;
  const Extended rho1 = 1 / StateAt(&TSteamNBSSubstance::Volume, T0, kP, P);
  const Extended x1 = SteamStateBlock[kX];
  const Extended rho2 = 1 / StateAt(&TSteamNBSSubstance::Volume, T0 - 0.001L, kP, P);
  const Extended x2 = SteamStateBlock[kX];
  if (x1 == x2) return -(rho1 - rho2) / (0.001L * rho1);
  const Extended rho3 = 1 / StateAt(&TSteamNBSSubstance::Volume, T0 + 0.001L, kP, P);
  return (rho1 - rho3) / (0.001L * rho1);
}

// ln(f/P0) = ((h - h0)/T - (s - s0))/R between the state and the nearly
// ideal gas at P0 = 0.001 kPa and the same T: the Gibbs function of the
// state relative to the ideal gas. T must be absolute here (K or R): the
// document's Celsius or Fahrenheit value would give a wrong result, and a
// division by zero at 0 C.
Extended TSteamNBSSubstance::Fugacity(TPropertyArgumentRecord& a) {
  if (HasArgumentKind(*this, kH)) IntEnergy(a); else Enthalpy(a);
  if (ErrorPending()) return ErrorResultValue;
  if (SuppressWarnings) return 1;
  SavedCall saved(*this, a);
  saved.KeepBlock();
  const Extended T = SteamStateBlock[kT];
  const Extended h = SteamStateBlock[kH];
  const Extended s = SteamStateBlock[5];
  Extended P0 = 0.001L;
  PropertyFromInternalUnits(kP, P0);
  StateAt(&TSteamNBSSubstance::Enthalpy, T, kP, P0);
  if (ErrorPending()) return ErrorResultValue;
  const Extended h0 = SteamStateBlock[kH];
  const Extended s0 = SteamStateBlock[5];
  Extended R = 8.3144L;
  PropertyFromInternalUnits(5, R);
  if (DocumentSettings.MolarBasis == 0) R /= kSteamMolarMass;
  Extended absoluteT = KelvinOf(T);
  if (UnitConversionEnabled && DocumentSettings.UnitSystem != 0) absoluteT *= 1.8L;
  return P0 * std::exp(((h - h0) / absoluteT - (s - s0)) / R);
}

}  // namespace voq
