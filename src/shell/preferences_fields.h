#pragma once
// The Preferences dialog's conversions, free of Qt: the plot lengths, the
// Equations window's tab width, the autosave interval and the tool-bar byte
// as the dialog shows them and as the preferences record stores them. The
// dialog (preferences_dlg.h) only moves these values in and out of its
// controls, so the conversions are tested headless.
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "shell/stop_criteria_fields.h"  // TSpinRange

namespace voq {

// The stored plot width and height, in plot units.
inline constexpr TSpinRange kPlotUnitsRange{50, 32000, 1};  // SpinWidth, SpinHeight
inline constexpr TSpinRange kTickSizeRange{-10, 10, 1};     // SpinMajor, SpinMinor (points)
inline constexpr TSpinRange kAxisFontSizeRange{4, 128, 1};  // PlotFontSize (points)
inline constexpr TSpinRange kResolutionRange{0, 4, 1};      // SpinResolution
inline constexpr TSpinRange kAutosaveRange{0, 999, 1};      // MinuteEd (minutes)
// The smallest tab width the dialog takes, in the displayed unit.
inline constexpr Extended kTabWidthFloor = 0.1L;

// "cm" with SI units, "in" with English units.
const char* LengthUnitLabel(bool siUnits);

// Plot units: a length of L inches is pixelsPerInch x 0.875 x L plot units,
// rounded to the nearest whole number; a length in centimetres is first
// divided by 2.54. Far outside every valid plot size the result is only
// bounded, so no length can overflow the conversion.
int32_t PlotUnitsOfLength(Extended length, bool siUnits, int32_t pixelsPerInch);
// The length (inches or centimetres) plot units stand for.
Extended LengthOfPlotUnits(int32_t units, bool siUnits, int32_t pixelsPerInch);

// A length as the dialog shows it: two decimals, the decimal separator of
// the equations (DecimalSeparator), no blanks.
std::string LengthText(Extended length);
// A typed number: blanks around it ignored, the decimal separator of the
// equations or a point. False when the text is no number.
bool ReadLengthText(const std::string& text, Extended& value);

// A typed plot width or height in the displayed unit, as plot units. False
// (units unchanged) when the text is no number or gives plot units outside
// 50 to 32000.
bool ReadPlotLength(const std::string& text, bool siUnits, int32_t pixelsPerInch, int32_t& units);
// The spin arrows: units stepped by steps (plus or minus), kept in range.
int32_t StepPlotUnits(int32_t units, int32_t steps);

// The tab width preference is hundredths of an inch times the screen's
// pixels per inch; 0 means the Equations window's default, which the dialog
// shows as 0.2 in with English and 0.5 cm with SI units (1920 and 1900 at
// 96 pixels per inch; other densities scale both).
int32_t DefaultTabWidth(bool siUnits, int32_t pixelsPerInch);
// The width shown for a stored tab width, in inches or centimetres.
Extended TabWidthShown(int32_t stored, bool siUnits, int32_t pixelsPerInch);
// A typed tab width in the displayed unit as the stored value. False
// (stored unchanged) when the text is no number, is below 0.1 of the unit,
// or is too wide for the stored 16-bit field.
bool ReadTabWidth(const std::string& text, bool siUnits, int32_t pixelsPerInch, int16_t& stored);
// The spin arrows: the shown width rounded to one decimal, then stepped by
// 0.1 per step, never below 0.1.
Extended StepTabWidth(Extended shown, int32_t steps);

// A typed axis font size: a whole number of points from 4 to 128. False
// (size unchanged) otherwise.
bool ReadAxisFontSize(const std::string& text, int32_t& size);
// The clipboard resolution's text: "Default", "100 dpi", "300 dpi",
// "600 dpi", "1200 dpi"; an index outside 0 to 4 is first brought into it.
std::string ResolutionText(int32_t index);
int32_t ClampToRange(int32_t value, const TSpinRange& range);

// "Autosave every": stored minutes outside 0 to 999 show as 0, and the box
// is ticked when the minutes shown are above 0.
struct TAutosaveField {
  bool Ticked = false;
  int32_t Minutes = 0;
};
TAutosaveField AutosaveFieldOf(int32_t storedMinutes);
// What OK stores: the minutes when ticked (within 0 to 999), else 0.
int16_t AutosaveMinutesOf(const TAutosaveField& field);

// "Display menu speedbar" is the inverse of the stored byte (1: hidden).
uint8_t SpeedBarHiddenOf(bool displayed);
// "Maintain list of most recent files in File menu": 8 files or none.
int16_t RecentFileCountOf(bool ticked);

}  // namespace voq
