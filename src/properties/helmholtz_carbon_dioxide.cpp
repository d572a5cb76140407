#include "properties/helmholtz_carbon_dioxide.h"

#include <array>
#include <cmath>
#include <numbers>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr int32_t kCarbonDioxideRow = 29;
constexpr int32_t kT = 1, kP = 2, kH = 3, kU = 4, kV = 6;

// The critical density the density ancillaries are written on, K.
constexpr Extended kAncillaryTCrit = 304.1282L;
constexpr Extended kAncillaryRhoCrit = 467.6L;

// The viscosity's switches.
constexpr Extended kSwitchT = 302;
constexpr Extended kSwitchRho = 467.689L;

// The critical enhancement's constants.
constexpr Extended kPcMPa = 7.3721L;
constexpr Extended kRhoC = 467.69L;
constexpr Extended kTRef = 450;
constexpr Extended kTFrozen = 445;
constexpr Extended kXi0 = 1.5e-10L;
constexpr Extended kGammaAmp = 0.052L;
constexpr Extended kNu = 0.63L;
constexpr Extended kGamma = 1.2415L;
constexpr Extended kQD = 2.5e9L;
constexpr Extended kRDkB = 1.39446862e-23L;

Extended Logistic(Extended z) { return 1 / (1 + std::exp(-z)); }

bool TwoPhase(Extended x) { return x > 0.001L && x < 0.999L; }

void TwoPhaseError(const char* name, Extended x) {
  SetMessageArg(1, name);
  SetMessageArg(2, FormatValue(TDisplayFormat{kStyleAutomatic, 4}, x));
  CalcErrorCode = kMsgTwoPhaseUndetermined;
}

bool TemperatureInRange(const TGeneralEosSubstance& o, Extended T, Extended hi) {
  if (T >= 200 && T <= hi) return true;
  const TDisplayFormat f{kStyleAutomatic, 4};
  if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
  SetMessageArg(1, "200 K <= T <= " + FormatValue(f, hi) + " K");
  SetMessageArg(2, FormatValue(f, T) + " K");
  SetMessageArg(3, "");
  CalcErrorCode = kMsgTemperatureRange;
  return false;
}

bool PressureInRange(const TGeneralEosSubstance& o, Extended P) {
  if (P <= 100000) return true;
  if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
  SetMessageArg(1, "P <= 100 MPa");
  CalcErrorCode = kMsgPressureRange;
  return false;
}

// A value of the document's units (molar per-mole quantities included) from
// its internal-unit value, and back.
Extended ToDocument(const TGeneralEosSubstance& o, int32_t kind, Extended value) {
  PropertyFromInternalUnits(kind, value);
  if (DocumentSettings.MolarBasis != 0 && kind >= kH && kind <= kV) value *= o.MolarMassValue;
  return value;
}
Extended ToInternal(const TGeneralEosSubstance& o, int32_t kind, Extended value) {
  PropertyToInternalUnits(kind, value);
  if (DocumentSettings.MolarBasis != 0 && kind >= kH && kind <= kV) value /= o.MolarMassValue;
  return value;
}

}  // namespace

// ---- Equation of state -----------------------------------------------------

Extended TCarbonDioxideEos::AlphaRPart(int32_t kind, Extended tau, Extended delta) {
  switch (kind) {
    case 0: return SumResidualPart(CarbonDioxideResidualPart, THelmholtzPart::kValue, tau, delta);
    case 1: return SumResidualPart(CarbonDioxideResidualPart, THelmholtzPart::kDTau, tau, delta);
    case 2: return SumResidualPart(CarbonDioxideResidualPart, THelmholtzPart::kDDelta, tau, delta);
    default: return 0;
  }
}

Extended TCarbonDioxideEos::Alpha0(Extended tau, Extended delta) {
  return IdealGasAlpha0(CarbonDioxideIdealGasPart, tau, delta);
}
Extended TCarbonDioxideEos::Alpha0Tau(Extended tau, Extended) {
  return IdealGasAlpha0Tau(CarbonDioxideIdealGasPart, tau);
}
TEosDerivatives TCarbonDioxideEos::Derivatives(Extended tau, Extended delta) {
  return EvaluateHelmholtz(CarbonDioxideIdealGasPart, CarbonDioxideResidualPart, tau, delta);
}

// P = PCrit exp((TCrit/T)(-7.0602087 theta + 1.9391218 theta^1.5
//     - 1.6463597 theta^2 - 3.2995634 theta^4)), theta = 1 - T/TCrit.
Extended TCarbonDioxideEos::SatPressure(Extended T, Extended) {
  const Extended theta = 1 - T / TCrit;
  return PCrit * std::exp((TCrit / T) * (-7.0602087L * theta + 1.9391218L * PowerReal(theta, 1.5L) -
                                         1.6463597L * theta * theta - 3.2995634L * IntPower(4, theta)));
}

Extended TCarbonDioxideEos::SatLiquidDensity(Extended T) {
  const Extended theta = 1 - T / kAncillaryTCrit;
  const Extended start =
      kAncillaryRhoCrit * std::exp(1.9245108L * PowerReal(theta, 0.34L) - 0.62385555L * PowerReal(theta, 0.5L) -
                                   0.32731127L * PowerReal(theta, 1.666666667L) +
                                   0.39245142L * PowerReal(theta, 1.8333333333L));
  return RefineSatDensity(*this, T, start, 0);
}

Extended TCarbonDioxideEos::SatVaporDensity(Extended T) {
  const Extended theta = 1 - T / kAncillaryTCrit;
  const Extended start =
      kAncillaryRhoCrit * std::exp(-1.7074879L * PowerReal(theta, 0.34L) - 0.8227467L * PowerReal(theta, 0.5L) -
                                   4.6008549L * theta - 10.111178L * PowerReal(theta, 2.3333333333L) -
                                   29.742252L * PowerReal(theta, 4.6666666666667L));
  return RefineSatDensity(*this, T, start, 1);
}

// ---- Correlations ----------------------------------------------------------

// eta = eta0 + d_eta s(T - 302) + (1 - s(T - 302)) (d_eta s(467.689 - rho)
//       + (eta_L - eta0) s(rho - 467.689)), s the logistic function: above
// 302 K the gas form eta0 + d_eta, below it eta_L for liquid-like densities.
Extended CarbonDioxideViscosityMicro(Extended T, Extended rho) {
  const Extended lnT = std::log(T / 251.196L);
  Extended sum = 0;
  Extended power = 1;
  for (const Extended a : CarbonDioxideViscosityA) {
    sum += a * power;
    power *= lnT;
  }
  const Extended dilute = 1.00697L * std::sqrt(T) / std::exp(sum);
  Extended excess = 0;
  power = rho;
  for (const Extended h : CarbonDioxideViscosityH) {
    excess += h * power;
    power *= rho;
  }
  const Extended liquid = 1 / ((1 / rho - (7.41e-4L - 3.3e-7L * T)) * (18.56L + 0.014L * T));
  const Extended sT = Logistic(T - kSwitchT);
  return dilute + excess * sT +
         (1 - sT) * (excess * Logistic(kSwitchRho - rho) + (liquid - dilute) * Logistic(rho - kSwitchRho));
}

// lambda0 = 0.475598 sqrt(T) (1 + r^2)/Z*, r^2 = 0.4 c_int/k.
Extended CarbonDioxideDiluteConductivity(Extended T) {
  Extended cint = 0;
  // c_i (T/100)^(2 - i) for i = 1..5: the first term in T/100, then powers of 100/T.
  Extended power = T / 100;
  for (const Extended c : CarbonDioxideConductivityC) {
    cint += c * power;
    power *= 100 / T;
  }
  cint = 1 + std::exp(-183.5L / T) * cint;
  const Extended r2 = 0.4L * cint;
  const Extended tStar = T / 251.196L;
  Extended z = 0;
  power = 1;
  for (const Extended b : CarbonDioxideConductivityB) {
    z += b / power;
    power *= tStar;
  }
  return 0.475598L * std::sqrt(T) * (1 + r2) / z;
}

Extended CarbonDioxideExcessConductivity(Extended rho) {
  Extended sum = 0;
  Extended power = rho;
  for (const Extended g : CarbonDioxideConductivityG) {
    sum += g * power;
    power *= rho;
  }
  return sum;
}

Extended CarbonDioxideCriticalConductivity(Extended dchi, Extended T, Extended rho, Extended cp, Extended cv) {
  if (!(dchi > 0)) return 0;
  Extended xi = kXi0 * std::pow(dchi / kGammaAmp, kNu / kGamma);
  if (T >= kTFrozen) xi *= std::exp(-(T - kTFrozen) / 10);
  const Extended qxi = kQD * xi;
  const Extended twoOverPi = 2 / std::numbers::pi_v<Extended>;
  const Extended ratio = qxi * kRhoC / rho;
  const Extended omega0 = twoOverPi * (1 - std::exp(-1 / (1 / qxi + ratio * ratio / 3)));
  const Extended omega = twoOverPi * ((cp - cv) / cp * std::atan(qxi) + cv / cp * qxi);
  const Extended eta = CarbonDioxideViscosityMicro(T, rho);
  return kRDkB * T * rho * cp * 1e12L / (18.84955592154L * eta * xi) * (omega - omega0);
}

// ---- Slots -----------------------------------------------------------------

Extended TCarbonDioxideEos::Viscosity(TPropertyArgumentRecord& a) {
  TTransportStatePoint point;
  if (!TransportState(*this, "Viscosity", a, point)) return -999;
  if (!PressureInRange(*this, point.P)) return -999;
  if (!TemperatureInRange(*this, point.T, 1500)) return -999;
  Extended mu = CarbonDioxideViscosityMicro(point.T, point.rho) * 1e-6L;
  if (CalcErrorCode == 0) PropertyFromInternalUnits(9, mu);
  return mu;
}

TCarbonDioxideEos::TNeighbour TCarbonDioxideEos::Neighbour(int32_t kind1, Extended value1, int32_t kind2,
                                                           Extended value2) {
  TNeighbour n;
  const int32_t wanted = (kind1 == kU || kind2 == kU) ? kH : kU;
  SolveEosState(*this, 2, wanted, kind1, kind2, ToDocument(*this, kind1, value1), ToDocument(*this, kind2, value2));
  if (CalcErrorCode > 0) return n;
  n.T = ToInternal(*this, kT, EosStateCache[1]);
  n.P = ToInternal(*this, kP, EosStateCache[2]);
  n.h = ToInternal(*this, kH, EosStateCache[3]);
  n.u = ToInternal(*this, kU, EosStateCache[4]);
  n.rho = 1 / ToInternal(*this, kV, EosStateCache[6]);
  n.x = EosStateCache[7];
  n.ok = true;
  return n;
}

// chi = (rho(1.0001 P') - rho(0.9999 P'))/(0.0002 P') at T', P' in MPa.
Extended TCarbonDioxideEos::Chi(Extended pMPa, Extended T) {
  const TNeighbour up = Neighbour(kT, T, kP, 1000 * 1.0001L * pMPa);
  if (!up.ok) return 0;
  const TNeighbour down = Neighbour(kT, T, kP, 1000 * 0.9999L * pMPa);
  if (!down.ok) return 0;
  return (up.rho - down.rho) / (0.0002L * pMPa);
}

// cp from enthalpies 1e-4 K either side at P; a pair straddling the
// saturation line moves to the side whose density is nearer the state's.
Extended TCarbonDioxideEos::SpecHeatP(Extended T, Extended P, Extended rho) {
  constexpr Extended dT = 1e-4L;
  TNeighbour hi = Neighbour(kT, T + dT, kP, P);
  TNeighbour lo = Neighbour(kT, T - dT, kP, P);
  if (!hi.ok || !lo.ok) return 0;
  if (hi.x != lo.x) {
    if (std::fabs(rho - lo.rho) <= std::fabs(rho - hi.rho)) {
      hi = lo;
      lo = Neighbour(kT, T - 2 * dT, kP, P);
    } else {
      lo = hi;
      hi = Neighbour(kT, T + 2 * dT, kP, P);
    }
    if (!hi.ok || !lo.ok) return 0;
  }
  return (hi.h - lo.h) / (hi.T - lo.T);
}

// cv from internal energies at (T, v) and (T - 1e-5 K, v), or T + 1e-5 K
// when the first pair's qualities differ.
Extended TCarbonDioxideEos::SpecHeatV(Extended T, Extended rho) {
  constexpr Extended dT = 1e-5L;
  const TNeighbour at = Neighbour(kT, T, kV, 1 / rho);
  TNeighbour other = Neighbour(kT, T - dT, kV, 1 / rho);
  if (!at.ok || !other.ok) return 0;
  if (other.x != at.x) {
    other = Neighbour(kT, T + dT, kV, 1 / rho);
    if (!other.ok) return 0;
  }
  return (at.u - other.u) / (at.T - other.T);
}

// lambda = lambda0 + d_lambda + lambda_c. The critical part's
// susceptibility difference is T-weighted below 445 K,
//   (Pc rho/(rhoc^2 TCrit)) (T chi(P, T) - T_R chi(P, T_R) T_R/T),
// and frozen at 445 K above it, (Pc rho/rhoc^2)(chi(P, 445) - chi(P, T_R) T_R/445),
// with the correlation length damped by exp(-(T - 445)/10) there. The two
// forms do not meet at 445 K; the step is the correlation's own.
Extended TCarbonDioxideEos::Conductivity(TPropertyArgumentRecord& a) {
  if (SuppressWarnings != 0) return -999;
  const int32_t wanted = (ArgKind[1] == kU || ArgKind[2] == kU) ? kH : kU;
  SolveEosState(*this, ArgCount, wanted, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  if (CalcErrorCode > 0) return -999;
  const Extended x = EosStateCache[7];
  if (TwoPhase(x)) {
    TwoPhaseError("Conductivity", x);
    return -999;
  }
  // A saturated state's neighbours stay on its own side of the line.
  Extended pDocument = EosStateCache[2];
  if (x >= 0 && x <= 0.001L) pDocument += 0.001L;
  if (x >= 0.999L && x <= 1) pDocument -= 0.001L;
  const Extended T = ToInternal(*this, kT, EosStateCache[1]);
  const Extended P = ToInternal(*this, kP, pDocument);
  const Extended rho = 1 / ToInternal(*this, kV, EosStateCache[6]);
  if (!TemperatureInRange(*this, T, 1000)) return -999;
  if (!PressureInRange(*this, P)) return -999;

  const Extended pMPa = P / 1000;
  Extended dchi = 0;
  if (T < kTFrozen) {
    dchi = kPcMPa * rho / (kRhoC * kRhoC * TCrit) * (T * Chi(pMPa, T) - kTRef * Chi(pMPa, kTRef) * kTRef / T);
  } else {
    dchi = kPcMPa * rho / (kRhoC * kRhoC) * (Chi(pMPa, kTFrozen) - Chi(pMPa, kTRef) * kTRef / kTFrozen);
  }
  if (CalcErrorCode > 0) return -999;
  Extended critical = 0;
  if (dchi > 0) {
    const Extended cp = SpecHeatP(T, P, rho);
    const Extended cv = SpecHeatV(T, rho);
    if (CalcErrorCode > 0) return -999;
    critical = CarbonDioxideCriticalConductivity(dchi, T, rho, cp, cv);
  }
  Extended k = (CarbonDioxideDiluteConductivity(T) + CarbonDioxideExcessConductivity(rho) + critical) / 1000;
  if (CalcErrorCode == 0) PropertyFromInternalUnits(10, k);
  return k;
}

TGeneralEosSubstance* CreateEosCarbonDioxide() {
  auto* o = new TCarbonDioxideEos();
  InitSubstanceBase(*o);
  o->CatalogRow = kCarbonDioxideRow;
  o->PlotTLow = 220;
  o->PlotTHigh = 400;
  o->SigmaTMin = 233.15L;
  o->SigmaTMax = 304.1L;
  o->SigmaCoef = {0.0759675L, -0.0050913L, 0.0039907L};
  o->SigmaExp = {1.25L, 2.25L, 3.25L};
  o->TwoPhaseDewPressure = 0;
  o->GasConstant = 8.3144L;
  o->TCrit = 304.128L;
  o->PCrit = 7377.3L;
  o->VCrit = 0.00213857998289136014L;
  o->MolarMassValue = 44.01L;
  o->TMin = 216.591L;
  o->TMax = 1100;
  o->PMax = 800000;
  InitGeneralEos(*o);
  return o;
}

}  // namespace voq
