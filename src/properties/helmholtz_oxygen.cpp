#include "properties/helmholtz_oxygen.h"

#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

constexpr int32_t kOxygenRow = 31;

// theta = 1 - T/TCrit
Extended Theta(const TGeneralEosSubstance& o, Extended T) { return (o.TCrit - T) / o.TCrit; }

}  // namespace

Extended TOxygenEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(OxygenIdealGasPart, tau, delta); }
Extended TOxygenEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(OxygenIdealGasPart, tau); }
Extended TOxygenEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(OxygenResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended TOxygenEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(OxygenResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended TOxygenEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(OxygenResidualPart, THelmholtzPart::kDTau, tau, delta);
}

// ln(P/PCrit) = (TCrit/T)(-6.043938 theta + 1.175627 theta^1.5 - 0.994086
// theta^3 - 3.456781 theta^7 + 3.361499 theta^9): exactly PCrit at TCrit.
Extended TOxygenEos::SatPressure(Extended T, Extended) {
  const Extended theta = Theta(*this, T);
  return PCrit * std::exp(TCrit / T *
                          (-6.043938L * theta + 1.175627L * PowerReal(theta, 1.5L) - 0.994086L * IntPower(3, theta) -
                           3.456781L * IntPower(7, theta) + 3.361499L * IntPower(9, theta)));
}

Extended TOxygenEos::SatLiquidDensity(Extended T) {
  const Extended theta = Theta(*this, T);
  const Extended start = (1 + 1.507678L * PowerReal(theta, 0.3333333333L) +
                          0.85810805L * PowerReal(theta, 0.6666666667L) + 0.19035504L * IntPower(3, theta)) /
                         VCrit;
  return RefineSatDensity(*this, T, start, 0);
}

Extended TOxygenEos::SatVaporDensity(Extended T) {
  const Extended theta = Theta(*this, T);
  const Extended start =
      std::exp(-1.498431L * PowerReal(theta, 1.0L / 3.0L) - 2.116826L * PowerReal(theta, 2.0L / 3.0L) -
               0.905713L * theta - 5.65999L * PowerReal(theta, 5.0L / 3.0L) - 18.90964L * IntPower(4, theta) -
               53.780774L * IntPower(9, theta)) /
      VCrit;
  return RefineSatDensity(*this, T, start, 1);
}

TGeneralEosSubstance* CreateEosOxygen() {
  auto* o = new TOxygenEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kOxygenRow;
  o->PlotTLow = 60;
  o->PlotTHigh = 300;
  o->SigmaTMin = 54.4L;
  o->SigmaTMax = 154.5L;
  o->SigmaCoef = {0.0382261L, 0.0056313L, -0.0077405L};
  o->SigmaExp = {1.25L, 2.25L, 3.25L};
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.31434L;
  o->TCrit = 154.581L;
  o->PCrit = 5043;
  o->VCrit = 0.00229282282257495009L;
  o->MolarMassValue = 31.9988L;
  o->TMin = 54.36L;
  o->TMax = 300;
  o->PMax = 82000;
  TTransportConstantsA& t = o->Transport;
  t.CondDiluteForm = 2;
  t.CondDiluteTMin = 80;
  t.CondDiluteTMax = 700;
  t.CondDiluteCoef = {-0.0013986L, 1.1014e-4L, -6.4598e-8L, 3.0189e-11L};
  t.CondLiquidTMin = 80;
  t.CondLiquidTMax = 155;
  t.CondLiquidCoef = {0.52979L, -0.0089903L, 7.3444e-5L, -2.2999e-7L};
  t.ViscForm = 21;
  t.ViscDiluteTMin = 80;
  t.ViscDiluteTMax = 700;
  t.ViscDiluteCoef = {-330434.1911L, 86192.15L, -61.64704L, 0.02539L};
  t.ViscLiquidTMin = 80;
  t.ViscLiquidTMax = 155;
  t.ViscLiquidCoef = {2279.7144L, -49.88729L, 0.39235L, -0.00106L};
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
