#include "properties/helmholtz_helium.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

constexpr int32_t kHeliumRow = 33;

// The saturation ancillaries' variable a = (T - 5.195301)/(-3.018501): 0 at
// (just above) the critical point, 1 at the lambda point.
Extended LambdaScale(Extended T) { return (T - 5.195301L) / -3.018501L; }

}  // namespace

// A monatomic ideal gas: cp0 = 5/2 R, so alpha0 = ln delta + a1 + a2 tau +
// 1.5 ln tau with no further terms.
Extended THeliumEos::Alpha0(Extended tau, Extended delta) {
  return std::log(delta) + 13.62841792L - 143.4710219L * tau + 1.5L * std::log(tau);
}
Extended THeliumEos::Alpha0Tau(Extended tau, Extended) { return -143.4710219L + 1.5L / tau; }
Extended THeliumEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(HeliumResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended THeliumEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(HeliumResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended THeliumEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(HeliumResidualPart, THelmholtzPart::kDTau, tau, delta);
}

// P = exp(14.53333 (1 - x)^1.9 + sum over i = -1..8 of c_i x^i) Pa, x = T/TCrit.
Extended THeliumEos::SatPressure(Extended T, Extended) {
  static constexpr std::array<Extended, 10> kC{-30.93285L,   392.47361L,  -2328.04587L, 8111.30347L,  -17809.80901L,
                                               25766.52747L, -24601.4L,   14944.65142L, -5240.36518L, 807.93168L};
  const Extended x = T / TCrit;
  // Horner over x^-1 .. x^8: x^-1 (c_-1 + c_0 x + ... + c_8 x^9).
  Extended poly = 0;
  for (size_t k = kC.size(); k-- > 0;) poly = poly * x + kC[k];
  return std::exp(14.53333L * PowerReal(1 - x, 1.9L) + poly / x) / 1000;
}

// Molar density (mol/dm3) 19.1159 exp(b) + 17.399, times the molar mass.
// No floor on a: at the critical temperature a is about 3e-7, b is hugely
// negative and the start is the critical density.
Extended THeliumEos::SatLiquidDensity(Extended T) {
  const Extended a = LambdaScale(T);
  const Extended b = -34.3450088L * std::log(a) + 0.4501470666L * (1 - 1 / a) -
                     6.89546017L * (1 - PowerReal(a, -2.0L / 3.0L)) + 54.42223002L * (1 - PowerReal(a, -1.0L / 3.0L)) -
                     97.16273774L * (1 - PowerReal(a, 1.0L / 3.0L)) + 17.85061367L * (1 - PowerReal(a, 2.0L / 3.0L));
  return RefineSatDensity(*this, T, (19.1159L * std::exp(b) + 17.399L) * MolarMassValue, 0);
}

// Molar density 17.399 - 17.104941 exp(b), times the molar mass; a is kept
// at 1e-6 or more (reached at 5.1953 K), where the sum is still finite.
Extended THeliumEos::SatVaporDensity(Extended T) {
  const Extended a = std::max(LambdaScale(T), 1e-6L);
  const Extended b = -561.8979079L * std::log(a) + 3.300736785L * (1 - 1 / a) -
                     60.31200561L * (1 - PowerReal(a, -2.0L / 3.0L)) + 612.990156L * (1 - PowerReal(a, -1.0L / 3.0L)) -
                     2718.577178L * (1 - PowerReal(a, 1.0L / 3.0L)) + 1285.18502L * (1 - PowerReal(a, 2.0L / 3.0L)) -
                     440.6873907L * (1 - a) + 71.63145577L * (1 - PowerReal(a, 4.0L / 3.0L));
  return RefineSatDensity(*this, T, (17.399L - 17.104941L * std::exp(b)) * MolarMassValue, 1);
}

TGeneralEosSubstance* CreateEosHelium() {
  auto* o = new THeliumEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kHeliumRow;
  o->PlotTLow = 2.2L;
  o->PlotTHigh = 10;
  o->SigmaTMin = 2.2L;
  o->SigmaTMax = 5.1L;
  o->SigmaCoef = {0.00070841L, 0, 0};
  o->SigmaExp = {1.1145L, 1, 1};
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.31431L;
  o->TCrit = 5.1953L;
  o->PCrit = 227.46L;
  o->VCrit = 0.0143593083255582705L;
  o->MolarMassValue = 4.0026L;
  o->TMin = 2.1768L;
  o->TMax = 1500;
  o->PMax = 100000;
  TTransportConstantsA& t = o->Transport;
  t.CondDiluteForm = 2;
  t.CondDiluteTMin = 4;
  t.CondDiluteTMax = 1000;
  t.CondDiluteCoef = {0.01373685L, 6.122027e-4L, -5.268776e-7L, 2.657736e-10L};
  // The liquid conductivity is the family's table for this catalogue row;
  // the range still bounds it.
  t.CondLiquidTMin = 2.2L;
  t.CondLiquidTMax = 5.1L;
  t.CondLiquidCoef = {0, 0, 0, 0};
  t.ViscForm = 21;
  t.ViscDiluteTMin = 4;
  t.ViscDiluteTMax = 1000;
  t.ViscDiluteCoef = {1879431, 78714.86L, -68.81065L, 0.03505124L};
  t.ViscLiquidTMin = 2.2L;
  t.ViscLiquidTMax = 5.1L;
  t.ViscLiquidCoef = {1.484185L, 1.894321L, -0.4728526L, 0.02809581L};
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
