#include "properties/helmholtz_nitrogen.h"

#include <array>
#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

constexpr int32_t kNitrogenRow = 28;

// theta = 1 - T/TCrit
Extended Theta(const TGeneralEosSubstance& o, Extended T) { return (o.TCrit - T) / o.TCrit; }

// Sum over i = 2..11 of coef[i-2] theta^(i/3), the powers as products of
// theta^(1/3) (0 for a theta at or below 0).
Extended ThirdPowerSum(const std::array<Extended, 10>& coef, Extended theta) {
  if (!(theta > 0)) return 0;
  const Extended third = std::cbrt(theta);
  Extended power = third;
  Extended sum = 0;
  for (int32_t i = 2; i <= 11; ++i) {
    power *= third;
    sum += coef[static_cast<size_t>(i - 2)] * power;
  }
  return sum;
}

}  // namespace

Extended TNitrogenEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(NitrogenIdealGasPart, tau, delta); }
Extended TNitrogenEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(NitrogenIdealGasPart, tau); }
Extended TNitrogenEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(NitrogenResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended TNitrogenEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(NitrogenResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended TNitrogenEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(NitrogenResidualPart, THelmholtzPart::kDTau, tau, delta);
}
TEosDerivatives TNitrogenEos::Derivatives(Extended tau, Extended delta) {
  return EvaluateHelmholtz(NitrogenIdealGasPart, NitrogenResidualPart, tau, delta);
}

// P = PCrit (T/TCrit) (1 - 5.072183802 a + 13.67990776 a^1.9 - ...), a = TCrit/T - 1.
Extended TNitrogenEos::SatPressure(Extended T, Extended) {
  const Extended a = TCrit / T - 1;
  return PCrit * (T / TCrit) *
         (1 - 5.072183802L * a + 13.67990776L * PowerReal(a, 1.9L) - 11.94002133L * PowerReal(a, 2.4L) +
          2.641788411L * PowerReal(a, 3.5L) - 0.3781265428L * PowerReal(a, 5.5L) + 0.07593697713L * IntPower(7, a));
}

Extended TNitrogenEos::SatLiquidDensity(Extended T) {
  static constexpr std::array<Extended, 10> kB{17.80437699L, 0,           1202.958313L, -4601.087081L, 10512.65347L,
                                               -11885.82325L, 0,          17409.12806L, -19342.02934L, 7191.464655L};
  const Extended theta = Theta(*this, T);
  const Extended start =
      (1 + ThirdPowerSum(kB, theta) + 0.8015275102L * PowerReal(theta, 0.325L) - 189.571751L * std::log(TCrit / T)) /
      VCrit;
  return RefineSatDensity(*this, T, start, 0);
}

Extended TNitrogenEos::SatVaporDensity(Extended T) {
  static constexpr std::array<Extended, 10> kC{1.345167397L, 27.21335451L, 118.9562787L, -268.1972897L, 329.2110413L,
                                               -138.1052419L, 0,           0,            0,             34.47426258L};
  const Extended theta = Theta(*this, T);
  const Extended start =
      std::exp(ThirdPowerSum(kC, theta) - 1.592975033L * PowerReal(theta, 0.325L) - 57.24027229L * std::log(TCrit / T)) /
      VCrit;
  return RefineSatDensity(*this, T, start, 1);
}

TGeneralEosSubstance* CreateEosNitrogen() {
  auto* o = new TNitrogenEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kNitrogenRow;
  o->PlotTLow = 65;
  o->PlotTHigh = 233.15L;
  o->SigmaTMin = 64;
  o->SigmaTMax = 125;
  o->SigmaCoef = {0.029107L, 0, 0};
  o->SigmaExp = {1.2572L, 1, 1};
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.314344L;
  o->TCrit = 126.193L;
  o->PCrit = 3397.8L;
  o->VCrit = 0.00319380889803194615L;
  o->MolarMassValue = 28.0134L;
  o->TMin = 63.148L;
  o->TMax = 2000;
  o->PMax = 1000000;
  TTransportConstantsA& t = o->Transport;
  t.CondDiluteForm = 2;
  t.CondDiluteTMin = 75;
  t.CondDiluteTMax = 602;
  t.CondDiluteCoef = {-7.181445e-4L, 1.133025e-4L, -1.016044e-7L, 6.289957e-11L};
  t.CondLiquidTMin = 65;
  t.CondLiquidTMax = 125;
  t.CondLiquidCoef = {0.437599L, -0.00853233L, 8.84907e-5L, -3.66285e-7L};
  t.ViscForm = 21;
  t.ViscDiluteTMin = 75;
  t.ViscDiluteTMax = 1005;
  t.ViscDiluteCoef = {-137517.5L, 75575.79L, -57.31455L, 0.02240662L};
  t.ViscLiquidTMin = 65;
  t.ViscLiquidTMax = 125;
  t.ViscLiquidCoef = {2255.982L, -57.0434L, 0.50552L, -0.00152L};
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
