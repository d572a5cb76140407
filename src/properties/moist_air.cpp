#include "properties/moist_air.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/property_units.h"
#include "properties/psychrometrics.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7, kB = 11, kD = 12, kW = 13, kR = 14;
constexpr int32_t kGasH2O = 211;
constexpr Extended kMolarMassAirH2O = 28.9669L;

// What the input resolver found; shared by every moist-air object.
struct TPsychResolved {
  Extended T = 0, P = 0, W = 0, R = 0, B = 0, D = 0;
  bool knownT = false, knownP = false, knownW = false, knownR = false, knownB = false, knownD = false;
};
TPsychResolved Resolved;

void Fail(int32_t code) {
  if (CalcErrorCode == 0) SetCalcError(code);
}
void Fail(int32_t code, const std::string& arg) {
  if (CalcErrorCode == 0) SetCalcError(code, arg);
}

// The arguments of one call by kind: which were given, their values and
// positions (1..3). "Known" values found by later steps join the same
// table.
struct TArgs {
  std::array<bool, 15> given{};
  std::array<bool, 15> known{};
  std::array<Extended, 15> value{};
  std::array<int32_t, 15> pos{};
  void Know(int32_t kind, Extended v) {
    known[static_cast<size_t>(kind)] = true;
    value[static_cast<size_t>(kind)] = v;
  }
  bool G(int32_t kind) const { return given[static_cast<size_t>(kind)]; }
  bool K(int32_t kind) const { return known[static_cast<size_t>(kind)]; }
  Extended V(int32_t kind) const { return value[static_cast<size_t>(kind)]; }
};

// Reads the three arguments: counts, the sign of W and the range of R
// (each still read after an error), and the kinds the operation refuses.
// Returns false when an error is pending afterwards.
bool ReadArgs(const TSubstanceBase& o, const TPropertyArgumentRecord& a, const std::array<char, 15>& accept,
              int32_t kindError, TArgs& args) {
  if (o.ArgCount != 3) {
    Fail(kindError);
    return false;
  }
  for (int32_t i = 1; i <= 3; ++i) {
    const int32_t kind = o.ArgKind[static_cast<size_t>(i)];
    const Extended v = a.Value[static_cast<size_t>(i)];
    if (kind < 1 || kind > 14) {
      Fail(kindError);
      continue;
    }
    if (kind == kW && v < 0) Fail(kMsgNegativeHumidityRatio);
    if (kind == kR && (v < 0 || v > 1)) Fail(kMsgRelHumRange);
    const char rule = accept[static_cast<size_t>(kind)];
    if (rule == 'E') {
      Fail(kindError);
    } else if (rule == 'A') {
      args.given[static_cast<size_t>(kind)] = true;
      args.pos[static_cast<size_t>(kind)] = i;
      args.Know(kind, v);
    }
  }
  return CalcErrorCode == 0;
}

// Acceptance by kind 0..14 ('A' accepted, '-' ignored, 'E' refused).
//                                              0    T    P    h    u    s    v    x    8    9   10    B    D    W    R
constexpr std::array<char, 15> kAcceptTemperature{'E', 'E', 'A', 'A', 'E', 'E', 'A', 'E', 'E', 'E', 'E', 'A', 'E', 'A', 'A'};
constexpr std::array<char, 15> kAcceptEnthalpy{'E', 'A', 'A', 'E', 'E', 'E', 'A', 'E', 'E', 'E', 'E', 'A', 'A', 'A', 'A'};
constexpr std::array<char, 15> kAcceptIntEnergy{'E', 'A', 'A', 'A', '-', 'E', '-', 'E', 'E', 'E', 'E', 'E', 'E', 'A', 'A'};
constexpr std::array<char, 15> kAcceptHumRat{'E', 'A', 'A', 'A', '-', 'E', 'A', 'E', 'E', 'E', 'E', 'A', 'A', 'E', 'A'};
constexpr std::array<char, 15> kAcceptRelHum{'E', 'A', 'A', 'A', '-', 'E', 'A', 'E', 'E', 'E', 'E', 'A', 'A', 'A', 'A'};
constexpr std::array<char, 15> kAcceptDewPoint{'E', 'A', 'A', 'E', '-', 'E', 'A', 'E', 'E', 'E', 'E', 'A', 'E', 'A', 'A'};
constexpr std::array<char, 15> kAcceptWetBulb{'E', 'A', 'A', 'A', 'E', 'E', 'E', 'E', 'E', 'E', 'E', 'E', 'A', 'A', 'A'};
constexpr std::array<char, 15> kAcceptResolver{'E', 'A', 'A', 'E', '-', 'E', '-', 'E', 'E', 'E', 'E', 'A', 'A', 'A', 'A'};

Extended Kelvin298() {
  Extended T = 298;
  PropertyFromInternalUnits(1, T);
  return T;
}

Extended SatPressureDoc(Extended T) {
  Extended ps = 0;
  PsychVaporEnthalpy(T, ps);
  return ps;
}

// Fills Resolved from the arguments; error 100 for a refused kind or a
// count other than 3, error 133 naming the function when T, P and W or R
// cannot be found.
void PsychResolveInputs(const std::string& name, int32_t count, const std::array<int32_t, 4>& kinds,
                        const TPropertyArgumentRecord& a) {
  Resolved.knownT = Resolved.knownP = Resolved.knownW = Resolved.knownR = Resolved.knownB = Resolved.knownD = false;
  if (count != 3) {
    Fail(kMsgPreparedText);
    return;
  }
  for (int32_t i = 1; i <= 3; ++i) {
    const int32_t kind = kinds[static_cast<size_t>(i)];
    const Extended v = a.Value[static_cast<size_t>(i)];
    const char rule = kind >= 0 && kind <= 14 ? kAcceptResolver[static_cast<size_t>(kind)] : 'E';
    if (rule == 'E') {
      Fail(kMsgPreparedText);
      continue;
    }
    switch (kind) {
      case kT: Resolved.T = v; Resolved.knownT = true; break;
      case kP: Resolved.P = v; Resolved.knownP = true; break;
      case kW:
        if (v < 0) Fail(kMsgNegativeHumidityRatio);
        Resolved.W = v;
        Resolved.knownW = true;
        break;
      case kR:
        if (v < 0 || v > 1) Fail(kMsgRelHumRange);
        Resolved.R = v;
        Resolved.knownR = true;
        break;
      case kB: Resolved.B = v; Resolved.knownB = true; break;
      case kD: Resolved.D = v; Resolved.knownD = true; break;
      default: break;
    }
  }
  if (CalcErrorCode != 0) return;
  if (Resolved.knownD && Resolved.knownP) {
    Resolved.W = PsychSatHumRat(Resolved.P, Resolved.D);
    Resolved.knownW = true;
  }
  if (Resolved.knownR && Resolved.knownW && Resolved.knownP && !Resolved.knownT) {
    Resolved.T = PsychTemperatureFromHumidity(Resolved.W, Resolved.R, Resolved.P);
    if (CalcErrorCode != 0) return;
    Resolved.knownT = true;
  }
  if (Resolved.knownT && Resolved.knownP && Resolved.knownB && !Resolved.knownW) {
    Resolved.W = PsychWetBulbHumRat(Resolved.P, Resolved.B, Resolved.T);
    Resolved.knownW = true;
  }
  if (!(Resolved.knownT && Resolved.knownP && (Resolved.knownW || Resolved.knownR))) {
    Fail(kMsgPsychFunctionArguments, name);
  }
}

// One secant search over SecantStep's bracket, as the moist-air solves
// share it. Returns the last estimate; failed is set when the search
// stopped on an error or ran into its last passes.
struct TSolveResult {
  Extended x = 0;
  bool failed = false;
  Extended xNeg = 0, xPos = 0, fNeg = 0, fPos = 0;
};

TSolveResult SecantSolve(const std::function<Extended(Extended&)>& e, Extended x0, Extended x1Offset, Extended tol,
                         bool retry, const std::function<Extended(Extended)>& bound) {
  TSolveResult r;
  Extended e0 = e(x0);
  bool bisecting = false;
  Extended fNeg = 0, fPos = 0;
  Extended xNeg = -BlankValue, xPos = BlankValue;
  Extended xOld = x0, fOld = e0;
  Extended x1 = x0 + x1Offset;
  int32_t pass = 0;
  for (pass = 1; pass <= 26; ++pass) {
    if (CalcErrorCode != 0) break;
    Extended e1 = e(x1);
    if (retry && CalcErrorCode != 0) {
      ClearCalcError();
      x1 = (xOld + x1) / 2;
      e1 = e(x1);
    }
    if (CalcErrorCode != 0) break;
    SecantStep(pass, x1, e1, bisecting, fNeg, xNeg, fPos, xPos, fOld, xOld);
    x1 = bound(x1);
    if (std::fabs(e1) < tol) break;
  }
  r.x = x1;
  r.failed = CalcErrorCode != 0 || pass >= 25;
  r.xNeg = xNeg;
  r.xPos = xPos;
  r.fNeg = fNeg;
  r.fPos = fPos;
  return r;
}

Extended NoBound(Extended x) { return x; }

// The temporary air or H2O object of a transport or entropy call: one
// argument T (or T and P), warnings on, values in the document's units.
Extended CallTemporary(TIdealGasSubstance* gas, int32_t which, Extended T, Extended P) {
  std::unique_ptr<TIdealGasSubstance> holder(gas);
  if (gas == nullptr) {
    Fail(kMsgPropertyAllocation);
    return ErrorResultValue;
  }
  gas->SuppressWarnings = 0;
  TPropertyArgumentRecord r;
  r.Value[1] = T;
  UnitConversionEnabled = true;
  Extended result = 0;
  if (which == 0) {
    gas->ArgCount = 2;
    gas->ArgKind = {0, kT, kP, 0};
    r.Value[2] = P;
    result = gas->Entropy(r);
  } else {
    gas->ArgCount = 1;
    gas->ArgKind = {0, kT, 0, 0};
    result = which == 1 ? gas->Viscosity(r) : gas->Conductivity(r);
  }
  gas->Done();
  return result;
}

}  // namespace

void ResetMoistAirState() { Resolved = TPsychResolved{}; }

TAirH2OSubstance* CreateAirH2OSubstance() {
  auto* o = new TAirH2OSubstance();
  o->HelpContext = 262;
  o->GasId = 0;
  o->M = kMolarMassAirH2O;
  o->R = DocumentSettings.UnitSystem == 0 ? 8.31441L : 1.9858L;
  if (DocumentSettings.MolarBasis == 0) o->R /= o->M;
  return o;
}

Extended TAirH2OSubstance::CallWith(Extended (TAirH2OSubstance::*op)(TPropertyArgumentRecord&), int32_t k1,
                                    Extended v1, int32_t k2, Extended v2, int32_t k3, Extended v3) {
  const auto savedKinds = ArgKind;
  const int32_t savedCount = ArgCount;
  ArgCount = 3;
  ArgKind = {0, k1, k2, k3};
  TPropertyArgumentRecord r;
  r.Value = {0, v1, v2, v3};
  const Extended result = (this->*op)(r);
  ArgKind = savedKinds;
  ArgCount = savedCount;
  return result;
}

Extended TAirH2OSubstance::MolarMass() {
  Fail(kMsgMoistAirMolarMass);
  return 28.967L;
}

Extended TAirH2OSubstance::Pressure(TPropertyArgumentRecord&) {
  Fail(kMsgPsychNotImplemented, "Pressure");
  return -1;
}
Extended TAirH2OSubstance::Prandtl(TPropertyArgumentRecord&) {
  Fail(kMsgPsychNotImplemented, "Prandtl");
  return ErrorResultValue;
}
Extended TAirH2OSubstance::SoundSpeed(TPropertyArgumentRecord&) {
  Fail(kMsgPsychNotImplemented, "SoundSpeed");
  return ErrorResultValue;
}
Extended TAirH2OSubstance::VolExpCoef(TPropertyArgumentRecord&) {
  Fail(kMsgPsychNotImplemented, "VolExpCoef");
  return ErrorResultValue;
}

// ---- Operations with their own argument checks -------------------------------

Extended TAirH2OSubstance::Temperature(TPropertyArgumentRecord& a) {
  UnitConversionEnabled = true;
  if (CalcErrorCode != 0) return -99;
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptTemperature, kMsgPsychTemperatureArguments, g) || SuppressWarnings) return -99;
  const bool humidity = g.K(kW) || g.K(kR);
  if (g.K(kR) && g.K(kW) && g.K(kP)) {
    return PsychTemperatureFromHumidity(g.V(kW), g.V(kR), g.V(kP));
  }
  if (g.K(kB) && g.K(kP) && humidity) return TFromWetBulb(a, g.pos[kB], g.V(kB), g.V(kB) + 5);
  if (g.K(kV) && g.K(kP) && humidity) return SolveTForVolume(g.pos[kV], g.G(kR), a, Kelvin298(), g.V(kV));
  if (g.K(kH) && g.K(kP) && humidity) {
    return EnthalpySolve(g.V(kH), g.V(kP), g.G(kR) ? g.V(kR) : g.V(kW), g.G(kR));
  }
  Fail(kMsgPsychTemperatureArguments);
  return -99;
}

Extended TAirH2OSubstance::Enthalpy(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return 1;
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptEnthalpy, kMsgPsychEnthalpyArguments, g) || SuppressWarnings) return 1;
  if (g.G(kD) && g.G(kP)) g.Know(kW, PsychSatHumRat(g.V(kP), g.V(kD)));
  if (g.K(kV) && g.K(kP) && (g.K(kW) || g.K(kR)) && !g.K(kT)) {
    const Extended T = Temperature(a);
    if (CalcErrorCode != 0) return 99;
    g.Know(kT, T);
  }
  if (g.K(kT) && g.K(kP) && g.K(kB) && !g.K(kW)) g.Know(kW, PsychWetBulbHumRat(g.V(kP), g.V(kB), g.V(kT)));
  if (g.K(kR) && g.K(kW) && g.K(kP) && !g.K(kT)) {
    const Extended T = PsychTemperatureFromHumidity(g.V(kW), g.V(kR), g.V(kP));
    if (CalcErrorCode != 0) return 1;
    g.Know(kT, T);
  }
  if (g.K(kT) && g.K(kP) && (g.K(kW) || g.K(kR))) {
    const Extended T = g.V(kT), P = g.V(kP);
    Extended ps = 0;
    const Extended hg = PsychVaporEnthalpy(T, ps);
    Extended W = g.V(kW);
    if (!g.K(kW)) {
      const Extended pv = g.V(kR) * ps;
      if (pv >= P) {
        Fail(kMsgVaporPressureAboveTotal);
        return 1;
      }
      W = kPsychMassRatio * pv / (P - pv);
    }
    Extended ha = PsychDryAirEnthalpy(T);
    Extended f = 1;
    if (DocumentSettings.MolarBasis != 0) {
      ha *= M;
      f = 1.6077687385446477379L;  // 1/0.62198: kmol of water per kmol of dry air
    }
    if (CalcErrorCode != 0) return 1;
    return W * f * hg + ha;
  }
  Fail(kMsgPsychEnthalpyArguments);
  return 1;
}

Extended TAirH2OSubstance::IntEnergy(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return -99;
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptIntEnergy, kMsgPsychIntEnergyArguments, g) || SuppressWarnings) return -99;
  if (!(g.K(kP) && (g.K(kW) || g.K(kR)) && (g.K(kT) || g.K(kH)))) {
    Fail(kMsgPsychIntEnergyArguments);
    return ErrorResultValue;
  }
  Extended T = g.V(kT), h = g.V(kH), W = g.V(kW);
  if (g.G(kT)) {
    h = Enthalpy(a);
  } else {
    T = Temperature(a);
  }
  if (CalcErrorCode != 0) return ErrorResultValue;
  if (g.G(kR)) {
    W = HumRat(a);
    if (CalcErrorCode != 0) return ErrorResultValue;
  }
  const Extended P = g.V(kP);
  const Extended pv = W * P / (W + kPsychMassRatio);
  const Extended pa = P - pv;
  if (!(P > pv)) {
    Fail(kMsgVaporPressureAboveTotal);
    return ErrorResultValue;
  }
  Extended Tk = T;
  PropertyToInternalUnits(1, Tk);
  if (DocumentSettings.UnitSystem != 0) Tk *= 1.8L;
  Extended rt = (P / pa) * R * Tk;
  if (DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit == 0) rt *= 1000;
  return h - rt;
}

Extended TAirH2OSubstance::HumRat(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return -1;
  if (ArgCount != 3) {
    Fail(kMsgHumRatArguments);
    return -99;
  }
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptHumRat, kMsgHumRatArguments, g) || SuppressWarnings) return -1;
  if (g.G(kP) && g.G(kV) && g.G(kR) && !g.G(kT)) {
    const Extended T = SolveTForVolume(g.pos[kV], true, a, Kelvin298(), g.V(kV));
    if (CalcErrorCode != 0) return -99;
    g.Know(kT, T);
  }
  if (g.K(kD) && g.K(kP)) return PsychSatHumRat(g.V(kP), g.V(kD));
  if (g.K(kP) && g.K(kT) && g.K(kV)) return HumRatFromVolume(g.V(kV), g.V(kT), g.V(kP));
  if ((g.G(kB) && g.G(kP) && g.G(kR)) || (g.G(kH) && g.G(kP) && g.G(kR))) {
    const Extended T = Temperature(a);
    if (CalcErrorCode != 0) return -99;
    g.Know(kT, T);
  }
  if (g.K(kH) && g.K(kT) && g.K(kP)) {
    Extended ps = 0;
    const Extended hg = PsychVaporEnthalpy(g.V(kT), ps);
    return (g.V(kH) - PsychDryAirEnthalpy(g.V(kT))) / hg;
  }
  if (g.K(kT) && g.K(kP) && g.K(kR)) {
    const Extended P = g.V(kP);
    const Extended pv = g.V(kR) * SatPressureDoc(g.V(kT));
    if (pv >= P) {
      Fail(kMsgVaporPressureAboveTotal);
      return -1;
    }
    return kPsychMassRatio * pv / (P - pv);
  }
  if (g.K(kT) && g.K(kP) && g.K(kB)) return PsychWetBulbHumRat(g.V(kP), g.V(kB), g.V(kT));
  Fail(kMsgHumRatArguments);
  return -99;
}

Extended TAirH2OSubstance::RelHum(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return -99;
  if (ArgCount != 3) {
    Fail(kMsgRelHumArguments);
    return -99;
  }
  // R as an argument of RelHum is refused before anything else is read.
  for (int32_t i = 1; i <= 3; ++i) {
    if (ArgKind[static_cast<size_t>(i)] == kR) {
      Fail(kMsgIndependentIsDependent);
      return -99;
    }
  }
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptRelHum, kMsgRelHumArguments, g) || SuppressWarnings) return -99;
  auto fromW = [&](Extended T, Extended P, Extended W) -> Extended {
    const Extended ps = SatPressureDoc(T);
    if (CalcErrorCode != 0) return ErrorResultValue;
    const Extended pv = W * P / (W + kPsychMassRatio);
    const Extended rh = pv / ps;
    if (pv >= P) Fail(kMsgVaporPressureAboveTotal);
    return rh;
  };
  if (g.G(kD) && g.G(kP)) g.Know(kW, PsychSatHumRat(g.V(kP), g.V(kD)));
  if (g.G(kP) && g.G(kT) && g.G(kV)) {
    const Extended W = HumRat(a);
    if (CalcErrorCode != 0) return -99;
    g.Know(kW, W);
  }
  if (g.G(kP) && g.G(kV) && (g.K(kW) || g.G(kH)) && !g.K(kT)) {
    const Extended T = SolveTForVolume(g.pos[kV], false, a, Kelvin298(), g.V(kV));
    if (CalcErrorCode != 0) return -99;
    g.Know(kT, T);
  }
  if (g.K(kH) && g.K(kT) && g.K(kP)) {
    Extended ps = 0;
    const Extended T = g.V(kT);
    const Extended W = (g.V(kH) - PsychDryAirEnthalpy(T)) / PsychVaporEnthalpy(T, ps);
    return fromW(T, g.V(kP), W);
  }
  if (!g.K(kT) && g.K(kP) && g.K(kW) && (g.K(kH) || g.K(kB))) {
    if (g.K(kB)) {
      // T from the wet bulb and W.
      const Extended T = Temperature(a);
      if (CalcErrorCode != 0) return -99;
      g.Know(kT, T);
    } else {
      const Extended T = Temperature(a);
      if (CalcErrorCode != 0) return -99;
      g.Know(kT, T);
    }
  }
  if (g.K(kT) && g.K(kP) && g.K(kB) && !g.K(kW)) g.Know(kW, PsychWetBulbHumRat(g.V(kP), g.V(kB), g.V(kT)));
  if (g.K(kT) && g.K(kP) && g.K(kW)) return fromW(g.V(kT), g.V(kP), g.V(kW));
  Fail(kMsgRelHumArguments);
  return -99;
}

Extended TAirH2OSubstance::DewPoint(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return -99;
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptDewPoint, kMsgDewPointArguments, g) || SuppressWarnings) return -99;
  if (g.G(kP) && g.G(kV) && (g.G(kW) || g.G(kR))) {
    const Extended T = SolveTForVolume(g.pos[kV], g.G(kR), a, Kelvin298(), g.V(kV));
    if (CalcErrorCode != 0) return -99;
    g.Know(kT, T);
  }
  if (g.K(kT) && g.K(kP) && g.K(kB) && !g.K(kW)) g.Know(kW, PsychWetBulbHumRat(g.V(kP), g.V(kB), g.V(kT)));
  if (!g.K(kT) && g.K(kR) && g.K(kW) && g.K(kP)) {
    const Extended T = PsychTemperatureFromHumidity(g.V(kW), g.V(kR), g.V(kP));
    if (CalcErrorCode != 0) return -99;
    g.Know(kT, T);
  }
  if (g.K(kT) && g.K(kP) && (g.K(kW) || g.K(kR))) {
    Extended Tk = g.V(kT);
    PropertyToInternalUnits(1, Tk);
    Extended ps = PsychSatPressure(Tk);
    PropertyFromInternalUnits(2, ps);
    const Extended P = g.V(kP);
    const Extended pv = g.K(kW) ? g.V(kW) * P / (g.V(kW) + kPsychMassRatio) : g.V(kR) * ps;
    if (!(pv < P)) {
      Fail(kMsgVaporPressureAboveTotal);
      return -99;
    }
    Extended pvk = pv;
    PropertyToInternalUnits(2, pvk);
    // Dry air has no dew point: the search would run to 0 K.
    if (pvk <= 0) {
      Fail(kMsgPropertyNoConvergence);
      return -99;
    }
    Extended D = std::min(PsychSatTemperature(Tk - 5, pvk), Tk);
    if (CalcErrorCode != 0) return -99;
    PropertyFromInternalUnits(1, D);
    return D;
  }
  Fail(kMsgDewPointArguments);
  return -99;
}

Extended TAirH2OSubstance::WetBulb(TPropertyArgumentRecord& a) {
  UnitConversionEnabled = true;
  if (CalcErrorCode != 0) return -99;
  TArgs g;
  if (!ReadArgs(*this, a, kAcceptWetBulb, kMsgWetBulbArguments, g) || SuppressWarnings) return -99;
  const auto savedKinds = ArgKind;
  TPropertyArgumentRecord args = a;
  auto finish = [&](Extended result) {
    ArgKind = savedKinds;
    return result;
  };
  if (g.G(kD) && g.G(kP)) g.Know(kW, PsychSatHumRat(g.V(kP), g.V(kD)));
  if (g.G(kT) && g.G(kP) && g.G(kH)) {
    const Extended W = HumRat(args);
    if (CalcErrorCode != 0) return finish(-99);
    const int32_t pos = g.pos[kT];
    args.Value[static_cast<size_t>(pos)] = W;
    ArgKind[static_cast<size_t>(pos)] = kW;
    g.known[kT] = false;
    g.Know(kW, W);
  }
  if (g.K(kR) && g.K(kW) && g.K(kP) && !g.K(kT)) {
    const Extended T = PsychTemperatureFromHumidity(g.V(kW), g.V(kR), g.V(kP));
    if (CalcErrorCode != 0) return finish(-99);
    g.Know(kT, T);
  }
  if ((g.K(kT) || g.K(kH)) && g.K(kP) && (g.K(kW) || g.K(kR))) {
    Extended start = Kelvin298();
    Extended h = g.V(kH);
    Extended W = g.V(kW);
    if (g.K(kT)) {
      h = Enthalpy(args);
      if (!g.K(kW)) W = HumRat(args);
      start = g.V(kT) - 1;
    } else if (!g.K(kW)) {
      // h with R: find W through T.
      W = HumRat(args);
    }
    if (CalcErrorCode != 0) return finish(-99);
    Extended B = WetBulbSolve(start, h, g.V(kP), W);
    if (CalcErrorCode != 0) return finish(ErrorResultValue);
    if (g.K(kT)) B = std::min(B, g.V(kT));
    return finish(B);
  }
  Fail(kMsgWetBulbArguments);
  return finish(ErrorResultValue);
}

// ---- Operations through the resolver -------------------------------------------

Extended TAirH2OSubstance::Volume(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return 1;
  PsychResolveInputs("Volume or density", ArgCount, ArgKind, a);
  if (CalcErrorCode != 0 || SuppressWarnings) return 1;
  const Extended T = Resolved.T, P = Resolved.P;
  Extended pv;
  if (Resolved.knownW) {
    pv = Resolved.W * P / (Resolved.W + kPsychMassRatio);
  } else {
    pv = Resolved.R * SatPressureDoc(T);
    Resolved.W = kPsychMassRatio * pv / (P - pv);
    Resolved.knownW = true;
  }
  if (!(pv < P)) {
    Fail(kMsgVaporPressureAboveTotal);
    return -99;
  }
  UnitConversionEnabled = true;
  Extended Tk = T;
  PropertyToInternalUnits(1, Tk);
  Extended pa = P - pv;
  PropertyToInternalUnits(2, pa);
  // Ideal gas per kmol of dry air at the dry air's partial pressure.
  Extended v = 8.31441L * Tk / pa;
  if (DocumentSettings.MolarBasis == 0) v /= M;
  PropertyFromInternalUnits(6, v);
  return v;
}

Extended TAirH2OSubstance::Entropy(TPropertyArgumentRecord& a) {
  if (CalcErrorCode != 0) return -99;
  PsychResolveInputs("Entropy", ArgCount, ArgKind, a);
  if (CalcErrorCode != 0 || SuppressWarnings) return -99;
  const TPsychResolved s = Resolved;
  Extended W = s.W;
  if (s.knownR && !s.knownW) {
    W = HumRat(a);
    if (CalcErrorCode != 0) return ErrorResultValue;
  }
  const Extended pv = W * s.P / (W + kPsychMassRatio);
  const Extended pa = s.P - pv;
  if (!(pv < s.P)) {
    Fail(kMsgVaporPressureAboveTotal);
    return ErrorResultValue;
  }
  const Extended sv = pv > 0 ? PsychVaporEntropy(pv, s.T) : 0;
  const Extended sa = CallTemporary(CreateAirSubstance(), 0, s.T, pa);
  return W * sv + sa;
}

// Holds W (and P) fixed and steps T by one degree either side: the rebuilt
// arguments T, P, W put T at a defined place whichever inputs the call named.
Extended TAirH2OSubstance::EnthalpyDifference(TPropertyArgumentRecord& a, bool internalEnergy) {
  if (CalcErrorCode != 0) return ErrorResultValue;
  PsychResolveInputs(internalEnergy ? "Cv" : "SpecHeat", ArgCount, ArgKind, a);
  if (CalcErrorCode != 0 || SuppressWarnings) return ErrorResultValue;
  const TPsychResolved s = Resolved;
  Extended W = s.W;
  if (!s.knownW) {
    W = HumRat(a);
    if (CalcErrorCode != 0) return ErrorResultValue;
  }
  const auto op = internalEnergy ? &TAirH2OSubstance::IntEnergy : &TAirH2OSubstance::Enthalpy;
  const Extended up = CallWith(op, kT, s.T + 1, kP, s.P, kW, W);
  const Extended down = CallWith(op, kT, s.T - 1, kP, s.P, kW, W);
  if (CalcErrorCode != 0) return ErrorResultValue;
  return (up - down) / 2;
}

Extended TAirH2OSubstance::SpecHeat(TPropertyArgumentRecord& a) { return EnthalpyDifference(a, false); }
Extended TAirH2OSubstance::Cv(TPropertyArgumentRecord& a) { return EnthalpyDifference(a, true); }

Extended TAirH2OSubstance::MixtureTransport(TPropertyArgumentRecord& a, bool viscosity) {
  const Extended placeholder = viscosity ? -99 : -1;
  if (CalcErrorCode != 0) return placeholder;
  PsychResolveInputs(viscosity ? "Viscosity" : "Conductivity", ArgCount, ArgKind, a);
  if (CalcErrorCode != 0 || SuppressWarnings) return placeholder;
  const TPsychResolved s = Resolved;
  Extended W = s.W;
  if (s.knownR && !s.knownW) {
    W = HumRat(a);
    if (CalcErrorCode != 0) return ErrorResultValue;
  }
  const Extended xv = W > 1e-6L ? W / (1 + W) : 0;
  const Extended xa = 1 - xv;
  const Extended pv = W * s.P / (W + kPsychMassRatio);
  if (!(pv < s.P)) {
    Fail(kMsgVaporPressureAboveTotal);
    return ErrorResultValue;
  }
  const int32_t which = viscosity ? 1 : 2;
  const Extended vapour = pv <= 1e-6L ? 0 : CallTemporary(CreateBuiltinGas(kGasH2O), which, s.T, 0);
  const Extended air = CallTemporary(CreateAirSubstance(), which, s.T, 0);
  // Wilke-type mixing with fixed interaction factors.
  if (viscosity) return xa * air / (xa + 0.839L * xv) + xv * vapour / (xv + 0.7438L * xa);
  return xa * air / (xa + 0.8153L * xv) + xv * vapour / (xv + 0.7257L * xa);
}

Extended TAirH2OSubstance::Viscosity(TPropertyArgumentRecord& a) { return MixtureTransport(a, true); }
Extended TAirH2OSubstance::Conductivity(TPropertyArgumentRecord& a) { return MixtureTransport(a, false); }

// ---- Solvers ---------------------------------------------------------------------

Extended TAirH2OSubstance::EnthalpySolve(Extended h, Extended P, Extended humidity, bool relative) {
  const int32_t humidityKind = relative ? kR : kW;
  auto e = [&](Extended& T) {
    return CallWith(&TAirH2OSubstance::Enthalpy, kT, T, kP, P, humidityKind, humidity) - h;
  };
  Extended x0 = Kelvin298();
  for (int32_t i = 0; i < 10 && CalcErrorCode == 0; ++i) {
    Extended probe = x0;
    if (e(probe) >= 0) break;
    x0 += 5;
  }
  const TSolveResult r = SecantSolve(e, x0, -1, 1e-7L, false, NoBound);
  if (r.failed) {
    Fail(kMsgStateNoConvergence, "Temperature");
    return ErrorResultValue;
  }
  return r.x;
}

Extended TAirH2OSubstance::TFromWetBulb(TPropertyArgumentRecord& a, int32_t positionB, Extended B, Extended guess) {
  const auto savedKinds = ArgKind;
  TPropertyArgumentRecord args = a;
  auto e = [&](Extended& T) {
    ArgKind[static_cast<size_t>(positionB)] = kT;
    args.Value[static_cast<size_t>(positionB)] = T;
    const Extended wb = WetBulb(args);
    return wb - B;
  };
  auto bound = [&](Extended T) { return T < B ? B + 1e-6L : T; };
  const TSolveResult r = SecantSolve(e, guess, -1, 1e-4L, true, bound);
  ArgKind = savedKinds;
  if (!r.failed) return r.x;
  if (std::fabs(r.xPos - r.xNeg) < 1 && r.fPos != r.fNeg) {
    return r.xPos - r.fPos * (r.xPos - r.xNeg) / (r.fPos - r.fNeg);
  }
  Fail(kMsgStateNoConvergence, "Temperature");
  return BlankValue;
}

Extended TAirH2OSubstance::SolveTForVolume(int32_t position, bool skipCheck, TPropertyArgumentRecord& a,
                                           Extended guess, Extended v) {
  const auto savedKinds = ArgKind;
  TPropertyArgumentRecord args = a;
  auto e = [&](Extended& T) {
    ArgKind[static_cast<size_t>(position)] = kT;
    args.Value[static_cast<size_t>(position)] = T;
    return Volume(args) - v;
  };
  const TSolveResult r = SecantSolve(e, guess, -1, 1e-4L, true, NoBound);
  if (r.failed) {
    ArgKind = savedKinds;
    // The volume's own complaint (an argument it cannot use) says less than
    // that no temperature gives this volume.
    ClearCalcError();
    SetCalcError(kMsgStateNoConvergence, "Temperature");
    return BlankValue;
  }
  if (!skipCheck) {
    ArgKind[static_cast<size_t>(position)] = kT;
    args.Value[static_cast<size_t>(position)] = r.x;
    const Extended rh = RelHum(args);
    Resolved.R = rh;
    if (CalcErrorCode == 0 && (rh > 1 || rh < 0)) Fail(kMsgStateNoConvergence, "Temperature");
  }
  ArgKind = savedKinds;
  return r.x;
}

Extended TAirH2OSubstance::HumRatFromVolume(Extended v, Extended T, Extended P) {
  auto e = [&](Extended& rh) { return CallWith(&TAirH2OSubstance::Volume, kP, P, kT, T, kR, rh) - v; };
  auto bound = [](Extended rh) { return rh > 1 ? 0.9999L : rh; };
  const TSolveResult r = SecantSolve(e, 0.5L, -0.01L, 1e-4L, true, bound);
  if (r.failed || r.x < 0 || r.x > 1) {
    Fail(kMsgStateNoConvergence, "The humidity ratio");
    return BlankValue;
  }
  return CallWith(&TAirH2OSubstance::HumRat, kP, P, kT, T, kR, r.x);
}

Extended TAirH2OSubstance::WetBulbResidual(Extended& B, Extended h, Extended P, Extended W) {
  Extended Bk = B;
  PropertyToInternalUnits(1, Bk);
  Extended Pk = P;
  PropertyToInternalUnits(2, Pk);
  if (PsychSatPressure(Bk) >= Pk) {
    while (PsychSatPressure(Bk) > Pk && CalcErrorCode == 0) Bk -= 10;
    PropertyFromInternalUnits(1, Bk);
    B = Bk;
  }
  Extended ps = 0;
  PsychVaporEnthalpy(B, ps);
  Extended ws = kPsychMassRatio * ps / (P - ps);
  Extended hs = CallWith(&TAirH2OSubstance::Enthalpy, kT, B, kP, P, kR, 1);
  if (CalcErrorCode != 0) {
    ws = 0;
    hs = -99;
  }
  const Extended hw = PsychWaterEnthalpy(B);
  if (CalcErrorCode != 0) return 0;
  // Adiabatic saturation: the air leaves saturated at B, topped up with
  // liquid water at B.
  return h - (hs + (W - ws) * hw);
}

Extended TAirH2OSubstance::WetBulbSolve(Extended start, Extended h, Extended P, Extended W) {
  auto e = [&](Extended& B) { return WetBulbResidual(B, h, P, W); };
  const TSolveResult r = SecantSolve(e, start, -1, 1e-7L, false, NoBound);
  if (r.failed) {
    Fail(kMsgWetBulbNoConvergence);
    return ErrorResultValue;
  }
  return r.x;
}

}  // namespace voq
