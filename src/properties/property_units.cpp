#include "properties/property_units.h"

#include <cstdlib>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"

namespace voq {

bool UnitConversionEnabled = false;

namespace {

bool English() { return DocumentSettings.UnitSystem != 0; }
bool Molar() { return DocumentSettings.MolarBasis != 0; }
bool Absolute() { return DocumentSettings.AbsoluteTemperature != 0; }
bool InJoules() { return DocumentSettings.EnergyUnit == 0; }

bool IsTemperatureKind(int32_t kind) { return kind == 1 || kind == 11 || kind == 12; }

// Factor from the document's pressure unit to psia for the Martin-Hou
// models. These are the models' own factors (0.145084, not 1/6.894758).
Extended PsiaFactor() {
  if (English()) return DocumentSettings.PressureUnit == 1 ? 14.697L : 1.0L;
  switch (DocumentSettings.PressureUnit) {
    case 1: return 14.5084L;
    case 2: return 1.45084E-4L;
    case 3: return 145.084L;
    default: return 0.145084L;
  }
}

}  // namespace

void PropertyToInternalUnits(int32_t kind, Extended& v) {
  if (!UnitConversionEnabled) return;
  if (IsTemperatureKind(kind)) {
    if (English()) {
      v = Absolute() ? v / 1.8L : (v + 459.67L) / 1.8L;
    } else if (!Absolute()) {
      v += 273.15L;
    }
    return;
  }
  switch (kind) {
    case 2:
      if (English()) {
        v = DocumentSettings.PressureUnit == 1 ? v * 101.325L : v * 6.894758L;
      } else {
        switch (DocumentSettings.PressureUnit) {
          case 1: v *= 100; break;
          case 2: v /= 1000; break;
          case 3: v *= 1000; break;
          default: break;
        }
      }
      break;
    case 3:
    case 4:
      if (English()) v *= 2.326L; else if (InJoules()) v /= 1000;
      break;
    case 5:
      if (English()) v *= 4.18689L; else if (InJoules()) v /= 1000;
      break;
    case 6: if (English()) v *= 0.06242797L; break;
    case 15: if (English()) v /= 0.06242797L; break;
    case 16: if (English()) v /= 0.06852176L; break;
    case 18: if (English()) v *= 0.3048L; break;
    default: break;
  }
}

void PropertyFromInternalUnits(int32_t kind, Extended& v) {
  if (!UnitConversionEnabled) return;
  if (IsTemperatureKind(kind)) {
    if (English()) {
      v = Absolute() ? v * 1.8L : v * 1.8L - 459.67L;
    } else if (!Absolute()) {
      v -= 273.15L;
    }
    return;
  }
  switch (kind) {
    case 2:
      if (English()) {
        v = DocumentSettings.PressureUnit == 1 ? v / 101.325L : v / 6.894758L;
      } else {
        switch (DocumentSettings.PressureUnit) {
          case 1: v /= 100; break;
          case 2: v *= 1000; break;
          case 3: v /= 1000; break;
          default: break;
        }
      }
      break;
    case 3:
    case 4:
      if (English()) v /= 2.326L; else if (InJoules()) v *= 1000;
      break;
    case 5:
      if (English()) v /= 4.18689L; else if (InJoules()) v *= 1000;
      break;
    case 6: if (English()) v /= 0.06242797L; break;
    // Specific heat in J: the caller applies the factor 1000 itself.
    case 8: if (English()) v /= 4.18689L; break;
    case 9: if (English()) v *= 2419.1L; break;
    case 10: if (English()) v *= 0.57782L; break;
    case 15: if (English()) v *= 0.06242797L; break;
    case 16: if (English()) v *= 0.06852176L; break;
    case 18: if (English()) v /= 0.3048L; break;
    default: break;
  }
}

void SpecHeatFromInternalUnits(Extended& v) {
  PropertyFromInternalUnits(8, v);
  if (UnitConversionEnabled && !English() && InJoules()) v *= 1000;
}

void ConvertPropertyArgument(int32_t kind, Extended& v, Extended molarMass) {
  switch (std::abs(kind)) {
    case 1:
      if (kind > 0) {
        // To Rankine.
        if (English()) {
          if (!Absolute()) v += 459.67L;
        } else {
          v = Absolute() ? v * 1.8L : v * 1.8L + 32 + 459.67L;
        }
        if (v < 0) CalcErrorCode = kMsgNegativeTemperature;
      } else {
        // To Fahrenheit.
        const Extended factor = English() ? 1.0L : 1.8L;
        Extended offset = English() ? 0.0L : 32.0L;
        if (Absolute()) offset = -459.67L;
        v = v * factor + offset;
        if (v < -459.67L) CalcErrorCode = kMsgNegativeTemperature;
      }
      break;
    case 2:
      v *= PsiaFactor();
      if (v < 0) CalcErrorCode = kMsgNegativePressure;
      break;
    case 3:
    case 4:
      if (Molar()) v /= molarMass;
      if (!English()) {
        v *= 0.42992L;
        if (InJoules()) v /= 1000;
      }
      break;
    case 5:
      if (Molar()) v /= molarMass;
      if (!English()) {
        v *= 0.238846L;
        if (InJoules()) v /= 1000;
      }
      break;
    case 6:
      if (Molar()) v /= molarMass;
      if (!English()) v *= 16.01846L;
      break;
    case 18:
      if (!English()) v /= 0.3048L;
      break;
    default:
      break;
  }
}

void ConvertPropertyResult(int32_t kind, Extended& v, Extended molarMass) {
  switch (std::abs(kind)) {
    case 1:
      if (kind > 0) {
        if (English()) {
          if (!Absolute()) v -= 459.67L;
        } else {
          v = Absolute() ? v / 1.8L : v / 1.8L - 273.15L;
        }
      } else if (!English()) {
        v = (v - 32) / 1.8L;
        if (Absolute()) v += 273.15L;
      } else if (Absolute()) {
        v += 459.67L;
      }
      break;
    case 2:
      v /= PsiaFactor();
      break;
    case 3:
    case 4:
      if (Molar()) v *= molarMass;
      if (!English()) {
        v /= 0.42992L;
        if (InJoules()) v *= 1000;
      }
      break;
    case 5:
      if (Molar()) v *= molarMass;
      if (!English()) {
        v /= 0.238846L;
        if (InJoules()) v *= 1000;
      }
      break;
    case 6:
      if (Molar()) v *= molarMass;
      if (!English()) v /= 16.01846L;
      break;
    case 9:
      if (kind > 0 && English()) v *= 2419.1L;
      if (kind < 0 && !English()) v /= 2419.1L;
      break;
    case 10:
      if (kind > 0 && English()) v *= 0.5778L;
      if (kind < 0 && !English()) v /= 0.5778L;
      break;
    case 18:
      if (!English()) v *= 0.3048L;
      break;
    default:
      break;
  }
}

void PropertyUnitsText(int32_t kind, std::string& text) {
  const bool english = English();
  const bool molar = Molar();
  const std::string energy = InJoules() ? "J" : "kJ";
  switch (kind) {
    case 1:
    case 11:
    case 12:
      text = english ? (Absolute() ? "R" : "F") : (Absolute() ? "K" : "C");
      break;
    case 2:
      if (english) {
        text = DocumentSettings.PressureUnit != 0 ? "atm" : "psia";
      } else {
        static const char* const kUnits[] = {"kPa", "bar", "Pa", "MPa"};
        text = DocumentSettings.PressureUnit <= 3 ? kUnits[DocumentSettings.PressureUnit] : "kPa";
      }
      break;
    case 3:
    case 4:
      text = english ? (molar ? "Btu/lbmol" : "Btu/lb_m") : energy + (molar ? "/kmol" : "/kg");
      break;
    case 5:
      text = english ? (molar ? "Btu/lbmol-R" : "Btu/lb_m-R") : energy + (molar ? "/kmol-K" : "/kg-K");
      break;
    case 6:
      text = english ? (molar ? "ft^3/lbmol" : "ft^3/lb_m") : (molar ? "m^3/kmol" : "m^3/kg");
      break;
    case 9: text = english ? "lb_m/ft-hr" : "kg/m-s"; break;
    case 10: text = english ? "Btu/hr-ft-R" : "W/m-K"; break;
    case 15:
      text = english ? (molar ? "lbmol/ft^3" : "lb_m/ft^3") : (molar ? "kmol/m^3" : "kg/m^3");
      break;
    case 16: text = english ? "lb_f/ft" : "N/m"; break;
    case 17: text = english ? "lb_m/lbmol" : "kg/kmol"; break;
    case 18: text = english ? "ft/s" : "m/s"; break;
    default: text.clear(); break;
  }
}

std::string PropertyUnitsText(int32_t kind) {
  std::string text;
  PropertyUnitsText(kind, text);
  return text;
}

}  // namespace voq
