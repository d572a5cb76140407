#include "properties/helmholtz_ammonia.h"

#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

constexpr int32_t kAmmoniaRow = 50;

// theta = 1 - T/TCrit; negative above the critical point, where its real
// powers vanish and only the linear terms remain.
Extended Theta(const TGeneralEosSubstance& o, Extended T) { return (o.TCrit - T) / o.TCrit; }

}  // namespace

Extended TAmmoniaEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(AmmoniaIdealGasPart, tau, delta); }
Extended TAmmoniaEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(AmmoniaIdealGasPart, tau); }
Extended TAmmoniaEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(AmmoniaResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended TAmmoniaEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(AmmoniaResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended TAmmoniaEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(AmmoniaResidualPart, THelmholtzPart::kDTau, tau, delta);
}

// P = PCrit exp(0.2515515 theta^1.5 - 3592.871/T + 14.23649 - 0.02202347 T
// + 2.162013e-5 T^2). The temperature polynomial is a fit: it sums to about
// -0.0011 at TCrit, so the ancillary ends just below PCrit.
Extended TAmmoniaEos::SatPressure(Extended T, Extended) {
  const Extended theta = Theta(*this, T);
  return PCrit * std::exp(0.2515515L * PowerReal(theta, 1.5L) - 3592.871L / T + 14.23649L - 0.02202347L * T +
                          2.162013e-5L * T * T);
}

Extended TAmmoniaEos::SatLiquidDensity(Extended T) {
  const Extended theta = Theta(*this, T);
  const Extended start = 224.7745L + 470.4293L * PowerReal(theta, 1.0L / 3.0L) +
                         110.8694L * PowerReal(theta, 2.0L / 3.0L) + 115.0308L * theta;
  return RefineSatDensity(*this, T, start, 0);
}

// The ideal-gas density at the vapour pressure divided by a compressibility
// fit in theta.
Extended TAmmoniaEos::SatVaporDensity(Extended T) {
  const Extended theta = Theta(*this, T);
  const Extended P = SatPressure(T, 0);
  const Extended z = 0.3785464L - 0.8049173L * PowerReal(theta, 1.0L / 3.0L) +
                     4.48494L * PowerReal(theta, 2.0L / 3.0L) - 3.132017L * theta;
  return RefineSatDensity(*this, T, P / (R() * T) / z, 1);
}

TGeneralEosSubstance* CreateEosAmmonia() {
  auto* o = new TAmmoniaEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kAmmoniaRow;
  o->PlotTLow = 220;
  o->PlotTHigh = 550;
  o->SigmaTMin = 198;
  o->SigmaTMax = 400;
  o->SigmaCoef = {0.090245L, 0, 0};
  o->SigmaExp = {1.0852L, 1, 1};
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.3144L;
  o->TCrit = 405.4L;
  o->PCrit = 11333;
  o->VCrit = 1.0L / 225.0L;
  o->MolarMassValue = 17.03L;
  o->TMin = 195.495L;
  o->TMax = 700;
  o->PMax = 100000;
  TTransportConstantsA& t = o->Transport;
  t.CondDiluteForm = 2;
  t.CondDiluteTMin = 230;
  t.CondDiluteTMax = 900;
  t.CondDiluteCoef = {0.0027287L, 3.0187e-5L, 1.6195e-7L, -6.3697e-11L};
  t.CondLiquidTMin = 244;
  t.CondLiquidTMax = 406;
  t.CondLiquidCoef = {1.1713L, -0.002315L, 0, 0};
  t.ViscForm = 21;
  t.ViscDiluteTMin = 200;
  t.ViscDiluteTMax = 1000;
  t.ViscDiluteCoef = {365750, 29975, 12.579L, -0.0070761L};
  t.ViscLiquidTMin = 230;
  t.ViscLiquidTMax = 390;
  t.ViscLiquidCoef = {2082.2L, -13.582L, 0.031014L, -2.437e-5L};
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
