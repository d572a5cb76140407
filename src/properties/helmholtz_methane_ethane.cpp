// Methane and ethane: slots on their static tables, ancillaries and
// constructors.
//
// theta = (TCrit - T)/TCrit in the ancillaries; real powers through
// PowerReal (0 at and above TCrit), integer powers as products.
#include "properties/helmholtz_methane_ethane.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "properties/helmholtz_evaluator.h"

namespace voq {

namespace {

Extended Theta(const TGeneralEosSubstance& o, Extended T) { return (o.TCrit - T) / o.TCrit; }

// The vapour pressures divide by T: error 4 and -999 at T = 0, as the
// other ancillaries of the family.
bool ZeroTemperature(Extended T) {
  if (T != 0) return false;
  SetCalcError(kMsgDivisionByZero);
  return true;
}

// What the constructors share: the triple-point values and the transport
// constants of the family-C layout (transport constants: Younglove and
// Ely, J. Phys. Chem. Ref. Data 16(4):577 (1987)).
struct TFamilyCConstants {
  int32_t row;
  Extended plotTLow, plotTHigh, sigmaTMin, sigmaTMax, sigmaCoef, sigmaExp;
  Extended tCrit, pCrit, vCrit, molarMass, tMin, tMax, pMax;
  Extended tTriple, pTriple, rhoLTriple, rhoVTriple, collisionDiameter, energyParameter, diluteFactor;
  std::array<Extended, 4> firstDensity;
  std::array<Extended, 7> dense;
  std::array<Extended, 10> conductivity;
  std::array<Extended, 9> cp0;
};

void WriteFamilyC(TGeneralEosFamilyC& o, const TFamilyCConstants& c) {
  InitSubstanceBase(o);
  o.CatalogRow = c.row;
  o.PlotTLow = c.plotTLow;
  o.PlotTHigh = c.plotTHigh;
  o.SigmaTMin = c.sigmaTMin;
  o.SigmaTMax = c.sigmaTMax;
  o.SigmaCoef = {c.sigmaCoef, 0, 0};
  o.SigmaExp = {c.sigmaExp, 1, 1};
  o.TwoPhaseDewPressure = 0;
  o.GasConstant = 8.3144L;
  o.TCrit = c.tCrit;
  o.PCrit = c.pCrit;
  o.VCrit = c.vCrit;
  o.MolarMassValue = c.molarMass;
  o.TMin = c.tMin;
  o.TMax = c.tMax;
  o.PMax = c.pMax;
  o.TripleTemperature = c.tTriple;
  o.TriplePressure = c.pTriple;
  o.TripleLiquidDensity = c.rhoLTriple;
  o.TripleVaporDensity = c.rhoVTriple;
  o.CollisionDiameter = c.collisionDiameter;
  o.EnergyParameter = c.energyParameter;
  o.DiluteViscosityFactor = c.diluteFactor;
  o.FirstDensityViscosityCoef = c.firstDensity;
  o.DenseViscosityCoef = c.dense;
  o.ConductivityCoef = c.conductivity;
  o.Cp0Coef = c.cp0;
  InitGeneralEos(o);
}

const TFamilyCConstants kMethane{
    51, 100, 300, 90.1L, 188.15L, 0.037555L, 1.2102L, 190.564L, 4599.2L, 0.0061477929423337022L, 16.043L, 90.7L, 625,
    100000, 90.68L, 0.011744L, 28.147L, 0.015679L, 0.3758L, 148.6L, 0.106925257L,
    {0.16969859271L, -0.013337234608L, 1.4L, 168},
    {-16.20427429L, 427.0589027L, 14.02597278L, -3916.837745L, -0.0347709909L, 21.36542674L, 1436.802482L},
    {0.002325800819L, -0.2477927999L, 38.80593713L, -1.579519146e-7L, 0.003717991328L, -0.9616989434L,
     -0.0301735277L, 0.4298153386L, 1.346953698L, -0.3254677753L},
    {-1804475.0507L, 77426.666393L, -1324.165875L, 15.438149595L, -0.051479005257L, 1.0809172196e-4L,
     -6.5501783437e-8L, -6.7490056171L, 3000}};
const TFamilyCConstants kEthane{
    48, 100, 400, 90.1L, 303.15L, 0.050666L, 1.2334L, 305.33L, 4871.8L, 0.00484049597657974427L, 30.07L, 90.348L, 623,
    69000, 90.348L, 1.1308e-6L, 21.68L, 1.5154e-6L, 0.44011L, 240, 0.146388493L,
    {2.102436247L, -1.065920192L, 1.4L, 305.33L},
    {-19.03481042L, 1799.260494L, 15.61316986L, -14972.21136L, 0.1130374601L, -21.86440756L, 8235.954037L},
    {0.002863803648L, -0.459858003L, 77.72750057L, 1.38460594e-6L, 0.018740040714L, -3.009947821L,
     -0.04225741011L, 1.028764297L, 1.545691277L, -0.5086287855L},
    {-693414.06909L, 31534.834135L, -610.3375287L, 9.9507922459L, -0.028657877948L, 9.0922897821e-5L,
     -5.2750109915e-8L, -14.243593411L, 3000}};

}  // namespace

// ---- Methane ----------------------------------------------------------------

Extended TMethaneEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(MethaneIdealGasPart, tau, delta); }
Extended TMethaneEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(MethaneIdealGasPart, tau); }
Extended TMethaneEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(MethaneResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended TMethaneEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(MethaneResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended TMethaneEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(MethaneResidualPart, THelmholtzPart::kDTau, tau, delta);
}
TEosDerivatives TMethaneEos::Derivatives(Extended tau, Extended delta) {
  return EvaluateHelmholtz(MethaneIdealGasPart, MethaneResidualPart, tau, delta);
}

// P = PCrit exp((TCrit/T)(-6.036219 theta + 1.409353 theta^1.5
//     - 0.4945199 theta^2 - 1.443048 theta^4.5))
Extended TMethaneEos::SatPressure(Extended T, Extended) {
  if (ZeroTemperature(T)) return -999;
  const Extended th = Theta(*this, T);
  return PCrit * std::exp(TCrit / T *
                          (-6.036219L * th + 1.409353L * PowerReal(th, 1.5L) - 0.4945199L * th * th -
                           1.443048L * PowerReal(th, 4.5L)));
}

Extended TMethaneEos::SatLiquidDensity(Extended T) {
  if (T >= TCrit) return 1 / VCrit;
  const Extended th = Theta(*this, T);
  return std::exp(1.9906389L * PowerReal(th, 0.354L) - 0.78756197L * PowerReal(th, 0.5L) +
                  0.036976723L * PowerReal(th, 2.5L)) /
         VCrit;
}

// Every theta term has a real exponent: 1/VCrit at and above TCrit.
Extended TMethaneEos::SatVaporDensity(Extended T) {
  const Extended th = Theta(*this, T);
  return std::exp(-1.880284L * PowerReal(th, 0.354L) - 2.8526531L * PowerReal(th, 5.0L / 6) -
                  3.000648L * PowerReal(th, 1.5L) - 5.251169L * PowerReal(th, 2.5L) -
                  13.191859L * PowerReal(th, 25.0L / 6) - 37.553961L * PowerReal(th, 47.0L / 6)) /
         VCrit;
}

// ---- Ethane -----------------------------------------------------------------

Extended TEthaneEos::Alpha0(Extended tau, Extended delta) { return IdealGasAlpha0(EthaneIdealGasPart, tau, delta); }
Extended TEthaneEos::Alpha0Tau(Extended tau, Extended) { return IdealGasAlpha0Tau(EthaneIdealGasPart, tau); }
Extended TEthaneEos::AlphaR(Extended tau, Extended delta) {
  return SumResidualPart(EthaneResidualPart, THelmholtzPart::kValue, tau, delta);
}
Extended TEthaneEos::AlphaRDelta(Extended tau, Extended delta) {
  return SumResidualPart(EthaneResidualPart, THelmholtzPart::kDDelta, tau, delta);
}
Extended TEthaneEos::AlphaRTau(Extended tau, Extended delta) {
  return SumResidualPart(EthaneResidualPart, THelmholtzPart::kDTau, tau, delta);
}
TEosDerivatives TEthaneEos::Derivatives(Extended tau, Extended delta) {
  return EvaluateHelmholtz(EthaneIdealGasPart, EthaneResidualPart, tau, delta);
}

// P = PCrit exp(-7.955315 theta/(1 - theta) + 1.532827 theta
//     + 14.78068 theta^1.9 - 13.43179 theta^2 + 4.704891 theta^3)
Extended TEthaneEos::SatPressure(Extended T, Extended) {
  if (ZeroTemperature(T)) return -999;
  const Extended th = Theta(*this, T);
  return PCrit * std::exp(-7.955315L * th / (1 - th) + 1.532827L * th + 14.78068L * PowerReal(th, 1.9L) -
                          13.43179L * th * th + 4.704891L * th * th * th);
}

// rho' = (1 + (1.93074 theta^0.355 - 0.6539856 theta^2 + 0.8141362 theta^3
//        - 0.3838141 theta^4)/(1 - 0.339743 theta^0.645))/VCrit
Extended TEthaneEos::SatLiquidDensity(Extended T) {
  const Extended th = Theta(*this, T);
  const Extended th2 = th * th;
  return (1 + (1.93074L * PowerReal(th, 0.355L) - 0.6539856L * th2 + 0.8141362L * th2 * th - 0.3838141L * th2 * th2) /
                  (1 - 0.339743L * PowerReal(th, 0.645L))) /
         VCrit;
}

// The ideal-gas density P/(R T) over a virial-like correction 1 + B (...),
// B = -0.72066 (P/PCrit) (TCrit/T)^8.
Extended TEthaneEos::SatVaporDensity(Extended T) {
  const Extended P = SatPressure(T, 0);
  if (T == 0) return -999;
  const Extended th = Theta(*this, T);
  const Extended th2 = th * th;
  const Extended B = -0.72066L * P * IntPower(8, TCrit / T) / PCrit;
  const Extended f = 1 + (-0.7483719L * PowerReal(th, 0.355L) - 1.372895L * PowerReal(th, 0.71L) -
                          1.192597L * (th + th2 * th2) + 1.861505L * th2) /
                             (1 + 1.313649L * th);
  return P / (R() * T) / (1 + B * f);
}

TGeneralEosSubstance* CreateEosMethane() {
  auto* o = new TMethaneEos();
  WriteFamilyC(*o, kMethane);
  return o;
}

TGeneralEosSubstance* CreateEosEthane() {
  auto* o = new TEthaneEos();
  WriteFamilyC(*o, kEthane);
  return o;
}

}  // namespace voq
