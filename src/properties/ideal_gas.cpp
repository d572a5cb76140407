#include "properties/ideal_gas.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "model/warnings_window.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7;
constexpr int32_t kArgumentHelp = 129;
constexpr Extended kUniversalR = 8.31434L;

// The bracket of the secant iterations, shared by every ideal-gas
// iteration and reset by the first pass of each.
struct TSecantBracket {
  bool bisecting = false;
  Extended fNeg = 0, xNeg = 0, fPos = 0, xPos = 0;
} bracket;

// Conversions off around the inner calls, the previous state restored.
class ConversionsOff {
 public:
  ConversionsOff() : saved_(UnitConversionEnabled) { UnitConversionEnabled = false; }
  ~ConversionsOff() { UnitConversionEnabled = saved_; }
  ConversionsOff(const ConversionsOff&) = delete;
  ConversionsOff& operator=(const ConversionsOff&) = delete;

 private:
  bool saved_;
};

bool ErrorPending() { return CalcErrorCode > 0; }
bool English() { return DocumentSettings.UnitSystem != 0; }
bool SiJoules() { return DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit == 0; }

// Secant iteration on residual(T) from T0: at most 26 passes, the last
// estimate is the result whether or not the tolerance was met.
// hTolerance: stop when the step is below 1e-7 K; otherwise when the
// residual is below 1e-10.
template <typename Residual>
Extended SecantIterate(Extended t0, bool hTolerance, Residual residual, bool clampPS = false) {
  Extended xOld = t0;
  Extended fOld = residual(t0);
  Extended x = 1.01L * t0;
  int32_t pass = 0;
  while (true) {
    ++pass;
    Extended evaluated = x;
    Extended f = residual(evaluated);
    if (ErrorPending()) return x;
    const Extended previous = xOld;
    Extended next = evaluated;
    SecantStep(pass, next, f, bracket.bisecting, bracket.fNeg, bracket.xNeg, bracket.fPos, bracket.xPos,
               fOld, xOld);
    if (clampPS) {
      if (next < 10) next = 100;
      else if (next > 5000) next = 10000;
    }
    x = next;
    if (ErrorPending()) return x;
    if (hTolerance) {
      if (std::fabs(x - xOld) < 1E-7L) break;
    } else if (std::fabs(f) < 1E-10L) {
      break;
    }
    (void)previous;
    if (pass > 25) break;
  }
  return x;
}

// Input slots of the two-argument operations.

}  // namespace

std::string TIdealGasSubstance::GasName() const { return Data ? Data->Name : std::string(); }

void TIdealGasSubstance::AddRangeWarning(const std::string& range) const {
  MessageText = GasName() + GetMessageText(kMsgCorrelationRange) + range;
  AddWarning(MessageText);
}

// ---- Iterations (internal units) ------------------------------------------

Extended TIdealGasSubstance::TemperatureFromH(Extended h) {
  const Extended t0 = (h - RefH) / GuessCp + RefT;
  return SecantIterate(t0, true, [&](Extended T) {
    if (T < 0) {
      CalcErrorCode = kMsgNegativeTemperature;
      return Extended(0);
    }
    return h - EnthalpyT(T);
  });
}

Extended TIdealGasSubstance::TemperatureFromU(Extended u) {
  const Extended t0 = (u - (RefH - R * RefT)) / (GuessCp - R) + RefT;
  return SecantIterate(t0, false, [&](Extended T) {
    if (T < 0) {
      CalcErrorCode = kMsgNegativeTemperature;
      return Extended(0);
    }
    return u - (EnthalpyT(T) - R * T);
  });
}

Extended TIdealGasSubstance::TemperatureFromPS(Extended P, Extended s) {
  if (P < 0) {
    CalcErrorCode = kMsgLogOfNonPositive;
    return RefT;
  }
  const Extended t0 = RefT * std::exp((s - RefS + R * SafeLn(P / RefP)) / GuessCp);
  if (ErrorPending()) return RefT;
  const Extended lnP = SafeLn(P / RefP);
  return SecantIterate(
      t0, false, [&](Extended T) { return s - (EntropyT(T) - R * lnP); }, true);
}

Extended TIdealGasSubstance::TemperatureFromSV(Extended s, Extended v) {
  const Extended vref = R * RefT / RefP;
  const Extended t0 = RefT * std::exp((s - RefS - R * SafeLn(v / vref)) / (GuessCp - R));
  if (ErrorPending()) return RefT;
  return SecantIterate(t0, false, [&](Extended T) {
    const Extended P = R * T / v;
    return s - (EntropyT(T) - R * SafeLn(P / RefP));
  });
}

Extended TIdealGasSubstance::TemperatureOfEnergy(int32_t kind, Extended value) {
  if (SuppressWarnings) return RefT;
  return kind == kH ? TemperatureFromH(value) : TemperatureFromU(value);
}

// ---- Slot 6 -----------------------------------------------------------------

Extended TIdealGasSubstance::Temperature(TPropertyArgumentRecord& a) {
  Extended result = RefT;
  if (ArgCount == 1) {
    Extended value = a.Value[1];
    switch (ArgKind[1]) {
      case kT: CalcErrorCode = kMsgPropertyIndependentVariable; break;
      case kP: CalcErrorCode = kMsgIdealGasTemperatureFromPressure; break;
      case kS: CalcErrorCode = kMsgIdealGasTemperatureFromEntropy; break;
      case kV: CalcErrorCode = kMsgIdealGasTemperatureFromVolume; break;
      case kX: CalcErrorCode = kMsgIdealGasQuality; break;
      case kH:
      case kU:
        PropertyToInternalUnits(ArgKind[1], value);
        if (!SuppressWarnings) {
          ConversionsOff off;
          result = ArgKind[1] == kH ? TemperatureFromH(value) : TemperatureFromU(value);
        }
        break;
      default: CalcErrorCode = kMsgPropertyIndependentVariable; break;
    }
  } else if (ArgCount == 2) {
    TSlots slots;
    for (int32_t i = 1; i <= 2 && !ErrorPending(); ++i) {
      Extended value = a.Value[static_cast<size_t>(i)];
      const int32_t kind = ArgKind[static_cast<size_t>(i)];
      PropertyToInternalUnits(kind, value);
      switch (kind) {
        case kP: slots.hasP = true; slots.P = value; break;
        case kS: slots.hasS = true; slots.s = value; break;
        case kV: slots.hasV = true; slots.v = value; break;
        case kH:
        case kU: SetCalcErrorWithHelp(kMsgIdealGasTooManyVariables, kArgumentHelp); break;
        case kX: CalcErrorCode = kMsgIdealGasQuality; break;
        default: SetCalcErrorWithHelp(kMsgPropertyIndependentVariable, kArgumentHelp); break;
      }
    }
    if (!ErrorPending() && slots.Count() != 2) CalcErrorCode = kMsgPropertyUnderdetermined;
    if (!SuppressWarnings && !ErrorPending()) {
      ConversionsOff off;
      if (slots.hasP && slots.hasV) {
        result = slots.P * slots.v / R;
      } else if (slots.hasP && slots.hasS) {
        result = TemperatureFromPS(slots.P, slots.s);
      } else {
        result = TemperatureFromSV(slots.s, slots.v);
      }
    }
  } else {
    SetCalcErrorWithHelp(kMsgIdealGasTooManyVariables, kArgumentHelp);
  }
  if (SuppressWarnings || ErrorPending()) return result;
  if (!std::isfinite(static_cast<double>(result))) {
    SetCalcError(kMsgFunctionNoConvergence, "The Temperature");
    return result;
  }
  PropertyFromInternalUnits(1, result);
  return result;
}

// ---- Slots 7 and 11 -------------------------------------------------------

// The two arguments of a pressure or volume call as T, P, s and v; h and u
// stand for the temperature they give. The slot's own kind `own` and the
// quality are not independent variables here.
TIdealGasSubstance::TSlots TIdealGasSubstance::StateSlots(TPropertyArgumentRecord& a, int32_t own) {
  TSlots slots;
  for (int32_t i = 1; i <= 2 && !ErrorPending(); ++i) {
    Extended value = a.Value[static_cast<size_t>(i)];
    const int32_t kind = ArgKind[static_cast<size_t>(i)];
    PropertyToInternalUnits(kind, value);
    if (kind == own) {
      CalcErrorCode = kMsgPropertyIndependentVariable;
      break;
    }
    switch (kind) {
      case kT: slots.hasT = true; slots.T = value; break;
      case kP: slots.hasP = true; slots.P = value; break;
      case kH:
      case kU: {
        ConversionsOff off;
        slots.hasT = true;
        slots.T = TemperatureOfEnergy(kind, value);
        break;
      }
      case kS: slots.hasS = true; slots.s = value; break;
      case kV: slots.hasV = true; slots.v = value; break;
      case kX: CalcErrorCode = kMsgIdealGasQuality; break;
      default: CalcErrorCode = kMsgPropertyIndependentVariable; break;
    }
  }
  if (!ErrorPending() && slots.Count() != 2) CalcErrorCode = kMsgPropertyUnderdetermined;
  return slots;
}

Extended TIdealGasSubstance::Pressure(TPropertyArgumentRecord& a) {
  if (ArgCount != 2) {
    SetCalcErrorWithHelp(kMsgPropertyNeedsTwoVariables, kArgumentHelp);
    return ErrorResultValue;
  }
  const TSlots slots = StateSlots(a, kP);
  if (SuppressWarnings || ErrorPending()) return RefP;
  Extended P;
  {
    ConversionsOff off;
    if (slots.hasT && slots.hasS) {
      P = RefP * std::exp((EntropyT(slots.T) - slots.s) / R);
    } else if (slots.hasT && slots.hasV) {
      P = R * slots.T / slots.v;
    } else {
      const Extended T = TemperatureFromSV(slots.s, slots.v);
      P = R * T / slots.v;
    }
  }
  PropertyFromInternalUnits(2, P);
  return P;
}

Extended TIdealGasSubstance::Volume(TPropertyArgumentRecord& a) {
  if (ArgCount != 2) {
    SetCalcErrorWithHelp(kMsgPropertyNeedsTwoVariables, kArgumentHelp);
    return ErrorResultValue;
  }
  const TSlots slots = StateSlots(a, kV);
  if (SuppressWarnings || ErrorPending()) return 1;
  Extended v;
  {
    ConversionsOff off;
    if (slots.hasT && slots.hasS) {
      const Extended P = RefP * std::exp((EntropyT(slots.T) - slots.s) / R);
      v = R * slots.T / P;
    } else if (slots.hasT && slots.hasP) {
      v = R * slots.T / slots.P;
    } else {
      const Extended T = TemperatureFromPS(slots.P, slots.s);
      v = R * T / slots.P;
    }
  }
  PropertyFromInternalUnits(6, v);
  return v;
}

// ---- Slots 8 and 9 ----------------------------------------------------------

// The temperature behind an enthalpy or internal-energy call: T itself, the
// other caloric property alone, or two of P, s and v. `self` is the slot's
// own kind (h or u), which is never an independent variable of itself;
// `fromP`, `fromS` and `fromV` are the slot's messages for a lone P, s or v.
bool TIdealGasSubstance::CaloricTemperature(TPropertyArgumentRecord& a, int32_t self,
                                            int32_t fromP, int32_t fromS, int32_t fromV,
                                            Extended& T) {
  const int32_t other = self == kH ? kU : kH;
  if (ArgCount == 1) {
    Extended value = a.Value[1];
    const int32_t kind = ArgKind[1];
    PropertyToInternalUnits(kind, value);
    if (kind == kT) {
      if (value < 0) {
        CalcErrorCode = kMsgNegativeTemperature;
        return false;
      }
      T = value;
      return true;
    }
    if (kind == other) {
      if (SuppressWarnings) return false;
      ConversionsOff off;
      T = kind == kU ? TemperatureFromU(value) : TemperatureFromH(value);
      return true;
    }
    switch (kind) {
      case kP: CalcErrorCode = fromP; break;
      case kS: CalcErrorCode = fromS; break;
      case kV: CalcErrorCode = fromV; break;
      case kX: CalcErrorCode = kMsgIdealGasQuality; break;
      default: CalcErrorCode = kMsgPropertyIndependentVariable; break;
    }
    return false;
  }
  if (ArgCount != 2) {
    CalcErrorCode = kMsgIdealGasTooManyVariables;
    return false;
  }
  TSlots slots;
  for (int32_t i = 1; i <= 2 && !ErrorPending(); ++i) {
    Extended value = a.Value[static_cast<size_t>(i)];
    const int32_t kind = ArgKind[static_cast<size_t>(i)];
    PropertyToInternalUnits(kind, value);
    if (kind == kT || kind == other) {
      CalcErrorCode = kMsgIdealGasTooManyVariables;
      break;
    }
    switch (kind) {
      case kP: slots.hasP = true; slots.P = value; break;
      case kS: slots.hasS = true; slots.s = value; break;
      case kV: slots.hasV = true; slots.v = value; break;
      case kX: CalcErrorCode = kMsgIdealGasQuality; break;
      default: CalcErrorCode = kMsgPropertyIndependentVariable; break;
    }
  }
  if (!ErrorPending() && slots.Count() != 2) CalcErrorCode = kMsgPropertyUnderdetermined;
  if (SuppressWarnings || ErrorPending()) return false;
  ConversionsOff off;
  if (slots.hasP && slots.hasV) T = slots.P * slots.v / R;
  else if (slots.hasP && slots.hasS) T = TemperatureFromPS(slots.P, slots.s);
  else T = TemperatureFromSV(slots.s, slots.v);
  return true;
}

Extended TIdealGasSubstance::Enthalpy(TPropertyArgumentRecord& a) {
  Extended T = RefT;
  if (!CaloricTemperature(a, kH, kMsgIdealGasEnthalpyFromPressure, kMsgEnthalpyFromEntropy,
                          kMsgEnthalpyFromVolume, T) ||
      SuppressWarnings || ErrorPending())
    return RefH;
  Extended h;
  {
    ConversionsOff off;
    h = EnthalpyT(T);
  }
  PropertyFromInternalUnits(3, h);
  return h;
}

Extended TIdealGasSubstance::IntEnergy(TPropertyArgumentRecord& a) {
  Extended T = RefT;
  if (!CaloricTemperature(a, kU, kMsgIntEnergyFromPressure, kMsgIntEnergyFromEntropy,
                          kMsgIntEnergyFromVolume, T) ||
      SuppressWarnings || ErrorPending())
    return RefH - R * RefT;
  Extended u;
  {
    ConversionsOff off;
    u = EnthalpyT(T) - R * T;
  }
  PropertyFromInternalUnits(4, u);
  return u;
}

// ---- Slot 10 ----------------------------------------------------------------

Extended TIdealGasSubstance::Entropy(TPropertyArgumentRecord& a) {
  if (ArgCount < 2) {
    CalcErrorCode = kMsgPropertyUnderdetermined;
    return ErrorResultValue;
  }
  if (ArgCount > 2) {
    CalcErrorCode = kMsgIdealGasTooManyVariables;
    return ErrorResultValue;
  }
  TSlots slots;
  for (int32_t i = 1; i <= 2 && !ErrorPending(); ++i) {
    Extended value = a.Value[static_cast<size_t>(i)];
    const int32_t kind = ArgKind[static_cast<size_t>(i)];
    PropertyToInternalUnits(kind, value);
    switch (kind) {
      case kT: slots.hasT = true; slots.T = value; break;
      case kP: slots.hasP = true; slots.P = value; break;
      case kV: slots.hasV = true; slots.v = value; break;
      case kH:
      case kU: {
        ConversionsOff off;
        slots.hasT = true;
        slots.T = TemperatureOfEnergy(kind, value);
        break;
      }
      case kS: CalcErrorCode = kMsgPropertyIndependentVariable; break;
      case kX: CalcErrorCode = kMsgIdealGasQuality; break;
      default: CalcErrorCode = kMsgPropertyIndependentVariable; break;
    }
  }
  if (!ErrorPending() && slots.Count() != 2) CalcErrorCode = kMsgPropertyUnderdetermined;
  if (SuppressWarnings || ErrorPending()) return RefS;
  Extended s;
  {
    ConversionsOff off;
    Extended T = slots.T;
    Extended P = slots.P;
    if (slots.hasT) {
      if (!slots.hasP) P = R * T / slots.v;
    } else {
      T = slots.P * slots.v / R;
    }
    s = EntropyT(T) - R * SafeLn(P / RefP);
  }
  if (ErrorPending()) return s;
  PropertyFromInternalUnits(5, s);
  return s;
}

Extended TIdealGasSubstance::Quality(TPropertyArgumentRecord&) {
  CalcErrorCode = kMsgIdealGasQuality;
  return 1.0L;
}

// ---- Specific heats, speed of sound, expansion, fugacity -------------------

Extended TIdealGasSubstance::SpecHeat(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "ideal gas SpecHeat");
    MessageHelpContext = 139;
    return ErrorResultValue;
  }
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  if (T < 0) {
    CalcErrorCode = kMsgNegativeTemperature;
    return ErrorResultValue;
  }
  if (SuppressWarnings) return 1;
  Extended cp;
  {
    ConversionsOff off;
    cp = (EnthalpyT(T + 0.1L) - EnthalpyT(T - 0.1L)) / 0.2L;
  }
  PropertyFromInternalUnits(8, cp);
  if (UnitConversionEnabled && SiJoules()) cp *= 1000;
  return cp;
}

namespace {
// The gas constant in the document's specific-heat unit.
Extended DocumentGasConstant(Extended molarMass) {
  Extended r = DocumentSettings.MolarBasis != 0 ? kUniversalR : kUniversalR / molarMass;
  if (UnitConversionEnabled) {
    if (English()) r /= 4.18689L;
    else if (SiJoules()) r *= 1000;
  }
  return r;
}
}  // namespace

Extended TIdealGasSubstance::Cv(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "Cv (ideal gas)");
    MessageHelpContext = 365;
    return ErrorResultValue;
  }
  const Extended cp = SpecHeat(a);
  if (ErrorPending() || SuppressWarnings) return cp;
  return cp - DocumentGasConstant(M);
}

Extended TIdealGasSubstance::SoundSpeed(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "ideal gas SoundSpeed");
    MessageHelpContext = 367;
    return ErrorResultValue;
  }
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  const Extended cp = SpecHeat(a);
  if (ErrorPending() || SuppressWarnings) return cp;
  const Extended cv = cp - DocumentGasConstant(M);
  Extended c = std::sqrt(8314.34L / M * T * cp / cv);
  PropertyFromInternalUnits(18, c);
  return c;
}

Extended TIdealGasSubstance::VolExpCoef(TPropertyArgumentRecord& a) {
  Extended T;
  if (ArgCount == 1 && ArgKind[1] == kT) {
    T = a.Value[1];
  } else {
    T = Temperature(a);
    if (ErrorPending()) return ErrorResultValue;
  }
  if (SuppressWarnings) return 1;
  if (DocumentSettings.AbsoluteTemperature != 0) return 1 / T;
  return English() ? 1 / (T + 459.67L) : 1 / (T + 273.15L);
}

Extended TIdealGasSubstance::Fugacity(TPropertyArgumentRecord& a) {
  if (ArgCount >= 1 && ArgKind[1] == kP) return a.Value[1];
  if (ArgCount >= 2 && ArgKind[2] == kP) return a.Value[2];
  return Pressure(a);
}

Extended TIdealGasSubstance::SurfaceTension(TPropertyArgumentRecord&) {
  SetCalcError(kMsgIdealGasDataInapplicable, "Surface tension");
  MessageHelpContext = HelpContext;
  return ErrorResultValue;
}

// ---- Constants ----------------------------------------------------------------

Extended TIdealGasSubstance::T_crit() {
  if (Data == nullptr || Data->TCrit < 0.001L) {
    CalcErrorCode = kMsgNoCriticalProperties;
    return ErrorResultValue;
  }
  Extended T = Data->TCrit;
  UnitConversionEnabled = true;
  PropertyFromInternalUnits(1, T);
  return T;
}

Extended TIdealGasSubstance::P_crit() {
  if (Data == nullptr || Data->PCrit < 0.001L) {
    CalcErrorCode = kMsgNoCriticalProperties;
    return ErrorResultValue;
  }
  Extended P = Data->PCrit;
  UnitConversionEnabled = true;
  PropertyFromInternalUnits(2, P);
  return P;
}

Extended TIdealGasSubstance::v_crit() {
  if (Data == nullptr || Data->VCrit < 1E-9L) {
    CalcErrorCode = kMsgNoCriticalProperties;
    return ErrorResultValue;
  }
  Extended v = Data->VCrit;
  UnitConversionEnabled = true;
  PropertyFromInternalUnits(6, v);
  return v;
}

Extended TIdealGasSubstance::AcentricFactor() {
  if (Data == nullptr || Data->AcentricFactor < 0) {
    CalcErrorCode = kMsgNoCriticalProperties;
    return ErrorResultValue;
  }
  return Data->AcentricFactor;
}

// ---- Transport properties -----------------------------------------------------

namespace {

Extended ViscosityOf(const TIdealGasDataRecord& d, Extended T) {
  const auto& c = d.ViscosityCoef;
  const Extended Tr = d.TCrit != 0 ? T / d.TCrit : 0;
  switch (static_cast<int32_t>(std::lround(static_cast<double>(d.ViscosityForm)))) {
    case 0: return c[1] + T * (c[2] + T * (c[3] + T * (c[4] + T * (c[5] + T * c[6]))));
    case 1: return c[1] * PowerReal(T, c[2]) / (1 + c[3] / T + c[4] / (T * T));
    case 2: {
      const Extended inv = 1 / T;
      return 1E-6L * std::sqrt(T) / (c[1] + inv * (c[2] + inv * (c[3] + inv * (c[4] + inv * c[5]))));
    }
    case 3:
      return c[1] * PowerReal(Tr, -1.5L) + c[2] / Tr + c[3] / std::sqrt(Tr) + c[4] + c[5] * std::sqrt(Tr) +
             c[6] * Tr;
    case 4: {
      static constexpr Extended g[5] = {0.235156L, -0.491266L, 0.05211155L, 0.05347906L, -0.01537102L};
      const Extended x = std::log(T / 251.196L);
      const Extended G = g[0] + x * (g[1] + x * (g[2] + x * (g[3] + x * g[4])));
      return 1.00697L * std::sqrt(T) / std::exp(G);
    }
    case 5: {
      const Extended r = std::sqrt(T);
      return c[1] + r * (c[2] + r * (c[3] + r * (c[4] + r * (c[5] + r * c[6]))));
    }
    default: return ErrorResultValue;
  }
}

// Form 0, 1 or 3; another form number has no correlation.
Extended ConductivityOf(const TIdealGasDataRecord& d, Extended T, bool& known) {
  const auto& c = d.ConductivityCoef;
  known = true;
  switch (static_cast<int32_t>(std::lround(static_cast<double>(d.ConductivityForm)))) {
    case 0:
      return c[1] + T * (c[2] + T * (c[3] + T * (c[4] + T * (c[5] + T * (c[6] + T * c[7])))));
    case 1: return c[1] * PowerReal(T, c[2]) / (1 + c[3] / T + c[4] / (T * T));
    case 3: {
      const Extended Tr = d.TCrit != 0 ? T / d.TCrit : 0;
      const Extended r = std::sqrt(Tr);
      return c[1] / Tr + c[2] / r + c[3] + c[4] * r + c[5] * Tr + c[6] * Tr * r + c[7] * Tr * Tr;
    }
    default: known = false; return ErrorResultValue;
  }
}

void TransportRangeWarning(Extended lo, Extended hi, Extended T, const std::string& what, int32_t help) {
  const TDisplayFormat f{3, 3};
  MessageHelpContext = help;
  SetMessageArg(1, FormatValue(f, lo) + " < T [K] < " + FormatValue(f, hi));
  SetMessageArg(2, FormatValue(f, T) + " K");
  SetMessageArg(3, what);
  AddWarning(GetMessageText(kMsgTemperatureRange));
}

}  // namespace

Extended TIdealGasSubstance::Viscosity(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "ideal gas viscosity");
    MessageHelpContext = 144;
    return ErrorResultValue;
  }
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  if (SuppressWarnings || Data == nullptr) return 1;
  if (T < Data->ViscosityTMin || T > Data->ViscosityTMax) {
    TransportRangeWarning(Data->ViscosityTMin, Data->ViscosityTMax, T, " for Viscosity of " + GasName(),
                          HelpContext);
  }
  Extended mu = ViscosityOf(*Data, T);
  PropertyFromInternalUnits(9, mu);
  return mu;
}

Extended TIdealGasSubstance::Conductivity(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "ideal gas Conductivity");
    MessageHelpContext = 130;
    return ErrorResultValue;
  }
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  if (SuppressWarnings || Data == nullptr) return 1;
  if (T < Data->ConductivityTMin || T > Data->ConductivityTMax) {
    TransportRangeWarning(Data->ConductivityTMin, Data->ConductivityTMax, T,
                          " for Conductivity of " + GasName(), HelpContext);
  }
  bool known = true;
  Extended k = ConductivityOf(*Data, T, known);
  if (!known) {
    // A form without a correlation: say so instead of inventing a value.
    SetCalcError(kMsgSubstanceDataUnavailable, "Conductivity");
    return ErrorResultValue;
  }
  PropertyFromInternalUnits(10, k);
  return k;
}

Extended TIdealGasSubstance::Prandtl(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetCalcError(kMsgTemperatureOnlyArgument, "ideal gas Prandtl");
    MessageHelpContext = 326;
    return ErrorResultValue;
  }
  const Extended mu = Viscosity(a);
  if (ErrorPending()) return ErrorResultValue;
  Extended k = Conductivity(a);
  if (ErrorPending()) return ErrorResultValue;
  Extended cp = SpecHeat(a);
  if (ErrorPending()) return ErrorResultValue;
  if (SuppressWarnings) return 1;
  if (DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit != 0) k /= 1000;
  if (DocumentSettings.MolarBasis != 0) cp /= M;
  return cp * mu / k;
}

// ---- Reference state ------------------------------------------------------------

void TIdealGasSubstance::SetReferenceState() {
  if (DocumentSettings.MolarBasis == 0) {
    R /= M;
    GuessCp /= M;
    RefH /= M;
    RefS /= M;
  }
  UnitConversionEnabled = false;
  TPropertyArgumentRecord a;
  SuppressWarnings = 0;
  ArgCount = 1;
  ArgKind[1] = kT;
  a.Value[1] = RefT;
  HOffset = 0;
  HOffset = RefH - Enthalpy(a);
  ArgCount = 2;
  ArgKind[2] = kP;
  a.Value[2] = RefP;
  SOffset = 0;
  SOffset = RefS - Entropy(a);
  SuppressWarnings = 1;
}

}  // namespace voq
