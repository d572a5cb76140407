#pragma once
// The properties of the components of moist air: dry air, liquid water and
// ice, and water vapour with its virial corrections, and the humidity
// ratios that follow from relative humidity, saturation and wet-bulb
// temperature. The moist-air substance and its chart lines combine them.
//
// Temperatures are in the document's units unless K is stated; pressures in
// kPa where stated, otherwise in the document's units. W is kg of water per
// kg of dry air; R is a fraction. On the molar basis the water properties
// are per kmol of water; the dry-air enthalpy stays per kg (callers
// multiply it by the molar mass).
#include "core/extended.h"

namespace voq {

// Molar mass of water over that of dry air.
inline constexpr Extended kPsychMassRatio = 0.62198L;
// Molar mass of water, kg/kmol.
inline constexpr Extended kPsychWaterMolarMass = 18.015268L;

// Dry-air enthalpy in the document's energy unit, zero at 0 C (SI) or 0 F
// (English). Error 210 and -999 below 0 K.
Extended PsychDryAirEnthalpy(Extended T);
// Enthalpy of liquid water (above 273.15 K) or ice (at or below it).
Extended PsychWaterEnthalpy(Extended T);
// Saturation pressure in kPa over liquid water (T >= 273.15 K) or ice, T in K.
Extended PsychSatPressure(Extended Tk);
// Temperature in K at which the saturation pressure is pv (kPa), searched
// from the guess x0 (K). Error 210 when the search fails.
Extended PsychSatTemperature(Extended x0, Extended pv);
// Dry-bulb temperature of moist air of humidity ratio W and relative
// humidity R at pressure P; 0 when the search fails.
Extended PsychTemperatureFromHumidity(Extended W, Extended R, Extended P);
// Enthalpy of saturated water vapour at T; ps receives the saturation
// pressure in the document's units. Returns 1 and leaves ps alone while an
// error is pending.
Extended PsychVaporEnthalpy(Extended T, Extended& ps);
// Entropy of water vapour at T and partial pressure pv.
Extended PsychVaporEntropy(Extended pv, Extended T);
// Humidity ratio from dry-bulb T and wet-bulb B at pressure P.
Extended PsychWetBulbHumRat(Extended P, Extended B, Extended T);
// Humidity ratio of saturated air at T and P.
Extended PsychSatHumRat(Extended P, Extended T);

}  // namespace voq
