#include "properties/psychrometrics.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/ideal_gas.h"
#include "properties/property_units.h"

namespace voq {

namespace {

Extended ToKelvin(Extended T) {
  PropertyToInternalUnits(1, T);
  return T;
}

Extended MolarFactor() { return DocumentSettings.MolarBasis != 0 ? kPsychWaterMolarMass : 1.0L; }

// Second virial coefficient's temperature derivative and third virial
// coefficient of water vapour (Pa^-1 based), T in K.
Extended VirialDB(Extended Tk) { return 2.552597394e-6L * std::exp(1734.29L / Tk) / (Tk * Tk); }
Extended VirialC(Extended Tk) { return 1.04e-15L - 3.35297e-18L * std::exp(3645.09L / Tk); }

}  // namespace

Extended PsychDryAirEnthalpy(Extended T) {
  const bool absolute = DocumentSettings.AbsoluteTemperature != 0;
  Extended Tk;
  Extended ha;
  if (DocumentSettings.UnitSystem == 0) {
    Tk = absolute ? T : T + 273.15L;
  } else {
    Tk = absolute ? T / 1.8L : (T + 459.67L) / 1.8L;
  }
  // At 0 K the correlation divides by zero: refuse it with the negatives.
  if (Tk <= 0) {
    SetCalcError(kMsgPropertyNoConvergence);
    return ErrorResultValue;
  }
  if (DocumentSettings.UnitSystem == 0) {
    ha = AirRawEnthalpy(Tk) - AirRawEnthalpy(273.15L);
    if (DocumentSettings.EnergyUnit == 0) ha *= 1000;
  } else {
    ha = (AirRawEnthalpy(Tk) - AirRawEnthalpy(255.37222222222222222L)) * 0.42992L;
  }
  return ha;
}

Extended PsychWaterEnthalpy(Extended T) {
  const Extended Tk = ToKelvin(T);
  const Extended t = Tk - 273.15L;
  Extended h = Tk <= 273.15L ? 2.069L * t - 333.38L : 4.186897L * t;
  h *= MolarFactor();
  PropertyFromInternalUnits(3, h);
  return h;
}

Extended PsychSatPressure(Extended Tk) {
  if (Tk >= 273.15L) {
    // Wagner and Pruss, the IAPWS saturation-pressure equation (1993).
    Extended theta = Tk / 647.096L;
    if (theta > 0.9999L) theta = 0.9999L;
    const Extended tau = 1 - theta;
    const Extended sum = -7.85951783L * tau + 1.84408259L * std::pow(tau, 1.5L) - 11.7866497L * tau * tau * tau +
                         22.6807411L * std::pow(tau, 3.5L) - 15.9618719L * std::pow(tau, 4.0L) +
                         1.80122502L * std::pow(tau, 7.5L);
    return 22064.0L * std::exp(sum / theta);
  }
  // Over ice: Hyland and Wexler (1983), in Pa, here divided to kPa by
  // folding ln(1000) into the constant. The published coefficient of T^4 is
  // -9.484024e-13.
  const Extended lnP = -5674.5359L / Tk - 0.51523057L - 0.009677843L * Tk + 6.2215701e-7L * Tk * Tk +
                       2.0747825e-9L * Tk * Tk * Tk - 9.484024e-13L * Tk * Tk * Tk * Tk + 4.1635019L * SafeLn(Tk);
  return std::exp(lnP);
}

Extended PsychSatTemperature(Extended x0, Extended pv) {
  Extended f0 = PsychSatPressure(x0) - pv;
  Extended x1 = x0 - 2;
  Extended x = x1;
  for (int pass = 1; pass <= 26 && CalcErrorCode == 0; ++pass) {
    const Extended f1 = PsychSatPressure(x1) - pv;
    const Extended d = f1 - f0;
    if (d == 0) break;
    x = x1 - f1 * (x1 - x0) / d;
    if (std::fabs(f1) < 1e-7L) return x;
    x0 = x1;
    x1 = x;
    f0 = f1;
  }
  // The liquid and ice equations meet at the triple point with slightly
  // different values, so the secant may hop between them there.
  if (std::fabs(x0 - x1) < 1e-4L && std::fabs(x0 - 273.15L) < 1) return (x0 + x1) / 2;
  if (CalcErrorCode == 0) SetCalcError(kMsgPropertyNoConvergence);
  return x;
}

Extended PsychTemperatureFromHumidity(Extended W, Extended R, Extended P) {
  // R = 0 leaves the temperature undetermined.
  if (R <= 0) {
    if (CalcErrorCode == 0) SetCalcError(kMsgPropertyNoConvergence);
    return 0;
  }
  Extended ps = W * P / R / (kPsychMassRatio + W);
  PropertyToInternalUnits(2, ps);
  Extended T = PsychSatTemperature(300, ps);
  if (CalcErrorCode != 0) return 0;
  PropertyFromInternalUnits(1, T);
  return T;
}

Extended PsychVaporEnthalpy(Extended T, Extended& ps) {
  if (CalcErrorCode != 0) return 1;
  const Extended Tk = ToKelvin(T);
  Extended psk = PsychSatPressure(Tk);
  const Extended p = 1000 * psk;
  // Hyland and Wexler's ideal-gas enthalpy of water vapour with second and
  // third virial corrections, kJ/kg.
  const Extended T2 = Tk * Tk;
  const Extended h0 = 1997.98L + 1.8035706L * Tk + 3.6400463e-4L * T2 - 1.4677622e-6L * T2 * Tk +
                      2.8726608e-9L * T2 * T2 - 1.7508262e-12L * T2 * T2 * Tk;
  Extended hg = h0 - 0.46152L * T2 * VirialDB(Tk) * p + 0.5L * VirialC(Tk) * p * p;
  hg *= MolarFactor();
  PropertyFromInternalUnits(3, hg);
  PropertyFromInternalUnits(2, psk);
  ps = psk;
  return hg;
}

Extended PsychVaporEntropy(Extended pv, Extended T) {
  const Extended Tk = ToKelvin(T);
  PropertyToInternalUnits(2, pv);
  const Extended p = 1000 * pv;
  const Extended T2 = Tk * Tk;
  const Extended s0 = 1.92703L + 1.7920705L * SafeLn(Tk) + 0.0010959485L * Tk - 3.892708e-6L * T2 +
                      8.2520238e-9L * T2 * Tk - 8.0622878e-12L * T2 * T2 + 3.0897984e-15L * T2 * T2 * Tk;
  const Extended B = 7e-9L - 1.47184e-9L * std::exp(1734.29L / Tk);
  const Extended C = VirialC(Tk);
  Extended sv = s0 - 0.46152L * SafeLn(p) - 0.46152L * p * (B + Tk * VirialDB(Tk)) - 0.23076L * p * p * (C + Tk * C);
  sv *= MolarFactor();
  PropertyFromInternalUnits(5, sv);
  return sv;
}

Extended PsychSatHumRat(Extended P, Extended T) {
  Extended ps = 0;
  PsychVaporEnthalpy(T, ps);
  return kPsychMassRatio * ps / (P - ps);
}

Extended PsychWetBulbHumRat(Extended P, Extended B, Extended T) {
  Extended psB = 0;
  Extended unused = 0;
  const Extended hgB = PsychVaporEnthalpy(B, psB);
  const Extended wsB = kPsychMassRatio * psB / (P - psB);
  const Extended hgT = PsychVaporEnthalpy(T, unused);
  const Extended hwB = PsychWaterEnthalpy(B);
  return (PsychDryAirEnthalpy(B) - PsychDryAirEnthalpy(T) + wsB * (hgB - hwB)) / (hgT - hwB);
}

}  // namespace voq
