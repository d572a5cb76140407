#pragma once
// Property values between the document's units and the units the models
// compute in: the internal SI units (K, kPa, kJ/kg, kJ/kg-K, m3/kg) of the
// ideal-gas, steam, moist-air and high-accuracy models, and the English
// units (R or F, psia, Btu/lbm) of the Martin-Hou models; and the unit
// label of a property kind.
//
// Property kinds: 1 temperature, 2 pressure, 3 enthalpy, 4 internal
// energy, 5 entropy, 6 specific volume, 7 quality, 8 specific heat,
// 9 viscosity, 10 conductivity, 11 wet-bulb and 12 dew-point temperature,
// 13 humidity ratio, 14 relative humidity, 15 density, 16 surface tension,
// 17 molar mass, 18 velocity. None of the routines applies the molar basis
// to internal units: the models multiply or divide by the molar mass.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

// While clear, PropertyToInternalUnits and PropertyFromInternalUnits change
// nothing. The evaluator sets it before every property call; the models
// clear it around their inner calls.
extern bool UnitConversionEnabled;

void PropertyToInternalUnits(int32_t kind, Extended& value);
void PropertyFromInternalUnits(int32_t kind, Extended& value);
// A specific heat (or any energy per mass and degree) from kJ/kg-K to the
// document's unit, the joule factor included: kind 8 of
// PropertyFromInternalUnits leaves that factor to its caller.
void SpecHeatFromInternalUnits(Extended& value);
// Document units to the Martin-Hou models' English units; a negative
// temperature kind asks for Fahrenheit instead of Rankine. Errors 143 and
// 144 for a negative absolute temperature or pressure; the value is still
// converted.
void ConvertPropertyArgument(int32_t kind, Extended& value, Extended molarMass);
// English model units to document units. Temperature: a negative kind says
// the value is in Fahrenheit. Viscosity and conductivity: a positive kind
// says the value is in SI units, a negative one in English units.
void ConvertPropertyResult(int32_t kind, Extended& value, Extended molarMass);
// The unit label of the kind in the document's units ("_" marks a subscript).
void PropertyUnitsText(int32_t kind, std::string& text);
std::string PropertyUnitsText(int32_t kind);

}  // namespace voq
