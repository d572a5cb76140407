// Transport properties of the high-accuracy fluids: the shared state step
// and the general family's correlations (dilute-gas and liquid fits in the
// temperature, with the Stiel-Thodos dense-gas corrections on the gas side).
#include <array>
#include <cmath>
#include <initializer_list>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/stiel_thodos.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kU = 4, kV = 6;
constexpr int32_t kTransportHelp = 144;
constexpr int32_t kHeliumRow = 33;

// Helium's liquid conductivity, W/m-K, at 2.2, 2.3, ..., 5.1 K.
constexpr std::array<Extended, 30> kHeliumLiquidConductivity{
    0.0148L, 0.0155L, 0.016L,  0.0165L, 0.0168L, 0.0171L, 0.0174L, 0.0176L, 0.0178L, 0.018L,
    0.0182L, 0.0184L, 0.0186L, 0.0188L, 0.019L,  0.0191L, 0.0192L, 0.0194L, 0.0195L, 0.0196L,
    0.0196L, 0.0197L, 0.0197L, 0.0199L, 0.02L,   0.0202L, 0.0205L, 0.021L,  0.0222L, 0.0263L};

bool TwoPhase(Extended x) { return x > 0.001L && x < 0.999L; }

void TwoPhaseError(const std::string& name, Extended x) {
  SetMessageArg(1, name);
  SetMessageArg(2, FormatValue(TDisplayFormat{kStyleAutomatic, 4}, x));
  CalcErrorCode = kMsgTwoPhaseUndetermined;
}

// Error 137 with the correlation's range; false when T is outside it.
bool InRange(const TGeneralEosSubstance& o, Extended T, Extended lo, Extended hi) {
  if (T >= lo && T <= hi) return true;
  const TDisplayFormat f{kStyleAutomatic, 3};
  if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
  SetMessageArg(1, FormatValue(f, lo) + " < T [K] < " + FormatValue(f, hi));
  SetMessageArg(2, FormatValue(f, T) + " K");
  SetMessageArg(3, "");
  CalcErrorCode = kMsgTemperatureRange;
  return false;
}

// The dilute-gas viscosity by the tens digit of ViscForm: form 1
// 1e-12 sqrt(T)/(a0 + a1/T + a2/T^2), form 2 1e-12 (a0 + a1 T + a2 T^2 +
// a3 T^3), form 5 (where allowed) a0 + a1 sqrt(T) + a2 T + a3 T^1.5; any
// other form 1.
Extended DiluteViscosity(const TGeneralEosSubstance& o, const TTransportConstantsA& c, Extended T, bool form5) {
  if (c.ViscDiluteTMin < 0) {
    SetCalcError(kMsgSubstanceDataUnavailable, "Viscosity");
    return 1;
  }
  if (!InRange(o, T, c.ViscDiluteTMin, c.ViscDiluteTMax)) return 1;
  const auto& k = c.ViscDiluteCoef;
  switch (static_cast<int32_t>(std::lround(c.ViscForm / 10))) {
    case 1: return 1e-12L * std::sqrt(T) / (k[0] + k[1] / T + k[2] / (T * T));
    case 2: return 1e-12L * (k[0] + T * (k[1] + T * (k[2] + T * k[3])));
    case 5: return form5 ? k[0] + k[1] * std::sqrt(T) + k[2] * T + k[3] * T * std::sqrt(T) : 1;
    default: return 1;
  }
}

// The dilute-gas conductivity: form 1 sqrt(T)/(c0 + c1/T + c2/T^2), form 2
// c0 + c1 T + c2 T^2 + c3 T^3, other forms 1; noData is the error without
// data.
Extended DiluteConductivity(const TGeneralEosSubstance& o, const TTransportConstantsA& c, Extended T,
                            int32_t noData) {
  if (c.CondDiluteTMin < 0) {
    SetCalcError(noData, "Conductivity");
    return 1;
  }
  if (!InRange(o, T, c.CondDiluteTMin, c.CondDiluteTMax)) return 1;
  const auto& k = c.CondDiluteCoef;
  switch (static_cast<int32_t>(std::lround(c.CondDiluteForm))) {
    case 1: return std::sqrt(T) / (k[0] + k[1] / T + k[2] / (T * T));
    case 2: return k[0] + T * (k[1] + T * (k[2] + T * k[3]));
    default: return 1;
  }
}

}  // namespace

bool TransportState(TGeneralEosSubstance& o, const std::string& property, TPropertyArgumentRecord& a,
                    TTransportStatePoint& point) {
  if (o.SuppressWarnings != 0) return false;
  const int32_t wanted = (o.ArgKind[1] == kU || o.ArgKind[2] == kU) ? 3 : kU;
  SolveEosState(o, o.ArgCount, wanted, o.ArgKind[1], o.ArgKind[2], a.Value[1], a.Value[2]);
  if (CalcErrorCode > 0) return false;
  const Extended x = EosStateCache[7];
  if (TwoPhase(x)) {
    TwoPhaseError(property, x);
    return false;
  }
  point.T = EosStateCache[1];
  PropertyToInternalUnits(kT, point.T);
  Extended v = EosStateCache[6];
  PropertyToInternalUnits(kV, v);
  if (DocumentSettings.MolarBasis != 0) v /= o.MolarMassValue;
  point.rho = 1 / v;
  point.P = EosStateCache[2];
  PropertyToInternalUnits(kP, point.P);
  point.x = x;
  return true;
}

// The family slot pattern: solve, refuse two-phase states, hand T (K), v
// (m3/kg) and x to the correlation.
bool FamilySlotState(TGeneralEosSubstance& o, const char* property, TPropertyArgumentRecord& a,
                     TTransportStatePoint& point) {
  if (o.SuppressWarnings != 0) return false;
  if (!TransportState(o, property, a, point)) {
    if (CalcErrorCode == kMsgTwoPhaseUndetermined) MessageHelpContext = kTransportHelp;
    return false;
  }
  return true;
}

Extended TGeneralEosFamilyA::Viscosity(TPropertyArgumentRecord& a) {
  return FamilySlot(*this, "Viscosity", a,
                    [this](Extended T, Extended v, Extended x) { return ViscosityCorrelationA(T, v, x); });
}
Extended TGeneralEosFamilyA::Conductivity(TPropertyArgumentRecord& a) {
  return FamilySlot(*this, "Conductivity", a,
                    [this](Extended T, Extended v, Extended x) { return ConductivityCorrelationA(T, v, x); });
}

Extended TGeneralEosFamilyA::DiluteViscosityA(Extended T) { return DiluteViscosity(*this, Transport, T, true); }

Extended TGeneralEosFamilyA::LiquidViscosityA(Extended T) {
  const TTransportConstantsA& c = Transport;
  if (c.ViscLiquidTMin < 0) {
    SetCalcError(kMsgSubstanceDataUnavailable, "Viscosity");
    return 1;
  }
  if (!InRange(*this, T, c.ViscLiquidTMin, c.ViscLiquidTMax)) return 1;
  const auto& k = c.ViscLiquidCoef;
  const Extended tens = std::round(c.ViscForm / 10);
  const int32_t units = static_cast<int32_t>(std::lround(c.ViscForm - 10 * tens));
  if (units == 2) return 1e-6L * (k[0] + k[1] / T + k[2] / (T * T) + k[3] / (T * T * T));
  return 1e-6L * (k[0] + T * (k[1] + T * (k[2] + T * k[3])));
}

Extended TGeneralEosFamilyA::DiluteConductivityA(Extended T) {
  return DiluteConductivity(*this, Transport, T, kMsgDataNotAvailableAtState);
}

Extended TGeneralEosFamilyA::LiquidConductivityA(Extended T) {
  const TTransportConstantsA& c = Transport;
  if (c.CondLiquidTMin < 0) {
    SetCalcError(kMsgSubstanceDataUnavailable, "Conductivity");
    return 1;
  }
  if (!InRange(*this, T, c.CondLiquidTMin, c.CondLiquidTMax)) return 1;
  if (CatalogRow == kHeliumRow) {
    // Linear in the 0.1 K table; its last entry beyond 5.1 K.
    const Extended steps = (T - 2.2L) * 10;
    const int32_t i = steps < 0 ? 1 : static_cast<int32_t>(std::trunc(steps)) + 1;
    if (i >= 30) return kHeliumLiquidConductivity[29];
    const Extended Ti = 2.2L + 0.1L * (i - 1);
    const Extended ki = kHeliumLiquidConductivity[static_cast<size_t>(i - 1)];
    const Extended kNext = kHeliumLiquidConductivity[static_cast<size_t>(i)];
    return ki + (kNext - ki) * (T - Ti) / 0.1L;
  }
  const auto& k = c.CondLiquidCoef;
  return k[0] + T * (k[1] + T * (k[2] + T * k[3]));
}

// Gas side: mu = mu0 + F(rhor)/xi in micropoise (Stiel and Thodos), with
// xi = TCrit^(1/6)/(sqrt(M) (PCrit/100)^(2/3)), PCrit in bar.
Extended DenseGasViscosity(const TGeneralEosSubstance& o, Extended dilute, Extended v) {
  Extended mu = dilute * 1e7L;
  const Extended rhor = o.VCrit / v;
  const Extended xi = std::pow(o.TCrit, 1.0L / 6) / (std::sqrt(o.MolarMassValue) * std::pow(o.PCrit / 100, 2.0L / 3));
  if (rhor <= 0.1L) {
    mu += 1.656L * std::pow(rhor, 1.111L) / xi;
  } else if (rhor <= 0.9L) {
    mu += 0.0607L * std::pow(9.045L * rhor + 0.63L, 1.739L) / xi;
  } else if (rhor <= 2.2L) {
    mu += StielThodosDenseD(rhor) / xi;
  } else if (rhor < 2.6L) {
    mu += StielThodosDenseDPrime(rhor) / xi;
  } else if (rhor > 2.6L) {
    SetMessageArg(1, "reduced density < 2.6");
    if (o.HelpContext >= 1) MessageHelpContext = o.HelpContext;
    CalcErrorCode = kMsgPressureRange;
  }
  return mu / 1e7L;
}

// Gas side: k = k0 + (k - k0) of Stiel and Thodos over J =
// TCrit^(1/6) Zc^5 sqrt(M)/(PCrit/100)^(2/3).
Extended DenseGasConductivity(TGeneralEosSubstance& o, Extended dilute, Extended v) {
  const Extended rhor = o.VCrit / v;
  const Extended zc = o.PCrit * o.VCrit / (o.R() * o.TCrit);
  const Extended zc5 = zc * zc * zc * zc * zc;
  const Extended J = std::pow(o.TCrit, 1.0L / 6) * zc5 * std::sqrt(o.MolarMassValue) / std::pow(o.PCrit / 100, 2.0L / 3);
  if (rhor <= 0.5L) return dilute + 5.8576e-5L * (std::exp(0.535L * rhor) - 1) / J;
  if (rhor <= 2.0L) return dilute + 5.48104e-5L * (std::exp(0.67L * rhor) - 1.069L) / J;
  if (rhor <= 2.8L) return dilute + 1.2451584e-5L * (std::exp(1.155L * rhor) + 2.016L) / J;
  CalcErrorCode = kMsgConductivityPressureRange;
  return -1;
}

Extended TGeneralEosFamilyA::ViscosityCorrelationA(Extended T, Extended v, Extended x) {
  Extended mu = x < 0.99L ? LiquidViscosityA(T) : DenseGasViscosity(*this, DiluteViscosityA(T), v);
  PropertyFromInternalUnits(9, mu);
  return mu;
}

Extended TGeneralEosFamilyA::ConductivityCorrelationA(Extended T, Extended v, Extended x) {
  Extended k = 0;
  if (x < 0.99L) {
    k = LiquidConductivityA(T);
  } else {
    k = DenseGasConductivity(*this, DiluteConductivityA(T), v);
    if (k == -1 && CalcErrorCode == kMsgConductivityPressureRange) return -1;
  }
  PropertyFromInternalUnits(10, k);
  return k;
}

// ---- The refrigerant family -------------------------------------------

Extended TGeneralEosFamilyB::Viscosity(TPropertyArgumentRecord& a) {
  return FamilySlot(*this, "Viscosity", a,
                    [this](Extended T, Extended v, Extended x) { return ViscosityCorrelationB(T, v, x); });
}
Extended TGeneralEosFamilyB::Conductivity(TPropertyArgumentRecord& a) {
  return FamilySlot(*this, "Conductivity", a,
                    [this](Extended T, Extended v, Extended x) { return ConductivityCorrelationB(T, v, x); });
}

Extended TGeneralEosFamilyB::DiluteViscosityB(Extended T) { return DiluteViscosity(*this, Transport, T, false); }

Extended TGeneralEosFamilyB::DiluteConductivityB(Extended T) {
  return DiluteConductivity(*this, Transport, T, kMsgSubstanceDataUnavailable);
}

namespace {

// y = V0/V: the core volume V0 = (e0 + e1 Tr + e2 Tr^2) 1e-6 m3/mol over the
// molar volume V = v M/1000 m3/mol.
struct THardSphereVolume {
  Extended V = 0, y = 0;
};

THardSphereVolume HardSphereVolume(const TGeneralEosFamilyB& o, Extended T, Extended v) {
  const Extended Tr = T / o.TCrit;
  const auto& e = o.CoreVolumeCoef;
  const Extended V0 = (e[0] + Tr * (e[1] + Tr * e[2])) * 1e-6L;
  const Extended V = v * o.MolarMassValue / 1000;
  return {V, V0 / V};
}

Extended Polynomial(std::initializer_list<Extended> coef, Extended y) {
  Extended sum = 0, power = 1;
  for (const Extended c : coef) {
    sum += c * power;
    power *= y;
  }
  return sum;
}

}  // namespace

// Assael and Dymond's universal curve for the reduced viscosity of dense
// fluids, eta* = 6.035e8 eta V^(2/3)/sqrt(M R T) = 10^S(y).
Extended TGeneralEosFamilyB::HardSphereViscosity(Extended T, Extended v) {
  const THardSphereVolume hs = HardSphereVolume(*this, T, v);
  const Extended S = Polynomial(
      {1.0945L, -9.26324L, 71.0385L, -301.9012L, 797.69L, -1221.977L, 987.5574L, -319.4636L}, hs.y);
  return std::pow(10.0L, S) / (6.035e8L * std::cbrt(hs.V * hs.V)) *
         std::sqrt(MolarMassValue / 1000 * GasConstant * T);
}

// The same for the conductivity, lambda* = 1.936e7 lambda V^(2/3)
// sqrt(M/(R T))/R_lambda = 10^S(y), with the fluid's roughness factor
// R_lambda = g0 + g1 (Tr - 1).
Extended TGeneralEosFamilyB::HardSphereConductivity(Extended T, Extended v) {
  if (CondRoughnessCoef[0] == -999) {
    SetCalcError(kMsgDataNotAvailableAtState, "Conductivity");
    return 1;
  }
  const THardSphereVolume hs = HardSphereVolume(*this, T, v);
  const Extended S = Polynomial({1.0655L, -3.538L, 12.12L, -12.469L, 4.562L, 0}, hs.y);
  const Extended roughness = CondRoughnessCoef[0] + CondRoughnessCoef[1] * (T / TCrit - 1);
  return roughness * std::pow(10.0L, S) / (1.936e7L * std::cbrt(hs.V * hs.V)) *
         std::sqrt(1000 * GasConstant * T / MolarMassValue);
}

// The hard-sphere curves hold for dense fluid (V below about 5 V0); at the
// density of a saturated vapour they fall to a third of the viscosity and
// an eighth of the conductivity measured there. So the liquid side (x below
// 0.99, as in the general family) takes them, and saturated vapour joins
// the gas side with the dilute value and its density correction.
Extended TGeneralEosFamilyB::ViscosityCorrelationB(Extended T, Extended v, Extended x) {
  Extended mu = x < 0.99L ? HardSphereViscosity(T, v) : DenseGasViscosity(*this, DiluteViscosityB(T), v);
  PropertyFromInternalUnits(9, mu);
  return mu;
}

Extended TGeneralEosFamilyB::ConductivityCorrelationB(Extended T, Extended v, Extended x) {
  Extended k = 0;
  if (x < 0.99L) {
    k = HardSphereConductivity(T, v);
  } else {
    k = DenseGasConductivity(*this, DiluteConductivityB(T), v);
    if (k == -1 && CalcErrorCode == kMsgConductivityPressureRange) return -1;
  }
  PropertyFromInternalUnits(10, k);
  return k;
}

}  // namespace voq
