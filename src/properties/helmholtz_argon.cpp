#include "properties/helmholtz_argon.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kArgonRow = 59;

}  // namespace

Extended ArgonTransportSum(const TArgonTransportSet& set, Extended T, Extended rho) {
  // G(T): T^(k/3) for k = -3..5 as products of T^(1/3).
  const Extended third = std::cbrt(T);
  Extended power = 1 / T;
  Extended dilute = 0;
  for (size_t i = 0; i < set.g.size(); ++i) {
    dilute += set.g[i] * power;
    power *= third;
  }
  const std::array<Extended, 13>& v = set.v;
  const Extended b1 = v[0] + v[1] / T;
  const Extended b2 = v[2] + v[3] / T + v[4] / (T * T);
  const Extended b3 = v[5] + v[6] / T + v[7] / (T * T);
  const Extended b4 = v[8] + v[9] / T + v[10] / (T * T);
  const Extended c = v[11] + v[12] / T;
  const Extended dense = rho * (b1 + rho * (b2 + rho * (b3 + rho * b4)));
  return dilute + dense / (1 + c * rho);
}

Extended TArgonEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(ArgonIdealGasPart, tau, delta); }
Extended TArgonEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(ArgonIdealGasPart, tau); }
Extended TArgonEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(ArgonResidualPart, THelmholtzPart::kValue, tau, delta);
}
TEosDerivatives TArgonEos::Derivatives(Extended tau, Extended delta) {
  return EvaluateHelmholtz(ArgonIdealGasPart, ArgonResidualPart, tau, delta);
}

// P = PCrit exp((TCrit/T)(-5.94097847 theta + 1.35538882 theta^1.5
//     - 0.464976071 theta^2 - 1.53990433 theta^4.5)), theta = 1 - T/TCrit.
Extended TArgonEos::SatPressure(Extended T, Extended) {
  const Extended theta = (TCrit - T) / TCrit;
  return PCrit * std::exp((TCrit / T) * (-5.94097847L * theta + 1.35538882L * PowerReal(theta, 1.5L) -
                                         0.464976071L * theta * theta - 1.53990433L * PowerReal(theta, 4.5L)));
}

Extended TArgonEos::SatLiquidDensity(Extended T) {
  const Extended theta = (TCrit - T) / TCrit;
  const Extended start =
      std::exp(1.50042624L * PowerReal(theta, 0.334L) - 0.313812895L * PowerReal(theta, 0.6666666667L) +
               0.0864616215L * PowerReal(theta, 7.0L / 3) - 0.0414775245L * IntPower(4, theta)) /
      VCrit;
  return RefineSatDensity(*this, T, start, 0);
}

Extended TArgonEos::SatVaporDensity(Extended T) {
  const Extended theta = (TCrit - T) / TCrit;
  const Extended start =
      std::exp((TCrit / T) * (-1.70695656L * PowerReal(theta, 0.345L) - 4.02739448L * PowerReal(theta, 5.0L / 6) +
                              1.55177558L * theta - 2.30683228L * PowerReal(theta, 13.0L / 3))) /
      VCrit;
  return RefineSatDensity(*this, T, start, 1);
}

// The state, then the correlation at T and the molar density: micro-Pa-s
// over 1e6 gives Pa-s, mW/m-K over 1000 gives W/m-K.
Extended TArgonEos::TransportSlot(TPropertyArgumentRecord& a, const char* property, bool viscosity) {
  TTransportStatePoint point;
  if (!TransportState(*this, property, a, point)) return -999;
  const Extended rhoMolar = point.rho / MolarMassValue;
  Extended value = viscosity ? ArgonTransportSum(ArgonViscositySet, point.T, rhoMolar) / 1000000
                             : ArgonTransportSum(ArgonConductivitySet, point.T, rhoMolar) / 1000;
  if (CalcErrorCode == 0) PropertyFromInternalUnits(viscosity ? 9 : 10, value);
  return value;
}

Extended TArgonEos::Viscosity(TPropertyArgumentRecord& a) { return TransportSlot(a, "Viscosity", true); }
Extended TArgonEos::Conductivity(TPropertyArgumentRecord& a) { return TransportSlot(a, "Conductivity", false); }

TGeneralEosSubstance* CreateEosArgon() {
  auto* o = new TArgonEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kArgonRow;
  o->PlotTLow = 60;
  o->PlotTHigh = 300;
  o->SigmaTMin = 90;
  o->SigmaTMax = 145;
  o->SigmaCoef = {0.03797L, 0, 0};
  o->SigmaExp = {1.2804L, 1, 1};
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.31451L;
  o->TCrit = 150.687L;
  o->PCrit = 4863;
  o->VCrit = 0.00186706497386109037L;
  o->MolarMassValue = 39.948L;
  o->TMin = 83.806L;
  o->TMax = 700;
  o->PMax = 1000000;
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
