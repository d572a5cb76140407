#include "properties/martin_hou_substance.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_solver.h"
#include "properties/martin_hou_transport_data.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr Extended kNotSet = -999;
constexpr int32_t kSpecHeatHelp = 139;
constexpr int32_t kVolExpCoefHelp = 347;

// The call's kinds and argument values, restored on every path out of a
// derived slot.
class SavedArguments {
 public:
  SavedArguments(TSubstanceBase& object, TPropertyArgumentRecord& a)
      : object_(object), a_(a), kinds_(object.ArgKind), values_(a) {}
  ~SavedArguments() {
    object_.ArgKind = kinds_;
    a_ = values_;
  }
  SavedArguments(const SavedArguments&) = delete;
  SavedArguments& operator=(const SavedArguments&) = delete;

 private:
  TSubstanceBase& object_;
  TPropertyArgumentRecord& a_;
  std::array<int32_t, 4> kinds_;
  TPropertyArgumentRecord values_;
};

// PropertyStateVector as the caller's own state left it.
class SavedStateVector {
 public:
  SavedStateVector() : vector_(PropertyStateVector) {}
  ~SavedStateVector() { PropertyStateVector = vector_; }
  SavedStateVector(const SavedStateVector&) = delete;
  SavedStateVector& operator=(const SavedStateVector&) = delete;

 private:
  std::array<Extended, 11> vector_;
};

void SetArguments(TSubstanceBase& object, TPropertyArgumentRecord& a, int32_t kind1, Extended value1, int32_t kind2,
                  Extended value2) {
  object.ArgKind[1] = kind1;
  object.ArgKind[2] = kind2;
  a.Value[1] = value1;
  a.Value[2] = value2;
}

}  // namespace

void TMartinHouSubstance::MakeCurrent() const {
  if (Coefficients != nullptr) SetMartinHouCurrentFluid(FluidNumber, *Coefficients);
}

void TMartinHouSubstance::Solve(bool trial, int32_t outputKind, int32_t kind1, int32_t kind2, Extended value1,
                                Extended value2) {
  MakeCurrent();
  SolveMartinHouState(SubstanceCode, trial, IsBlend != 0, MolarMassValue, PlotPHigh, ArgCount, outputKind, kind1,
                      kind2, value1, value2);
}

Extended TMartinHouSubstance::StateSlot(int32_t kind, TPropertyArgumentRecord& a) {
  Solve(SuppressWarnings != 0, kind, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  return PropertyStateVector[static_cast<size_t>(kind)];
}

int32_t TMartinHouSubstance::DerivedKind() const { return (ArgKind[1] == 4 || ArgKind[2] == 4) ? 3 : 4; }

Extended TMartinHouSubstance::T_crit() {
  Extended v = Coefficients != nullptr ? (*Coefficients)[kMhTc] : 0;
  ConvertPropertyResult(1, v, MolarMassValue);
  return v;
}

Extended TMartinHouSubstance::P_crit() {
  Extended v = Coefficients != nullptr ? (*Coefficients)[kMhPc] : 0;
  ConvertPropertyResult(2, v, MolarMassValue);
  return v;
}

Extended TMartinHouSubstance::v_crit() {
  Extended v = Coefficients != nullptr ? (*Coefficients)[kMhVc] : 0;
  ConvertPropertyResult(6, v, MolarMassValue);
  return v;
}

// Error 214 for a quality strictly between 0.001 and 0.999, the quality in
// the automatic style with 4 digits.
Extended TMartinHouSubstance::Reject(const char* name, int32_t help) {
  const Extended x = PropertyStateVector[7];
  if (x > 0.001L && x < 0.999L) {
    DefaultDisplayFormat = TDisplayFormat{kStyleAutomatic, 4};
    SetMessageArg(1, name);
    SetMessageArg(2, FormatValue(DefaultDisplayFormat, x));
    MessageHelpContext = help;
    CalcErrorCode = kMsgTwoPhaseUndetermined;
    return 1;
  }
  return 0;
}

// cp = dh/dT at constant P by a step of 0.001 in the user's temperature
// unit, so cp comes out in the user's units.
Extended TMartinHouSubstance::SpecHeat(TPropertyArgumentRecord& a) {
  if (SuppressWarnings != 0) {
    // The trial call checks the argument kinds only.
    Solve(true, DerivedKind(), ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
    return ErrorResultValue;
  }
  Solve(false, DerivedKind(), ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  if (CalcErrorCode > 0) return ErrorResultValue;
  if (Reject("SpecHeat", kSpecHeatHelp) != 0) return ErrorResultValue;
  SavedStateVector savedVector;
  const Extended T = PropertyStateVector[1];
  Extended P = PropertyStateVector[2];
  const Extended x = PropertyStateVector[7];
  // A saturated liquid is pushed into the liquid, a saturated vapour into
  // the vapour, so that the difference stays in one phase.
  if (x >= 0 && x <= 0.01L) P *= 1.0001L;
  if (x >= 0.999L && x <= 1) P *= 0.9999L;
  SavedArguments saved(*this, a);
  SetArguments(*this, a, 1, T, 2, P);
  const Extended h1 = Enthalpy(a);
  const Extended x1 = PropertyStateVector[7];
  a.Value[1] = T - 0.001L;
  const Extended h2 = Enthalpy(a);
  const Extended x2 = PropertyStateVector[7];
  if (x1 == x2) return (h1 - h2) / 0.001L;
  // The backward step crossed the phase boundary: step forward instead.
  a.Value[1] = T + 0.001L;
  const Extended h3 = Enthalpy(a);
  return (h3 - h1) / 0.001L;
}

Extended TMartinHouSubstance::CvByDifference(TPropertyArgumentRecord& a) {
  SavedStateVector savedVector;
  if (SuppressWarnings != 0 || CalcErrorCode > 0) return ErrorResultValue;
  const Extended Ts = PropertyStateVector[1];
  const Extended us = PropertyStateVector[4];
  const Extended vs = PropertyStateVector[6];
  Extended xs = PropertyStateVector[7];
  if (xs < 1e-6L) xs = -100;
  constexpr Extended kStep = 0.01L;
  SavedArguments saved(*this, a);
  if (std::fabs(xs) < 0.001L) {
    SetArguments(*this, a, 1, Ts - kStep, 7, 0);
  } else {
    SetArguments(*this, a, 1, Ts - kStep, 6, vs);
  }
  const Extended u1 = IntEnergy(a);
  Extended x1 = PropertyStateVector[7];
  if (x1 < 1e-6L) x1 = -100;
  if (xs == x1) return (us - u1) / kStep;
  a.Value[1] = Ts + kStep;
  const Extended u2 = IntEnergy(a);
  return (u2 - us) / kStep;
}

Extended TMartinHouSubstance::Cv(TPropertyArgumentRecord& a) {
  SpecHeat(a);
  SetMessageArg(1, "Cv");
  if (CalcErrorCode >= 1) return ErrorResultValue;
  SavedArguments saved(*this, a);
  return CvByDifference(a);
}

// c = sqrt(-v^2 (dP/dv)_T cp/cv) with 144 in2/ft2 and 32.17 lbm ft/(lbf s2).
Extended TMartinHouSubstance::SoundSpeed(TPropertyArgumentRecord& a) {
  const Extended cp = SpecHeat(a);
  SetMessageArg(1, "SoundSpeed");
  if (CalcErrorCode > 0 || SuppressWarnings != 0) return ErrorResultValue;
  SavedArguments saved(*this, a);
  const Extended cv = CvByDifference(a);
  if (CalcErrorCode > 0) return ErrorResultValue;
  Extended T = PropertyStateVector[1];
  Extended v = PropertyStateVector[6];
  const Extended x = PropertyStateVector[7];
  ConvertPropertyArgument(1, T, MolarMassValue);
  ConvertPropertyArgument(6, v, MolarMassValue);
  MakeCurrent();
  const Extended square = MartinHouDPdV(v, T) * (-v * v) * (cp / cv) * 144 * 32.17L;
  // The model holds a liquid incompressible (its volume comes from the
  // saturated-liquid density, not from the equation of state), and a
  // mechanically unstable state has no speed of sound: both are data the
  // model does not have, never a number in the solution.
  const bool liquid = x < 0 || (x >= 0 && x <= 0.001L);
  if (liquid || !(square > 0) || !std::isfinite(square)) {
    SetMessageArg(1, "SoundSpeed");
    CalcErrorCode = kMsgDataNotAvailableAtState;
    return ErrorResultValue;
  }
  Extended c = std::sqrt(square);
  ConvertPropertyResult(18, c, MolarMassValue);
  return c;
}

// beta = -(1/rho)(d rho/dT) at constant P, per unit of the user's scale.
Extended TMartinHouSubstance::VolExpCoef(TPropertyArgumentRecord& a) {
  if (SuppressWarnings != 0) {
    Solve(true, DerivedKind(), ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
    return ErrorResultValue;
  }
  Solve(false, DerivedKind(), ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  SavedStateVector savedVector;
  if (CalcErrorCode > 0) return ErrorResultValue;
  if (Reject("VolExpCoef", kVolExpCoefHelp) != 0) return ErrorResultValue;
  const Extended T = PropertyStateVector[1];
  Extended P = PropertyStateVector[2];
  const Extended x = PropertyStateVector[7];
  if (x >= 0 && x <= 0.001L) P *= 1.01L;
  if (x >= 0.99L && x <= 1) P *= 0.99L;
  SavedArguments saved(*this, a);
  SetArguments(*this, a, 1, T, 2, P);
  const Extended rho1 = 1 / Volume(a);
  const Extended x1 = PropertyStateVector[7];
  a.Value[1] = T - 0.001L;
  const Extended rho2 = 1 / Volume(a);
  const Extended x2 = PropertyStateVector[7];
  if (x1 == x2) return -(1 / rho1) * (rho1 - rho2) / 0.001L;
  a.Value[1] = T + 0.001L;
  const Extended rho3 = 1 / Volume(a);
  return (1 / rho1) * (rho1 - rho3) / 0.001L;
}

// f = P0 exp(((h - h0)/T - (s - s0))/R) against the ideal-gas state at
// P0 = 1 psia, T on the absolute scale of the user's unit system.
Extended TMartinHouSubstance::Fugacity(TPropertyArgumentRecord& a) {
  SavedArguments saved(*this, a);
  const int32_t kind = DerivedKind();
  if (SuppressWarnings != 0) return 1.0L;
  Solve(false, kind, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  if (CalcErrorCode > 0) return ErrorResultValue;
  const Extended T = PropertyStateVector[1];
  const Extended h = PropertyStateVector[3];
  const Extended s = PropertyStateVector[5];
  Extended P0 = 1;
  ConvertPropertyResult(2, P0, MolarMassValue);
  SetArguments(*this, a, 1, T, 2, P0);
  Solve(false, kind, 1, 2, T, P0);
  if (CalcErrorCode > 0) return ErrorResultValue;
  const Extended h0 = PropertyStateVector[3];
  const Extended s0 = PropertyStateVector[5];
  Extended R = 1.9858L / MolarMassValue;
  ConvertPropertyResult(5, R, MolarMassValue);
  Extended Ta = T;
  ConvertPropertyArgument(1, Ta, MolarMassValue);
  if (DocumentSettings.UnitSystem == 0) Ta /= 1.8L;
  return P0 * std::exp(((h - h0) / Ta - (s - s0)) / R);
}

// omega = -1 - log10(Psat(0.7 Tc)/Pc); a vapour-pressure fit that makes it
// negative gives 0.
Extended TMartinHouSubstance::AcentricFactor() {
  if (Coefficients == nullptr) return 0;
  MakeCurrent();
  const Extended Tc = (*Coefficients)[kMhTc];
  const Extended Pc = (*Coefficients)[kMhPc];
  const Extended psat = MartinHouSatPressure(0.7L * Tc);
  const Extended omega = -1 - Log10Real(psat / Pc);
  return omega < 0 ? 0 : omega;
}

namespace {

struct BuiltinRow {
  int32_t Row;
  int32_t Fluid;
  Extended MolarMass;
  uint8_t IsBlend;
  Extended PlotTLow, PlotTHigh, PlotPLow, PlotPHigh;
  Extended SigmaTLow, SigmaTHigh, Sigma0, SigmaExponent;
  bool BlendClass;
};

// Molar masses, plot ranges (R, psia) and surface tension
// sigma = Sigma0 (1 - T/Tc)^n (limits in K) of the built-in fluids.
constexpr Extended N = kNotSet;
const BuiltinRow kBuiltinRows[] = {
    {3, 10, 17.031L, 0, 360, 1260, N, N, N, N, N, N, false},
    {15, 1, 137.38L, 0, N, N, N, N, N, N, N, N, false},
    {16, 2, 120.91L, 0, N, N, N, N, 173.1L, 383.15L, 0.0564527L, 1.27005L, false},
    {18, 3, 104.47L, 0, N, N, N, N, N, N, N, N, false},
    {19, 9, 102.03L, 0, N, N, N, N, 170, 374.1L, 0.06015L, 1.2596L, false},
    {20, 4, 88.01L, 0, N, N, N, N, 145.2L, 223.15L, 0.046313L, 1.361L, false},
    {21, 5, 86.476L, 0, N, N, N, N, 123.15L, 363.15L, 0.061918L, 1.2348L, false},
    {22, 6, 170.94L, 0, N, N, N, N, N, N, N, N, false},
    {23, 7, 99.31L, 0, N, N, N, N, N, N, N, N, false},
    {24, 8, 111.64L, 0, N, N, N, N, N, N, N, N, false},
    {32, 15, 44.097L, 0, N, N, N, N, 86, 369.8L, 0.05326L, 1.2453L, false},
    {38, 20, 116.95L, 0, N, N, N, N, N, N, N, N, false},
    {44, 21, 86.202L, 1, N, 684.67L, 2, N, 220, 647.9L / 1.8L, 0.063375424L, 1.2533592L, true},
    {45, 22, 72.584L, 1, 359.67L, 684.67L, 2, 600, 200, 345, 0.066245056L, 1.2483712L, true},
    {46, 23, 97.6L, 1, N, N, N, N, 200, 345, 0.048704521L, 1.252844L, true},
    {63, 24, 98.86L, 0, 369.67L, 684.67L, 2, 700, 220, 619.0L / 1.8L, 0.048523774L, 1.251764L, true},
    {76, 25, 95.39L, 0, 339.67L, 609.67L, 2, 800, 150, 516.86L / 1.8L, 0.04927L, 1.235L, false},
};

TMartinHouSubstance* Build(const BuiltinRow& r) {
  TMartinHouSubstance* object = nullptr;
  if (r.BlendClass) {
    auto* blend = new TMartinHouBlendSubstance();
    blend->Transport = MartinHouBlendTransport(r.Fluid);
    object = blend;
  } else {
    object = new TMartinHouSubstance();
  }
  object->FluidNumber = r.Fluid;
  object->Coefficients = LoadMartinHouCoefficients(r.Fluid);
  object->MolarMassValue = r.MolarMass;
  object->IsBlend = r.IsBlend;
  object->PlotTLow = r.PlotTLow;
  object->PlotTHigh = r.PlotTHigh;
  object->PlotPLow = r.PlotPLow;
  object->PlotPHigh = r.PlotPHigh;
  object->SigmaTLow = r.SigmaTLow;
  object->SigmaTHigh = r.SigmaTHigh;
  object->Sigma0 = r.Sigma0;
  object->SigmaExponent = r.SigmaExponent;
  return object;
}

TMartinHouSubstance* BuildRow(int32_t row) {
  for (const BuiltinRow& r : kBuiltinRows) {
    if (r.Row == row) return Build(r);
  }
  return nullptr;
}

}  // namespace

TMartinHouSubstance* CreateMartinHouAmmonia() { return BuildRow(3); }
TMartinHouSubstance* CreateMartinHouR11() { return BuildRow(15); }
TMartinHouSubstance* CreateMartinHouR12() { return BuildRow(16); }
TMartinHouSubstance* CreateMartinHouR13() { return BuildRow(18); }
TMartinHouSubstance* CreateMartinHouR134a() { return BuildRow(19); }
TMartinHouSubstance* CreateMartinHouR14() { return BuildRow(20); }
TMartinHouSubstance* CreateMartinHouR22() { return BuildRow(21); }
TMartinHouSubstance* CreateMartinHouR114() { return BuildRow(22); }
TMartinHouSubstance* CreateMartinHouR500() { return BuildRow(23); }
TMartinHouSubstance* CreateMartinHouR502() { return BuildRow(24); }
TMartinHouSubstance* CreateMartinHouPropane() { return BuildRow(32); }
TMartinHouSubstance* CreateMartinHouR141b() { return BuildRow(38); }
TMartinHouSubstance* CreateMartinHouR407C() { return BuildRow(44); }
TMartinHouSubstance* CreateMartinHouR410A() { return BuildRow(45); }
TMartinHouSubstance* CreateMartinHouR404A() { return BuildRow(46); }
TMartinHouSubstance* CreateMartinHouR507A() { return BuildRow(63); }
TMartinHouSubstance* CreateMartinHouR508B() { return BuildRow(76); }

TMartinHouSubstance* CreateBuiltinMartinHou(int32_t row) { return BuildRow(row); }

}  // namespace voq
