// Transport properties of the high-accuracy fluids: the shared state step
// and the general family's correlations (dilute-gas and liquid fits in the
// temperature, with the Stiel-Thodos dense-gas corrections on the gas side).
#include <cmath>
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
Extended TGeneralEosFamilyA::FamilySlot(TPropertyArgumentRecord& a, const char* property, bool viscosity) {
  const Extended result = -999;
  if (SuppressWarnings != 0) return result;
  TTransportStatePoint point;
  if (!TransportState(*this, property, a, point)) {
    if (CalcErrorCode == kMsgTwoPhaseUndetermined) MessageHelpContext = kTransportHelp;
    return result;
  }
  const Extended v = 1 / point.rho;
  return viscosity ? ViscosityCorrelationA(point.T, v, point.x) : ConductivityCorrelationA(point.T, v, point.x);
}

Extended TGeneralEosFamilyA::Viscosity(TPropertyArgumentRecord& a) { return FamilySlot(a, "Viscosity", true); }
Extended TGeneralEosFamilyA::Conductivity(TPropertyArgumentRecord& a) {
  return FamilySlot(a, "Conductivity", false);
}

Extended TGeneralEosFamilyA::DiluteViscosityA(Extended T) {
  const TTransportConstantsA& c = Transport;
  if (c.ViscDiluteTMin < 0) {
    SetCalcError(kMsgSubstanceDataUnavailable, "Viscosity");
    return 1;
  }
  if (!InRange(*this, T, c.ViscDiluteTMin, c.ViscDiluteTMax)) return 1;
  const auto& k = c.ViscDiluteCoef;
  switch (static_cast<int32_t>(std::lround(c.ViscForm / 10))) {
    case 1: return 1e-12L * std::sqrt(T) / (k[0] + k[1] / T + k[2] / (T * T));
    case 2: return 1e-12L * (k[0] + T * (k[1] + T * (k[2] + T * k[3])));
    case 5: return k[0] + k[1] * std::sqrt(T) + k[2] * T + k[3] * T * std::sqrt(T);
    default: return 1;
  }
}

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
  const TTransportConstantsA& c = Transport;
  if (c.CondDiluteTMin < 0) {
    SetCalcError(kMsgDataNotAvailableAtState, "Conductivity");
    return 1;
  }
  if (!InRange(*this, T, c.CondDiluteTMin, c.CondDiluteTMax)) return 1;
  const auto& k = c.CondDiluteCoef;
  switch (static_cast<int32_t>(std::lround(c.CondDiluteForm))) {
    case 1: return std::sqrt(T) / (k[0] + k[1] / T + k[2] / (T * T));
    case 2: return k[0] + T * (k[1] + T * (k[2] + T * k[3]));
    default: return 1;
  }
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
Extended TGeneralEosFamilyA::ViscosityCorrelationA(Extended T, Extended v, Extended x) {
  Extended mu = 0;
  if (x < 0.99L) {
    mu = LiquidViscosityA(T);
  } else {
    mu = DiluteViscosityA(T) * 1e7L;
    const Extended rhor = VCrit / v;
    const Extended xi = std::pow(TCrit, 1.0L / 6) / (std::sqrt(MolarMassValue) * std::pow(PCrit / 100, 2.0L / 3));
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
      if (HelpContext >= 1) MessageHelpContext = HelpContext;
      CalcErrorCode = kMsgPressureRange;
    }
    mu /= 1e7L;
  }
  PropertyFromInternalUnits(9, mu);
  return mu;
}

// Gas side: k = k0 + (k - k0) of Stiel and Thodos over J =
// TCrit^(1/6) Zc^5 sqrt(M)/(PCrit/100)^(2/3).
Extended TGeneralEosFamilyA::ConductivityCorrelationA(Extended T, Extended v, Extended x) {
  Extended k = 0;
  if (x < 0.99L) {
    k = LiquidConductivityA(T);
  } else {
    k = DiluteConductivityA(T);
    const Extended rhor = VCrit / v;
    const Extended zc = PCrit * VCrit / (R() * TCrit);
    const Extended zc5 = zc * zc * zc * zc * zc;
    const Extended J = std::pow(TCrit, 1.0L / 6) * zc5 * std::sqrt(MolarMassValue) / std::pow(PCrit / 100, 2.0L / 3);
    if (rhor <= 0.5L) {
      k += 5.8576e-5L * (std::exp(0.535L * rhor) - 1) / J;
    } else if (rhor <= 2.0L) {
      k += 5.48104e-5L * (std::exp(0.67L * rhor) - 1.069L) / J;
    } else if (rhor <= 2.8L) {
      k += 1.2451584e-5L * (std::exp(1.155L * rhor) + 2.016L) / J;
    } else {
      CalcErrorCode = kMsgConductivityPressureRange;
      return -1;
    }
  }
  PropertyFromInternalUnits(10, k);
  return k;
}

}  // namespace voq
