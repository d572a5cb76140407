#pragma once
// The settings records the language core reads and the directives write:
// the document's unit settings (stored with every document, 32 bytes) and
// the user's program options that the compiler and solver consult.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/extended.h"

namespace voq {

// Radians per degree as the documents store it: pi/180 rounded to nine
// significant digits.
inline constexpr Extended kDegreeAngleFactor = 0.017453293L;

// The unit settings of a document.
struct TDocumentSettingsRecord {
  uint8_t UnitSystem = 0;           // 0 SI, 1 English
  uint8_t MolarBasis = 0;           // 0 per unit mass, 1 per mole
  uint8_t AbsoluteTemperature = 0;  // 0 C or F, 1 K or R
  uint8_t PressureUnit = 0;         // SI 0 kPa, 1 bar, 2 Pa, 3 MPa; English 0 psia, else atm
  uint8_t AngleUnit = 0;            // 0 degrees, 1 radians
  uint8_t EnergyUnit = 0;           // SI only: 0 J, 1 kJ
  Extended AngleFactor = kDegreeAngleFactor;  // radians per angle unit
  std::array<uint8_t, 16> Reserved{};         // carried unchanged
};

inline constexpr size_t kStoredDocumentSettingsSize = 32;
namespace document_settings_offsets {
inline constexpr size_t UnitSystem = 0;
inline constexpr size_t MolarBasis = 1;
inline constexpr size_t AbsoluteTemperature = 2;
inline constexpr size_t PressureUnit = 3;
inline constexpr size_t AngleUnit = 4;
inline constexpr size_t EnergyUnit = 5;
inline constexpr size_t AngleFactor = 6;
inline constexpr size_t Reserved = 16;
}  // namespace document_settings_offsets

void PackDocumentSettings(const TDocumentSettingsRecord& s, uint8_t* dst);
// The stored angle factor is not trusted: it is recomputed from the angle unit.
void UnpackDocumentSettings(const uint8_t* src, TDocumentSettingsRecord& s);
// Sets the angle unit and the angle factor that goes with it.
void SetAngleUnit(TDocumentSettingsRecord& s, uint8_t angleUnit);

// The current document's settings and the defaults a new document gets.
extern TDocumentSettingsRecord DocumentSettings;
extern TDocumentSettingsRecord StoredDocumentSettings;

// The program options the language core and the solvers consult.
struct TPreferencesRecord {
  uint8_t FunctionNameCase = 0;     // 0 as typed, 1 lower, 2 upper, other: catalogue spelling
  uint8_t UniformVariableCase = 0;  // variables keep the spelling of their first use
  uint8_t AllowEqualInFunctions = 0;
  uint8_t KeywordCase = 0;          // as FunctionNameCase
  uint8_t UseArraysWindow = 0;      // array variables go to the Arrays window
  uint8_t ShowLocalVariables = 0;   // show function/procedure/module values
  uint8_t TableSumRow = 0;          // sum and average row of the Parametric table
  uint8_t ComplexMode = 0;          // "Do complex algebra"
  uint8_t CheckUnitsAutomatically = 0;
  int16_t TabWidth = 0;             // hundredths of a pixel; 0 the editor's default
  uint8_t ShowAdvice = 1;           // advice alerts, e.g. a DUPLICATE inside a routine body
  // "Display warning messages". The core's ShowWarningMessages follows it:
  // $WARNINGS sets both, and the document reset sets the flag from the
  // restored preferences, so a directive never outlives its document.
  uint8_t WarningsB = 1;

  // The defaults a new plot takes (stored at the byte offsets given; the
  // values are those of a fresh defaults record). Lengths are plot units:
  // screen pixels per inch x 0.875 x inches.
  int16_t PlotWidth = 300;   // 33: default plot width
  int16_t PlotHeight = 200;  // 35: default plot height
  int16_t PlotLeft = 90;     // 37: default plot left offset
  int16_t PlotTop = 30;      // 39: default plot top offset
  // The four kinds of plot text, one element per axis (0 upper X, 1 lower
  // X, 2 left Y, 3 right Y): colour (palette index), style (1 bold + 2
  // italic + 4 underline), font index and size in points.
  std::array<int16_t, 4> PlotTextColor{0, 0, 0, 0};  // 41
  std::array<int16_t, 4> PlotTextStyle{0, 0, 0, 0};  // 49
  std::array<int16_t, 4> PlotTextFont{0, 0, 0, 0};   // 57
  std::array<int16_t, 4> PlotTextSize{10, 10, 10, 10};  // 65
  int16_t PlotFrameColor = 0;     // 73: palette colour of a new plot's frame
  uint8_t PlotBorderThick = 0;    // 75: thick plot border
  int16_t PlotGridLines = -1;     // 76: 0 grid lines shown, -1 not shown
  int16_t PlotGridColor = 9;      // 78: palette colour of grid lines
  int16_t PlotMajorTickSize = 5;  // 80: points, -10 to 10
  int16_t PlotMinorTickSize = 3;  // 82: points, -10 to 10
};
extern TPreferencesRecord Preferences;
extern TPreferencesRecord StoredPreferences;

}  // namespace voq
