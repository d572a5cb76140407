#include "properties/helmholtz_air.h"

#include <array>
#include <cmath>

#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kAirRow = 74;
constexpr int32_t kT = 1, kP = 2, kV = 6;

// The reducing point (maximum condentherm) as the ancillaries write it.
constexpr Extended kReducingT = 132.6312L;
constexpr Extended kReducingP = 3785.02L;
constexpr Extended kReducingMolarDensity = 10.4477L;  // mol/dm3

// The true critical point of air, reported by the critical-point slots.
constexpr Extended kCriticalT = 132.5306L;
constexpr Extended kCriticalP = 3786;
constexpr Extended kCriticalMolarVolume = 0.0844608861636176287L;  // m3/kmol

// theta = 1 - T/132.6312
Extended Theta(Extended T) { return 1 - T / kReducingT; }

// ln(P/Pj) = (Tj/T) sum B_k theta^(k/2), theta^(k/2) as the k-th power of
// sqrt(theta).
template <size_t N>
Extended AncillaryPressure(const std::array<Extended, N>& coef, const std::array<int32_t, N>& power, Extended T) {
  const Extended root = std::sqrt(Theta(T));
  Extended sum = 0;
  for (size_t k = 0; k < N; ++k) sum += coef[k] * IntPower(power[k], root);
  return kReducingP * std::exp(kReducingT / T * sum);
}

}  // namespace

Extended TAirEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(AirIdealGasPart, tau, delta); }
Extended TAirEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(AirIdealGasPart, tau); }
Extended TAirEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(AirResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended TAirEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(AirResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended TAirEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(AirResidualPart, THelmholtzPart::kDTau, tau, delta);
}

// At 132.6312 K itself the sum is evaluated (theta = 0), which gives the
// reducing pressure as the dew branch does.
Extended TAirEos::BubblePressure(Extended T) {
  if (T > kReducingT) return PCrit;
  static constexpr std::array<Extended, 6> kB{0.2260724L, -7.080499L, 5.700283L, -12.44017L, 17.81926L, -10.81364L};
  static constexpr std::array<int32_t, 6> kPower{1, 2, 3, 4, 5, 6};
  return AncillaryPressure(kB, kPower, T);
}

Extended TAirEos::DewPressure(Extended T) {
  if (T >= kReducingT) return kReducingP;
  static constexpr std::array<Extended, 4> kD{-0.1567266L, -5.539635L, 0.7567212L, -3.514322L};
  static constexpr std::array<int32_t, 4> kPower{1, 2, 5, 8};
  return AncillaryPressure(kD, kPower, T);
}

// The pseudo-pure fluid's saturation pressure on side X: linear between the
// bubble (X = 0) and dew (X = 1) pressures.
Extended TAirEos::SatPressure(Extended T, Extended X) { return (1 - X) * BubblePressure(T) + X * DewPressure(T); }

// Above the reducing temperature both ancillaries give the reducing density
// unrefined: there is no saturation to refine against.
Extended TAirEos::SatLiquidDensity(Extended T) {
  const Extended rhoJ = kReducingMolarDensity * MolarMassValue;
  const Extended theta = Theta(T);
  if (theta < 0) return rhoJ;
  const Extended start = rhoJ * (1 + 44.3413L * PowerReal(theta, 0.65L) - 240.073L * PowerReal(theta, 0.85L) +
                                 285.139L * PowerReal(theta, 0.95L) - 88.3366L * PowerReal(theta, 1.1L) -
                                 0.892181L * std::log(T / kReducingT));
  return RefineSatDensity(*this, T, start, 0);
}

Extended TAirEos::SatVaporDensity(Extended T) {
  const Extended rhoJ = kReducingMolarDensity * MolarMassValue;
  const Extended theta = Theta(T);
  if (theta < 0) return rhoJ;
  const Extended start = rhoJ * std::exp(-2.0466L * PowerReal(theta, 0.41L) - 4.752L * theta -
                                         13.259L * PowerReal(theta, 2.8L) - 47.652L * PowerReal(theta, 6.5L));
  return RefineSatDensity(*this, T, start, 1);
}

Extended TAirEos::T_crit() {
  UnitConversionEnabled = true;
  Extended value = kCriticalT;
  PropertyFromInternalUnits(kT, value);
  return value;
}

Extended TAirEos::P_crit() {
  Extended value = kCriticalP;
  PropertyFromInternalUnits(kP, value);
  return value;
}

Extended TAirEos::v_crit() {
  Extended value = kCriticalMolarVolume / MolarMassValue;
  PropertyFromInternalUnits(kV, value);
  if (DocumentSettings.MolarBasis != 0) value *= MolarMassValue;
  return value;
}

TGeneralEosSubstance* CreateEosAir() {
  auto* o = new TAirEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kAirRow;
  o->PlotTLow = 70;
  o->PlotTHigh = 240;
  o->SigmaTMin = 70;
  o->SigmaTMax = 130;
  o->SigmaCoef = {0.0293215L, 0, 0};
  o->SigmaExp = {1.23034L, 1, 1};
  // A two-phase state at given T and density has the dew pressure.
  o->TwoPhaseDewPressure = 1;
  o->GasConstant = 8.31451L;
  o->TCrit = kReducingT;
  o->PCrit = kReducingP;
  o->MolarMassValue = 28.9586L;
  // 1/(10.4477 mol/dm3 M)
  o->VCrit = 0.0957148463298142175L / o->MolarMassValue;
  o->TMin = 60;
  o->TMax = 2000;
  o->PMax = 2000000;
  TTransportConstantsA& t = o->Transport;
  t.CondDiluteForm = 2;
  t.CondDiluteTMin = 75;
  t.CondDiluteTMax = 1500;
  t.CondDiluteCoef = {0.001002328L, 9.043956e-5L, -2.902134e-8L, 4.639952e-12L};
  t.CondLiquidTMin = 60;
  t.CondLiquidTMax = 130;
  t.CondLiquidCoef = {0.2877264L, -0.001807363L, 3.296703e-7L, 0};
  // Dilute form 5 (in sqrt T), liquid polynomial in T.
  t.ViscForm = 51;
  t.ViscDiluteTMin = 75;
  t.ViscDiluteTMax = 1005;
  t.ViscDiluteCoef = {-8.075522e-6L, 1.423553e-6L, 8.800868e-9L, -1.246198e-10L};
  t.ViscLiquidTMin = 75;
  t.ViscLiquidTMax = 125;
  t.ViscLiquidCoef = {3239.758L, -81.70078L, 0.7106294L, -0.002094794L};
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
