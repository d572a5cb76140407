// Viscosity, thermal conductivity, Prandtl number and surface tension of
// the Martin-Hou substances.
//
// Ordinary fluids: dilute-gas correlations in T with the Stiel-Thodos
// dense-gas corrections in reduced density for vapour and supercritical
// states, a liquid correlation in T below the saturation line. Built-in
// blends: one correlation in T and density. Surface tension:
// sigma = Sigma0 (1 - T/Tc)^n.
#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_solver.h"
#include "properties/martin_hou_substance.h"
#include "properties/property_units.h"
#include "properties/stiel_thodos.h"

namespace voq {

namespace {

constexpr int32_t kViscosityHelp = 144;

std::string Format3(Extended x) { return FormatValue(TDisplayFormat{kStyleAutomatic, 3}, x); }

struct Correlation {
  const MartinHouCoefRecord& Record;
  int Block;  // first field of the block
  bool Gas;
  int32_t Help;
  int32_t FluidNumber;
  const char* Name;
};

// A correlation with a temperature range, T in K; 1.0 after an error.
Extended Correlate(const Correlation& c, Extended T, bool viscosity) {
  const MartinHouCoefRecord& r = c.Record;
  const int first = c.Gas ? c.Block + 1 : c.Block + 7;
  const Extended tMin = r[first];
  const Extended tMax = r[first + 1];
  auto unavailable = [&]() {
    SetMessageArg(1, c.Name);
    MessageHelpContext = c.Help;
    CalcErrorCode = kMsgSubstanceDataUnavailable;
    return 1.0L;
  };
  if (c.Gas && tMin < 0) return unavailable();
  if (T < tMin || T > tMax) {
    if (tMin < 0) return unavailable();
    SetMessageArg(1, Format3(tMin) + " < T [K] < " + Format3(tMax));
    SetMessageArg(2, Format3(T) + " K");
    SetMessageArg(3, "");
    MessageHelpContext = c.Help;
    CalcErrorCode = kMsgTemperatureRange;
    return 1.0L;
  }
  const Extended a1 = r[first + 2], a2 = r[first + 3], a3 = r[first + 4], a4 = r[first + 5];
  if (!c.Gas) {
    const Extended t = c.FluidNumber == 25 ? T - 273.15L : T;
    const Extended value = a1 + t * (a2 + t * (a3 + t * a4));
    return viscosity ? value * 1e-6L : value;
  }
  const int form = static_cast<int>(std::lround(static_cast<double>(r[c.Block])));
  const Extended t = form == 3 ? T - 273.15L : T;
  switch (form) {
    case 1: {
      const Extended value = SafeSqrt(T) / (a1 + a2 / T + a3 / (T * T));
      return viscosity ? value * 1e-12L : value;
    }
    case 2:
    case 3: {
      const Extended value = a1 + t * (a2 + t * (a3 + t * a4));
      return viscosity ? value * 1e-12L : value;
    }
    default:
      return 1.0L;
  }
}

}  // namespace

// mu = mu0 + F(rhor)/xi (units of 1e-7 Pa s) on the gas side, the liquid
// correlation below the saturation line. T R, P and Psat psia, v ft3/lbm.
Extended MartinHouDenseViscosity(const TMartinHouSubstance& object, Extended T, Extended P, Extended Psat,
                                 Extended v) {
  const MartinHouCoefRecord& r = *object.Coefficients;
  const Correlation gas{r, kMhViscosityBlock, true, object.HelpContext, object.FluidNumber, "Viscosity"};
  const Correlation liquid{r, kMhViscosityBlock, false, object.HelpContext, object.FluidNumber, "Viscosity"};
  Extended mu = 0;
  if (Psat >= 0 && Psat <= P) {
    mu = Correlate(liquid, T / 1.8L, true);
  } else {
    const Extended mu0 = Correlate(gas, T / 1.8L, true) * 1e7L;
    const Extended rhor = r[kMhVc] / v;
    const Extended xi =
        PowerReal(r[kMhTc] / 1.8L, 1.0L / 6) / (SafeSqrt(object.MolarMassValue) * PowerReal(r[kMhPc] / 14.697L, 2.0L / 3));
    if (rhor <= 0.1L) {
      mu = mu0 + 1.656L * PowerReal(rhor, 1.111L) / xi;
    } else if (rhor <= 0.9L) {
      mu = mu0 + 0.0607L * PowerReal(9.045L * rhor + 0.63L, 1.739L) / xi;
    } else if (rhor <= 2.2L) {
      mu = mu0 + StielThodosDenseD(rhor) / xi;
    } else if (rhor < 2.6L) {
      mu = mu0 + StielThodosDenseDPrime(rhor) / xi;
    } else {
      if (rhor > 2.6L) {
        SetMessageArg(1, "reduced density < 2.6");
        MessageHelpContext = object.HelpContext;
        CalcErrorCode = kMsgPressureRange;
      }
      mu = mu0;
    }
    mu /= 1e7L;
  }
  ConvertPropertyResult(9, mu, object.MolarMassValue);
  return mu;
}

// k = k0 + F(rhor)/G on the gas side, the liquid correlation below the
// saturation line (W/(m K)).
Extended MartinHouDenseConductivity(const TMartinHouSubstance& object, Extended T, Extended P, Extended Psat,
                                    Extended v) {
  const MartinHouCoefRecord& r = *object.Coefficients;
  const Correlation gas{r, kMhConductivityBlock, true, object.HelpContext, object.FluidNumber, "Conductivity"};
  const Correlation liquid{r, kMhConductivityBlock, false, object.HelpContext, object.FluidNumber, "Conductivity"};
  Extended k = 0;
  if (Psat >= 0 && Psat < P) {
    k = Correlate(liquid, T / 1.8L, false);
  } else {
    const Extended k0 = Correlate(gas, T / 1.8L, false);
    const Extended rhor = r[kMhVc] / v;
    const Extended zc = r[kMhPc] * r[kMhVc] / (r[kMhR] * r[kMhTc]);
    const Extended G = SafeSqrt(object.MolarMassValue) * IntPower(5, zc) * PowerReal(r[kMhTc] / 1.8L, 1.0L / 6) /
                       PowerReal(r[kMhPc] / 14.697L, 2.0L / 3);
    if (rhor <= 0.5L) {
      k = k0 + 5.8576e-05L * (std::exp(0.535L * rhor) - 1) / G;
    } else if (rhor <= 2.0L) {
      k = k0 + 5.48104e-05L * (std::exp(0.67L * rhor) - 1.069L) / G;
    } else if (rhor <= 2.8L) {
      k = k0 + 1.2451584e-05L * (std::exp(1.155L * rhor) + 2.016L) / G;
    } else {
      MessageHelpContext = object.HelpContext;
      CalcErrorCode = kMsgConductivityPressureRange;
      return ErrorResultValue;
    }
  }
  ConvertPropertyResult(10, k, object.MolarMassValue);
  return k;
}

Extended TMartinHouSubstance::Viscosity(TPropertyArgumentRecord& a) { return TransportValue(true, a); }

Extended TMartinHouSubstance::Conductivity(TPropertyArgumentRecord& a) { return TransportValue(false, a); }

Extended TMartinHouSubstance::TransportValue(bool viscosity, TPropertyArgumentRecord& a) {
  MakeCurrent();
  if (SuppressWarnings != 0 || Coefficients == nullptr) return ErrorResultValue;
  const int32_t kind = (ArgKind[1] == 4 || ArgKind[2] == 4) ? 3 : 4;
  Solve(false, kind, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  if (CalcErrorCode > 0) return ErrorResultValue;
  const Extended x = PropertyStateVector[7];
  if (x > 0.001L && x < 0.999L) {
    DefaultDisplayFormat = TDisplayFormat{kStyleAutomatic, 4};
    SetMessageArg(1, viscosity ? "Viscosity" : "Conductivity");
    SetMessageArg(2, FormatValue(DefaultDisplayFormat, x));
    if (viscosity) MessageHelpContext = kViscosityHelp;
    CalcErrorCode = kMsgTwoPhaseUndetermined;
    return ErrorResultValue;
  }
  Extended T = PropertyStateVector[1];
  Extended P = PropertyStateVector[2];
  Extended v = PropertyStateVector[6];
  // A saturated state lands on its own side of the saturation line.
  if (x <= 0.001L) P += 0.001L;
  if (x >= 0.999L) P -= 0.001L;
  ConvertPropertyArgument(1, T, MolarMassValue);
  ConvertPropertyArgument(2, P, MolarMassValue);
  ConvertPropertyArgument(6, v, MolarMassValue);
  {
    // The transport path leaves the solver's cache invalid, so the next
    // state call solves afresh.
    const std::array<int32_t, 4> kinds = ArgKind;
    const TPropertyArgumentRecord values = a;
    SolveMartinHouState(SubstanceCode, false, IsBlend != 0, MolarMassValue, PlotPHigh, ArgCount, viscosity ? 9 : 10, 1,
                        2, T, P);
    ArgKind = kinds;
    a = values;
  }
  const Extended Psat = T < (*Coefficients)[kMhTc] ? MartinHouSatPressure(T) : -1;
  if (IsBlend != 0 && T < (*Coefficients)[kMhTc] && MartinHouDewPressure(T) < P && P < Psat) {
    MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgTransportTwoPhase;
    return ErrorResultValue;
  }
  return viscosity ? MartinHouDenseViscosity(*this, T, P, Psat, v) : MartinHouDenseConductivity(*this, T, P, Psat, v);
}

Extended TMartinHouBlendSubstance::TransportValue(bool viscosity, TPropertyArgumentRecord& a) {
  MakeCurrent();
  if (SuppressWarnings != 0 || Coefficients == nullptr) return ErrorResultValue;
  const int32_t kind = (ArgKind[1] == 4 || ArgKind[2] == 4) ? 3 : 4;
  Solve(false, kind, ArgKind[1], ArgKind[2], a.Value[1], a.Value[2]);
  if (CalcErrorCode > 0) return ErrorResultValue;
  const Extended x = PropertyStateVector[7];
  if (x > 0.001L && x < 0.999L) {
    DefaultDisplayFormat = TDisplayFormat{kStyleAutomatic, 4};
    SetMessageArg(1, viscosity ? "Viscosity" : "Conductivity");
    SetMessageArg(2, FormatValue(DefaultDisplayFormat, x));
    MessageHelpContext = kViscosityHelp;
    CalcErrorCode = kMsgTwoPhaseUndetermined;
    return ErrorResultValue;
  }
  Extended T = PropertyStateVector[1];
  PropertyToInternalUnits(1, T);
  Extended rho = 1 / PropertyStateVector[6];
  PropertyToInternalUnits(15, rho);
  if (DocumentSettings.MolarBasis != 0) rho *= MolarMassValue;
  const auto& c = Transport;
  if (viscosity) {
    Extended mu = c[1] + c[2] * T + c[3] * T * T;
    for (int32_t i = 1; i <= 6; ++i) mu += c[static_cast<size_t>(3 + i)] * IntPower(i, rho);
    mu /= 1e6L;
    PropertyFromInternalUnits(9, mu);
    return mu;
  }
  const Extended rhor = rho / c[0];
  Extended k = c[10] + c[11] * T;
  for (int32_t i = 1; i <= 4; ++i) k += c[static_cast<size_t>(11 + i)] * IntPower(i, rhor);
  k /= 1000;
  PropertyFromInternalUnits(10, k);
  return k;
}

Extended TMartinHouSubstance::Prandtl(TPropertyArgumentRecord& a) {
  SetMessageArg(1, "Prandtl");
  if (SuppressWarnings != 0) return ErrorResultValue;
  if (ArgCount != 2) {
    CalcErrorCode = kMsgFunctionNeedsTP;
    return ErrorResultValue;
  }
  const Extended mu = Viscosity(a);
  if (CalcErrorCode > 0) return ErrorResultValue;
  Extended cp = SpecHeat(a);
  if (CalcErrorCode > 0) return ErrorResultValue;
  Extended k = Conductivity(a);
  if (CalcErrorCode > 0) return ErrorResultValue;
  if (DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit != 0) k /= 1000;
  if (DocumentSettings.MolarBasis != 0) cp /= MolarMassValue;
  return mu * cp / k;
}

Extended TMartinHouSubstance::SurfaceTension(TPropertyArgumentRecord& a) {
  if (SigmaTLow < 0) {
    SetMessageArg(1, "Surface tension");
    MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgSubstanceDataUnavailable;
    return ErrorResultValue;
  }
  if (ArgCount != 1 || ArgKind[1] != 1) {
    SetMessageArg(1, "SurfaceTension");
    MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgTemperatureOnlyArgument;
    return ErrorResultValue;
  }
  Extended T = a.Value[1];
  PropertyToInternalUnits(1, T);
  if (T < SigmaTLow || T > SigmaTHigh) {
    SetMessageArg(1, Format3(SigmaTLow) + " K < T < " + Format3(SigmaTHigh) + " K");
    SetMessageArg(2, Format3(T) + " K");
    SetMessageArg(3, "");
    MessageHelpContext = HelpContext;
    CalcErrorCode = kMsgTemperatureRange;
    return ErrorResultValue;
  }
  const Extended Tc = Coefficients != nullptr ? (*Coefficients)[kMhTc] / 1.8L : 0;
  Extended sigma = Sigma0 * PowerReal(1 - T / Tc, SigmaExponent);
  PropertyFromInternalUnits(16, sigma);
  return sigma;
}

}  // namespace voq
