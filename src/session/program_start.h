#pragma once
// The program-wide values the start of the program sets and the windows
// above the engine read: the version text, the curve-fit settings, the Debug
// window's place, the X-Y-Z plot dialog's last choices, the print
// selection. They have their start values after every engine reset
// (ResetProgramStartValues, run by the session reset); StartEngine's
// InitializeProgram (session/engine.h) then reads the defaults over them.
#include <array>
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

// The version the program reports and writes: "6.462".
extern std::string ProgramVersion;
// Start-up copies the stored settings the defaults file gives into the
// current ones (set by InitializeProgram; the defaults reader tests it).
extern bool ApplyStoredDefaults;

// The settings of the curve-fit dialog.
struct TCurveFitSettings {
  int16_t FitType = 1;
  int16_t Order = 1;
  std::array<uint8_t, 3> Flags{1, 0, 0};
  int32_t IterationLimit = 100;
  Extended Tolerance = 1E-4L;
  std::array<Extended, 3> Further{0, 0, 0};
};
extern TCurveFitSettings CurveFitSettings;
// Fit type 1, order 1, flags 1, 0, 0, 100 iterations, tolerance 1E-4, the
// three further values 0.
void SetCurveFitDefaults();

// Where the Debug window opens, in screen pixels.
struct TDebugWindowRect {
  int32_t Left = 30;
  int32_t Top = 60;
  int32_t Width = 620;
  int32_t Height = 300;
};
extern TDebugWindowRect DebugWindowRect;

// The last choices of the X-Y-Z plot dialog.
struct TContourPlotChoices {
  int16_t Position = 1;
  int16_t Resolution = 30;
};
extern TContourPlotChoices ContourPlotChoices;
// The property-plot option that draws lines of constant quality.
extern uint8_t PropertyPlotQualityLines;
// The fluid last chosen in the Property Plot dialog (its list index); -1
// when none, as after a change of the unit system.
extern int32_t PropertyPlotChoice;
// The selection flags of the print-selection and report dialogs.
extern std::array<bool, 101> PrintSelection;

// The main program unit as a program starts it: created when missing, and
// in complex mode when the preference "Do complex algebra" is set.
void InitMainProgramUnit();

// Every value above back to its start value.
void ResetProgramStartValues();

}  // namespace voq
